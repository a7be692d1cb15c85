// Starting the System Information tool from the About box.
#pragma once

namespace qm {

// The program's title; it captions the program's one message box.
inline constexpr const char* kAppTitle = "SCRNSAVE:Quillmark Screen Save";
inline constexpr const char* kSysInfoUnavailable = "System Information Is Unavailable At This Time";

// Starts the tool named by HKLM "SOFTWARE\Microsoft\Shared Tools\MSINFO" "PATH"; failing
// that, "MSINFO32.EXE" in the folder named by HKLM "SOFTWARE\Microsoft\Shared Tools
// Location" "MSINFO" when that file exists. When neither is found, or the start fails,
// the host shows kSysInfoUnavailable captioned kAppTitle, once. Windows paths reach the
// host through HostPath.
void StartSysInfo();

}  // namespace qm
