// The saver's arguments as Windows hands them over: GetCommandLineA holds the program's
// own path first (quoted or not, long or 8.3 short), then the switch. Only the switch
// part matters to the saver protocol (qm::Main), so the path's spelling never does.
#pragma once

#include <string>
#include <string_view>

namespace qm::win32 {

// The text after the program's path and the blanks that follow it, otherwise untouched.
std::string ArgumentsOf(std::string_view commandLine);

}  // namespace qm::win32
