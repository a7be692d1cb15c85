// Plays a settings program that shows a saver's preview and then ends without
// destroying its windows (it crashed, or was killed): the preview's parent goes with
// the process, and the preview must end too rather than linger unseen.
//
//   quill_orphan_host "<path of Quillmark.scr>"
// Starts "<scr> /p <box>" in a 152x112 box of its own, prints the box's handle (decimal)
// and a newline, keeps the box up for two seconds and ends at once. Exit code 0 when the
// preview was started, 1 otherwise.
#include <windows.h>

#include <cstdint>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quill_orphan_host \"<path of Quillmark.scr>\"\n");
    return 1;
  }
  HWND top = CreateWindowExA(0, "STATIC", "Orphan host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                             240, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND box = top ? CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 152, 112, top,
                                   nullptr, GetModuleHandleA(nullptr), nullptr)
                 : nullptr;
  if (!box) {
    std::fprintf(stderr, "quill_orphan_host: no host window\n");
    return 1;
  }
  const auto handle = static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(box));
  char command[MAX_PATH + 40];
  if (std::snprintf(command, sizeof command, "\"%s\" /p %llu", argv[1], handle) >=
      static_cast<int>(sizeof command)) {
    std::fprintf(stderr, "quill_orphan_host: the path is too long\n");
    return 1;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "quill_orphan_host: could not start %s\n", command);
    return 1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::printf("%llu\n", handle);
  std::fflush(stdout);
  const DWORD until = GetTickCount() + 2000;
  while (static_cast<LONG>(until - GetTickCount()) > 0) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(20);
  }
  ExitProcess(0);  // the windows go with the process, never destroyed
}
