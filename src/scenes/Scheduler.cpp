#include "saver/frmSSaver.h"

namespace qm {

void frmSSaver::Timer1_Timer() {}
void frmSSaver::ShowFlyingBalls() {}
void frmSSaver::ShowFlyingTrophies() {}
void frmSSaver::ShowPastWorldCups() {}
void frmSSaver::ShowChampions() {}

}  // namespace qm
