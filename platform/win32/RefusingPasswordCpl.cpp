// A stand-in password.cpl for the Windows test, put in the system folder where the
// saver looks for the real one (Wine has none): it refuses without asking, as the real
// one does when the password typed is wrong, and adds a line to C:\refusing-cpl.log each
// time it is asked, so that the test knows the refusal came from here.
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND) {
  const HANDLE log = CreateFileA("C:\\refusing-cpl.log", FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(log, "asked\n", 6, &written, nullptr);
    CloseHandle(log);
  }
  return FALSE;
}
