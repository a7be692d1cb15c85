// Whether a file may be replaced. Programs here replace a file by writing a new one
// beside it and renaming it over the old, which the folder allows whatever the file's
// own mode says; a file locked against writing must be left as it is instead, as
// Windows refuses a copy onto it.
#pragma once

#include <filesystem>

namespace qm {

// True when `path` exists and nobody may write it (its mode bits, which count even for
// root, who could write anything), or, on systems that can tell, we may not.
bool WriteProtected(const std::filesystem::path& path);

}  // namespace qm
