// Stands in for the system information program the About box starts: adds the command
// line it was started with to C:\started-probe.log, a line each time, so that the
// Windows test sees that it ran and how its path was quoted. A window program, so that
// starting it opens no console.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const HANDLE log = CreateFileA("C:\\started-probe.log", FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return 1;
  const char* line = GetCommandLineA();
  DWORD written = 0;
  WriteFile(log, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  WriteFile(log, "\n", 1, &written, nullptr);
  CloseHandle(log);
  return 0;
}
