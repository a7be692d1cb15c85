// Plays what the system does to the full-screen saver window of another process.
//
//   quill_window_probe "<window title>" display-change
//     shrinks the window, as a smaller screen would leave it, then tells it the display
//     changed; prints the window's size afterwards ("WxH").
//   quill_window_probe "<window title>" end-session
//     asks the window whether the session may end, as logging off does; prints the
//     answer (1 yes, 0 no).
//   quill_window_probe "<window title>" close
//     asks the window to close, as another program or the task list does, and waits
//     until it has answered.
//   quill_window_probe "<window title>" owner
//     prints the title of the window's owner (an empty line when it has none).
//   quill_window_probe "<window title>" texts
//     prints the text of each of the window's controls, one a line, in their order.
//   quill_window_probe "<window title>" sliders
//     prints each of the window's sliders as "min max position", one a line.
//   quill_window_probe "<window title>" default-button
//     prints the text of the dialog's default button (an empty line when it has none).
//   quill_window_probe "<window title>" rect
//     prints the window's place on the screen: "left top right bottom".
//   quill_window_probe "<window title>" move X Y
//     moves the window's top left corner to X, Y on the screen, as a drag would.
// Exit code 0 when the window was found and the request known, 1 otherwise.
#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  const bool move = argc == 5 && std::strcmp(argv[2], "move") == 0;
  if (argc != 3 && !move) {
    std::fprintf(stderr,
                 "usage: quill_window_probe \"<window title>\" "
                 "display-change|end-session|close|owner|texts|sliders|default-button|rect|"
                 "move X Y\n");
    return 1;
  }
  HWND window = FindWindowA(nullptr, argv[1]);
  if (!window) {
    std::fprintf(stderr, "quill_window_probe: no window \"%s\"\n", argv[1]);
    return 1;
  }
  if (std::strcmp(argv[2], "display-change") == 0) {
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
  if (std::strcmp(argv[2], "end-session") == 0) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 20000,
                             &answer)) {
      std::fprintf(stderr, "quill_window_probe: no answer to the end of the session\n");
      return 1;
    }
    std::printf("%d\n", answer ? 1 : 0);
    return 0;
  }
  if (std::strcmp(argv[2], "close") == 0) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_NORMAL, 20000, &answer)) {
      std::fprintf(stderr, "quill_window_probe: no answer to the request to close\n");
      return 1;
    }
    return 0;
  }
  if (std::strcmp(argv[2], "owner") == 0) {
    char title[256] = {};
    if (HWND owner = GetWindow(window, GW_OWNER)) GetWindowTextA(owner, title, sizeof title);
    std::printf("%s\n", title);
    return 0;
  }
  if (std::strcmp(argv[2], "texts") == 0) {
    // GetWindowText answers only for this process's controls; the message reaches
    // another's.
    EnumChildWindows(
        window,
        [](HWND child, LPARAM) -> BOOL {
          char text[512] = {};
          SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
          std::printf("%s\n", text);
          return TRUE;
        },
        0);
    return 0;
  }
  if (std::strcmp(argv[2], "sliders") == 0) {
    EnumChildWindows(
        window,
        [](HWND child, LPARAM) -> BOOL {
          char kind[64] = {};
          GetClassNameA(child, kind, sizeof kind);
          if (lstrcmpiA(kind, TRACKBAR_CLASSA) == 0)
            std::printf("%ld %ld %ld\n",
                        static_cast<long>(SendMessageA(child, TBM_GETRANGEMIN, 0, 0)),
                        static_cast<long>(SendMessageA(child, TBM_GETRANGEMAX, 0, 0)),
                        static_cast<long>(SendMessageA(child, TBM_GETPOS, 0, 0)));
          return TRUE;
        },
        0);
    return 0;
  }
  if (std::strcmp(argv[2], "default-button") == 0) {
    char text[256] = {};
    const LRESULT answer = SendMessageA(window, DM_GETDEFID, 0, 0);
    if (HIWORD(answer) == DC_HASDEFID) {
      if (HWND button = GetDlgItem(window, LOWORD(answer)))
        SendMessageA(button, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    }
    std::printf("%s\n", text);
    return 0;
  }
  if (std::strcmp(argv[2], "rect") == 0) {
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("%ld %ld %ld %ld\n", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right), static_cast<long>(r.bottom));
    return 0;
  }
  if (move) {
    SetWindowPos(window, nullptr, std::atoi(argv[3]), std::atoi(argv[4]), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
  }
  std::fprintf(stderr, "quill_window_probe: unknown request \"%s\"\n", argv[2]);
  return 1;
}
