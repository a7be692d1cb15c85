// The core's services on Linux with Qt: pointer visibility as a display count, the
// password prompt, the shell, other programs, message boxes, the clock and the
// program's folder. One object lives for the whole run in main(); SetHost points the
// core at it.
#pragma once

#include <functional>
#include <string>

#include "winsys/Host.h"

class QUrl;

namespace qm::qt {

// What the shell opens for `file` (8-bit text) with `directory` as the folder a relative
// name is in: a text with a scheme as it stands; a file of drive C where one exists;
// otherwise a name starting "www." or "ftp." as a web or FTP address, as the Windows
// shell guesses; anything else as the (missing) file.
QUrl ShellTarget(const std::string& file, const std::string& directory);

class QtHost final : public HostServices {
 public:
  // Under XScreenSaver the pointer is not ours: the count is kept but never shown.
  void SetPointerOwned(bool owned) { pointerOwned_ = owned; }
  // The saver window installs its prompt (run over it, with its grabs handed over);
  // without one, VerifyScreenSavePwd runs a bare prompt.
  void SetPasswordPrompt(std::function<bool()> prompt) { prompt_ = std::move(prompt); }
  // How many prompts have run so far (lets a caller tell whether a handler prompted).
  int PromptsShown() const { return promptsShown_; }
  int PointerCount() const { return pointerCount_; }

  // Until the application object exists the count is only kept; SyncPointer() then
  // hides the pointer where the count says so.
  int ShowCursor(bool show) override;
  void SyncPointer();
  bool VerifyScreenSavePwd() override;
  // Linux has no system-wide "screen saver running" state to clear: nothing to do.
  void ScreenSaverStopped() override {}
  void ShellOpen(const std::string& file, const std::string& directory) override;
  bool StartProgram(const std::string& path) override;
  void MessageBox(const std::string& text, const std::string& caption) override;
  double SecondsSinceMidnight() override;
  std::string ProgramFolder() override;

 private:
  int pointerCount_ = 0;
  bool pointerHidden_ = false;
  bool pointerOwned_ = true;
  int promptsShown_ = 0;
  std::function<bool()> prompt_;
};

}  // namespace qm::qt
