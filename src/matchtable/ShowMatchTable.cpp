#include "saver/frmSSaver.h"

namespace qm {

void frmSSaver::ShowMatchTable() {}

}  // namespace qm
