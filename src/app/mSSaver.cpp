#include "app/mSSaver.h"

namespace qm {

int32_t RunMode = kRunModeNone;
uint64_t PreviewParent = 0;
RectL ScreenRect;
std::string SystemFolder;

}  // namespace qm
