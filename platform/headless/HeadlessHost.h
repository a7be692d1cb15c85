// The headless host's services: a virtual clock and recorded requests, so tests and
// --render run the core without a display and without waiting.
#pragma once

#include <string>
#include <vector>

#include "winsys/Host.h"

namespace qm::headless {

class HeadlessHost final : public HostServices {
 public:
  int ShowCursor(bool show) override { return show ? ++cursorCount : --cursorCount; }
  bool VerifyScreenSavePwd() override {
    ++passwordPrompts;
    return passwordAnswer;
  }
  void ScreenSaverStopped() override { ++saverStoppedCalls; }
  void ShellOpen(const std::string& file, const std::string& directory) override {
    shellOpened.push_back({file, directory});
  }
  bool StartProgram(const std::string& path) override {
    started.push_back(path);
    return startSucceeds;
  }
  void MessageBox(const std::string& text, const std::string& caption) override {
    messages.push_back({text, caption});
  }
  double SecondsSinceMidnight() override {
    ++clockReads;
    return clockMs / 1000.0;
  }
  std::string ProgramFolder() override { return programFolder; }

  // What tests set and read.
  int cursorCount = 0;
  bool passwordAnswer = true;
  int passwordPrompts = 0;
  int saverStoppedCalls = 0;
  bool startSucceeds = true;
  struct Pair {
    std::string first;
    std::string second;
  };
  std::vector<Pair> shellOpened;
  std::vector<std::string> started;
  std::vector<Pair> messages;
  double clockMs = 12 * 3600 * 1000.0;  // virtual time of day
  int clockReads = 0;                   // how often the clock was read (re-seeds)
  std::string programFolder = ".";
};

}  // namespace qm::headless
