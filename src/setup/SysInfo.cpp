#include "setup/SysInfo.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "setup/GetKeyValue.h"
#include "winsys/DrivePath.h"
#include "winsys/Host.h"

namespace qm {

void StartSysInfo() {
  std::string path;
  if (GetKeyValue(Hive::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", path)) {
    if (!Host().StartProgram(HostPath(path))) Host().MessageBox(kSysInfoUnavailable, kAppTitle);
    return;
  }
  std::string folder;
  if (GetKeyValue(Hive::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                  folder)) {
    const std::string program = HostPath(folder + "\\MSINFO32.EXE");
    std::error_code error;
    if (std::filesystem::is_regular_file(HostFsPath(program), error)) {
      if (!Host().StartProgram(program)) Host().MessageBox(kSysInfoUnavailable, kAppTitle);
      return;
    }
  }
  Host().MessageBox(kSysInfoUnavailable, kAppTitle);
}

}  // namespace qm
