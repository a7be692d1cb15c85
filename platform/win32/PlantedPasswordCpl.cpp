// A stand-in password.cpl for the Windows test, put in the folder the saver is started
// from, where anybody may put a file of that name. The saver must never load it: if it
// runs, it leaves a mark in that folder (and lets the saver close, as the real one does
// for the right password).
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND) {
  const HANDLE mark = CreateFileA("planted-password-cpl-ran", GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
  return TRUE;
}
