// The Windows services the core asks for (winsys/Host.h). The password functions live
// in password.cpl and mpr.dll, which not every Windows has: they are looked up at run
// time, and where one is missing the request passes (no prompt, the close goes on).
#pragma once

#include <windows.h>
// windows.h maps MessageBox to MessageBoxA; the core's method keeps its own name, so
// the macro goes before the core's header is read.
#undef MessageBox

#include "winsys/Host.h"

namespace qm::win32 {

class HostWin32 final : public HostServices {
 public:
  int ShowCursor(bool show) override;
  bool VerifyScreenSavePwd() override;
  void ScreenSaverStopped() override;
  void ShellOpen(const std::string& file, const std::string& directory) override;
  bool StartProgram(const std::string& path) override;
  void MessageBox(const std::string& text, const std::string& caption) override;
  double SecondsSinceMidnight() override;
  std::string ProgramFolder() override;

  // The window the password prompt and shell requests belong to (the saver window or
  // the open dialog); nullptr means none. Not owned.
  void SetOwnerWindow(HWND owner) { owner_ = owner; }

 private:
  HWND owner_ = nullptr;
};

// Runs the system's change-password dialog for the screen saver with `parent` as its
// owner. Returns false when the system has no such dialog (nothing is shown then).
bool ChangeScreenSavePassword(HWND parent);

}  // namespace qm::win32
