// Prints the tab order of a dialog of another process, as the dialog manager walks it:
// the caption of each control the Tab key reaches, one a line, starting from the
// button captioned "OK" and ending when the walk comes back to it.
//
//   quill_tab_probe "<dialog title>"
// Exit code 0 when the dialog and its OK button were found, 1 otherwise.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quill_tab_probe \"<dialog title>\"\n");
    return 1;
  }
  HWND dialog = FindWindowA(nullptr, argv[1]);
  HWND ok = dialog ? FindWindowExA(dialog, nullptr, "Button", "OK") : nullptr;
  if (!ok) {
    std::fprintf(stderr, "quill_tab_probe: no dialog \"%s\" with an OK button\n", argv[1]);
    return 1;
  }
  // A walk longer than the dialog has controls would be a loop that misses OK.
  HWND control = ok;
  for (int i = 0; i < 64; ++i) {
    char caption[256] = {};
    GetWindowTextA(control, caption, sizeof caption);
    std::printf("%s\n", caption);
    control = GetNextDlgTabItem(dialog, control, FALSE);
    if (!control || control == ok) return 0;
  }
  std::fprintf(stderr, "quill_tab_probe: the walk never came back to OK\n");
  return 1;
}
