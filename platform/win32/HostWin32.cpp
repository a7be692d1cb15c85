#include "HostWin32.h"

#include <objbase.h>
#include <shellapi.h>

#include <string>

namespace qm::win32 {
namespace {

using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND);
using PwdChangePasswordFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);

// GetProcAddress hands back a generic pointer; the cast through void* says we know.
template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

// A module of Windows' own, loaded by its full path in the system folder. By a bare
// name Windows would also look in the program's folder, the current folder and along
// PATH, where anybody may have put a file of that name, and run it inside the saver:
// NT-family Windows has no password.cpl, so the search for that one would always get
// there.
HMODULE LoadSystemModule(const char* name) {
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  // A doubled separator (after a root folder) is harmless; testing for one is not, in a
  // double-byte code page whose characters may end in the backslash's byte.
  std::string path(folder, length);
  path += '\\';
  path += name;
  return LoadLibraryA(path.c_str());
}

// `wide` in the ANSI code page, where every character of it has a spelling there.
bool ToAnsi(const std::wstring& wide, std::string& ansi) {
  if (wide.empty()) {
    ansi.clear();
    return true;
  }
  const int count = static_cast<int>(wide.size());
  // A code page of UTF-8 spells everything, and refuses the flag and the default.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL lossy = FALSE;
  BOOL* const lossyOut = utf8 ? nullptr : &lossy;
  const int bytes =
      WideCharToMultiByte(CP_ACP, flags, wide.data(), count, nullptr, 0, nullptr, lossyOut);
  if (bytes <= 0 || lossy) return false;
  ansi.assign(static_cast<size_t>(bytes), '\0');
  return WideCharToMultiByte(CP_ACP, flags, wide.data(), count, ansi.data(), bytes, nullptr,
                             lossyOut) == bytes &&
         !lossy;
}

}  // namespace

int HostWin32::ShowCursor(bool show) {
  return ::ShowCursor(show ? TRUE : FALSE);
}

bool HostWin32::VerifyScreenSavePwd() {
  // Loaded for each prompt and kept: the prompt is rare and the module is small.
  static HMODULE module = LoadSystemModule("password.cpl");
  const auto verify = Lookup<VerifyScreenSavePwdFn>(module, "VerifyScreenSavePwd");
  if (!verify) return true;
  return (verify(owner_) & 0xFFFF) != 0;
}

void HostWin32::ScreenSaverStopped() {
  DWORD zero = 0;
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, &zero, 0);
}

void HostWin32::ShellOpen(const std::string& file, const std::string& directory) {
  // The handler of a mail or web address may be a COM object (the system's own Mail
  // app, for one), which ShellExecute can only reach from a thread with COM set up.
  // Once per thread is enough; it lasts until the process ends.
  static thread_local const HRESULT com =
      CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  static_cast<void>(com);
  ShellExecuteA(owner_, nullptr, file.c_str(), nullptr, directory.c_str(), SW_SHOWNORMAL);
}

bool HostWin32::StartProgram(const std::string& path) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  // CreateProcessA may write into its command line.
  std::string commandLine = "\"" + path + "\"";
  if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void HostWin32::MessageBox(const std::string& text, const std::string& caption) {
  ::MessageBoxA(owner_, text.c_str(), caption.c_str(), MB_OK);
}

double HostWin32::SecondsSinceMidnight() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

std::string HostWin32::ProgramFolder() {
  // Windows may start the saver through its short 8.3 name; only the folder is used,
  // and either spelling of it names the same place.
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = 0;
  for (;;) {
    length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size() || path.size() > 32768) break;
    path.resize(path.size() * 2);
  }
  path.resize(length);
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return ".";
  const std::wstring folder = path.substr(0, slash);
  // The files beside the program are opened by 8-bit names. A folder with characters
  // the code page lacks (a Cyrillic name on a Western system) is spelt by its short
  // name, which the volume keeps in plain letters, so that they are still found.
  std::string ansi;
  if (ToAnsi(folder, ansi)) return ansi;
  std::wstring shortName(folder.size() + 1, L'\0');
  const DWORD shortLength =
      GetShortPathNameW(folder.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
  if (shortLength > 0 && shortLength < shortName.size()) {
    shortName.resize(shortLength);
    if (ToAnsi(shortName, ansi)) return ansi;
  }
  // No spelling finds it (a volume without short names): the name with '?' for what
  // the code page lacks, as an 8-bit program sees it, and the files are not found.
  const int bytes = WideCharToMultiByte(CP_ACP, 0, folder.data(), static_cast<int>(folder.size()),
                                        nullptr, 0, nullptr, nullptr);
  ansi.assign(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0)
    WideCharToMultiByte(CP_ACP, 0, folder.data(), static_cast<int>(folder.size()), ansi.data(),
                        bytes, nullptr, nullptr);
  return ansi;
}

bool ChangeScreenSavePassword(HWND parent) {
  HMODULE module = LoadSystemModule("mpr.dll");
  const auto change = Lookup<PwdChangePasswordFn>(module, "PwdChangePasswordA");
  if (!change) {
    if (module) FreeLibrary(module);
    return false;
  }
  change("SCRSAVE", parent, 0, 0);
  FreeLibrary(module);
  return true;
}

}  // namespace qm::win32
