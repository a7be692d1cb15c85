// Windows paths on a host that has no drive letters. "c:\..." lives under one folder
// of ours; every other path is taken as a host path whose backslashes are separators.
// Components resolve case-insensitively against what exists, as on Windows.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qm {

// The host folder that stands for drive C: $QUILLMARK_DRIVE_C, else
// $XDG_DATA_HOME/quillmark/drive_c (~/.local/share/quillmark/drive_c).
std::string DriveCRoot();

// Maps a Windows path (8-bit Windows-1252 text) to a host path (UTF-8). Components that
// exist under another letter case, or as Windows reads a missing name (the last one
// without trailing dots and blanks, a folder's without one trailing dot), resolve to the
// existing spelling; the rest are kept as written. On Windows the path comes back
// unchanged.
std::string HostPath(std::string_view windowsPath);

// A host path (as HostPath gives it) for std::filesystem and the streams. On Windows the
// 8-bit text is read in the system's code page, as the "A" functions read it; built from
// the bytes, std::filesystem would take them as Latin-1 and miss a name with a byte the
// code page spells otherwise (0x80 to 0x9F on a Western system, most bytes above 0x7F on
// others). Elsewhere the bytes as they are.
std::filesystem::path HostFsPath(const std::string& hostPath);

}  // namespace qm
