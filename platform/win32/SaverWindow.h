// The saver window on Windows: a real window around the core's frmSSaver. It turns
// timer ticks and input into the form's handlers, presents the form's frame through a
// top-down 32-bit DIB section (only the rectangles that changed), re-arms its timers
// from the form's Timer1/Timer2 after every call, and destroys itself once the form has
// unloaded. The preview variant lives inside a window of another program (or of the
// same one, in tests) and ends as soon as that window is gone.
#pragma once

#include <windows.h>

namespace qm::win32 {

class HostWin32;

// Full screen: sets RunMode 1 and ScreenRect from the desktop window, loads the form,
// places the window topmost over the screen and runs messages until it has closed.
// Returns the process exit code.
int RunFullScreen(HINSTANCE instance, HostWin32& host);

// Preview inside `parent`: sets RunMode 4, PreviewParent and ScreenRect from the
// parent's client area, and runs messages until the saver window is gone (the parent
// destroyed it, or the parent vanished and a tick noticed, or both went with a host
// process that ended without destroying them). A handle that names no
// window ends at once. When `created` is given it receives the saver window's handle
// as soon as it exists (tests inspect it). Returns the process exit code.
int RunPreview(HINSTANCE instance, HostWin32& host, HWND parent, HWND* created = nullptr);

}  // namespace qm::win32
