// Quillmark.scr: what Windows starts from the Display control panel and its idle timer.
#include <windows.h>

#include "CommandLine.h"
#include "HostWin32.h"
#include "RegistryWin32.h"
#include "SaverWindow.h"
#include "SetupDialog.h"
#include "app/Main.h"
#include "app/NumericText.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  qm::win32::RegistryWin32 registry;
  qm::win32::HostWin32 host;
  qm::SetRegistry(&registry);
  qm::SetHost(&host);
  // Some settings are read as numbers in the user's locale; its separator is one byte
  // in every ANSI code page that has a decimal comma or point.
  char separator[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) == 2)
    qm::SetLocaleDecimalSeparator(separator[0]);

  const qm::StartCommand command = qm::Main(qm::win32::ArgumentsOf(GetCommandLineA()));
  // Window handles are 32-bit values, sign-extended on 64-bit Windows.
  const HWND window =
      reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(command.Window)));
  int exitCode = 0;
  switch (command.Request) {
    case qm::StartRequest::FullScreen:
      exitCode = qm::win32::RunFullScreen(instance, host);
      break;
    case qm::StartRequest::Preview:
      exitCode = qm::win32::RunPreview(instance, host, window);
      break;
    case qm::StartRequest::Configure:
      exitCode = qm::win32::RunSetupDialog(instance, host);
      break;
    case qm::StartRequest::ChangePassword:
      qm::win32::ChangeScreenSavePassword(window);
      break;
    case qm::StartRequest::Nothing:
      break;  // not ours to answer: end quietly
  }
  qm::SetHost(nullptr);
  qm::SetRegistry(nullptr);
  return exitCode;
}
