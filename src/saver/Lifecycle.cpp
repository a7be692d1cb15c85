#include "saver/frmSSaver.h"

namespace qm {

void frmSSaver::Form_Load() {}
void frmSSaver::Form_Click() {}
void frmSSaver::Form_DblClick() {}
void frmSSaver::form_MouseDown(int, int, float, float) {}
void frmSSaver::Form_MouseMove(int, int, float, float) {}
void frmSSaver::form_KeyDown(int, int) {}
void frmSSaver::Form_KeyPress(int) {}
void frmSSaver::Form_QueryUnload(bool&, int) {}
void frmSSaver::Form_Unload(bool&) {}

}  // namespace qm
