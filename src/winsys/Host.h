// The few services the core asks of the platform it runs on. Each host (headless,
// Qt, Win32) installs one implementation at start-up; the core never reaches the OS
// any other way.
#pragma once

#include <string>

namespace qm {

class HostServices {
 public:
  virtual ~HostServices() = default;

  // Pointer visibility as a display count: shown while it is 0 or more. Returns the
  // new count.
  virtual int ShowCursor(bool show) = 0;
  // Runs the screen-saver password prompt over the saver window; true when the user
  // entered the right password.
  virtual bool VerifyScreenSavePwd() = 0;
  // Tells the system that no screen saver is running any more (a no-op where the
  // platform has no such state).
  virtual void ScreenSaverStopped() = 0;

  // The shell's default action on `file` (a document, a mailto: or web address) with
  // `directory` as working folder. The result is not reported.
  virtual void ShellOpen(const std::string& file, const std::string& directory) = 0;
  // Starts another program in a normal window with focus; false when it could not start.
  virtual bool StartProgram(const std::string& path) = 0;
  // A message box with an OK button only and no icon.
  virtual void MessageBox(const std::string& text, const std::string& caption) = 0;

  // Seconds since local midnight, with a fraction (what re-seeding reads).
  virtual double SecondsSinceMidnight() = 0;
  // The folder of the executable, as a host path without a trailing separator.
  virtual std::string ProgramFolder() = 0;
};

// Seconds since local midnight from the C library's clock and zone, for hosts with
// nothing better. The zone is read once per process (localtime_r), not at every call.
double LocalSecondsSinceMidnight();

// The installed host; until one is installed a quiet default serves (pointer count
// kept in memory, no password, services do nothing, real clock, current directory).
// Not owned.
HostServices& Host();
void SetHost(HostServices* host);

}  // namespace qm
