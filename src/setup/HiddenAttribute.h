// The "hidden" file attribute on hosts that have one, and our stand-in where they
// don't.
//
// Windows: the real attribute (SetFileAttributes / GetFileAttributes).
// Linux: the extended attribute "user.DOSATTRIB" holding the text "0x2", the form in
// which Samba and Wine keep DOS attributes of files on Linux file systems, so a drive C
// folder shared through either shows the file hidden. "Read-only cleared" maps to the
// owner's write permission being set; the file's name and contents are untouched.
// On a file system without user extended attributes the call fails and returns false.
#pragma once

#include <string>

namespace qm {

// Makes the file hidden only: read-only, system and archive cleared. `hostPath` is a
// host path (see HostPath). False when the file is missing or the attribute could not
// be set; nothing is reported.
bool SetHiddenOnly(const std::string& hostPath);

// True when the file exists and carries exactly the hidden attribute (as set above).
bool IsHiddenOnly(const std::string& hostPath);

}  // namespace qm
