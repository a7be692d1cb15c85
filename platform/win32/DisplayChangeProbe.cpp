// Plays a change of the screen's size to the full-screen saver window of another
// process: shrinks the window, as a smaller screen would leave it, then tells it the
// display changed, and prints the window's size afterwards ("WxH").
//
//   quill_display_probe "<window title>"
// Exit code 0 when the window was found, 1 otherwise.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quill_display_probe \"<window title>\"\n");
    return 1;
  }
  HWND window = FindWindowA(nullptr, argv[1]);
  if (!window) {
    std::fprintf(stderr, "quill_display_probe: no window \"%s\"\n", argv[1]);
    return 1;
  }
  SetWindowPos(window, nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT desktop{};
  GetWindowRect(GetDesktopWindow(), &desktop);
  SendMessageA(window, WM_DISPLAYCHANGE, 32,
               MAKELPARAM(desktop.right - desktop.left, desktop.bottom - desktop.top));
  RECT now{};
  GetWindowRect(window, &now);
  std::printf("%ldx%ld\n", static_cast<long>(now.right - now.left),
              static_cast<long>(now.bottom - now.top));
  return 0;
}
