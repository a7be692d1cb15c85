#include "winsys/Host.h"

#include <chrono>
#include <ctime>
#include <filesystem>

namespace qm {
namespace {

// Serves until a host installs itself: unit tests of the core run against it.
class QuietHost final : public HostServices {
 public:
  int ShowCursor(bool show) override { return show ? ++count_ : --count_; }
  bool VerifyScreenSavePwd() override { return true; }
  void ScreenSaverStopped() override {}
  void ShellOpen(const std::string&, const std::string&) override {}
  bool StartProgram(const std::string&) override { return false; }
  void MessageBox(const std::string&, const std::string&) override {}
  double SecondsSinceMidnight() override { return LocalSecondsSinceMidnight(); }
  std::string ProgramFolder() override { return std::filesystem::current_path().string(); }

 private:
  int count_ = 0;
};

QuietHost& Quiet() {
  static QuietHost host;
  return host;
}

HostServices* installed = nullptr;

}  // namespace

double LocalSecondsSinceMidnight() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  const double fraction =
      std::chrono::duration<double>(now.time_since_epoch()).count() - static_cast<double>(t);
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
}

HostServices& Host() {
  return installed ? *installed : Quiet();
}
void SetHost(HostServices* host) {
  installed = host;
}

}  // namespace qm
