// Prints what the saver reads from a tabela.ini beside it: the value of [Probe] Key,
// or "missing" when the file is not found through the program's folder as the host
// spells it. Installed in a folder whose name the ANSI code page cannot spell, it shows
// whether the saver still finds its files there.
#include <cstdio>
#include <string>

#include "HostWin32.h"
#include "matchtable/Module2.h"

int main() {
  qm::win32::HostWin32 host;
  const std::string table = host.ProgramFolder() + "\\tabela.ini";
  std::printf("%s\n", qm::ReadIniValue("Probe", "Key", "missing", table).c_str());
  return 0;
}
