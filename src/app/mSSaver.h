// Process-wide state of the main module: the run mode, the preview host and the
// rectangle that sizes the saver window. Written once by Main, read by everything else.
#pragma once

#include <cstdint>
#include <string>

namespace qm {

// 0 until Main sets it (configuration and password change keep 0), 1 full screen,
// 4 preview. No other value is ever stored.
inline constexpr int32_t kRunModeNone = 0;
inline constexpr int32_t kRunModeFullScreen = 1;
inline constexpr int32_t kRunModePreview = 4;
extern int32_t RunMode;

// The preview host window (an opaque window id of the host platform).
extern uint64_t PreviewParent;

struct RectL {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};
extern RectL ScreenRect;

// Folder of the banner list and pictures, set by the saver window's load handler.
extern std::string SystemFolder;

}  // namespace qm
