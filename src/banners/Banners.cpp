#include "saver/frmSSaver.h"

namespace qm {

void frmSSaver::StartBanners() {}
void frmSSaver::Timer2_Timer() {}

}  // namespace qm
