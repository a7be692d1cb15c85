// The folders a fuzz target's saver works in: a fresh folder under the system's
// temporary folder, made once at start and removed at exit, holding "program" (the
// program folder) and "drive_c" (what the saver's paths on C: lead to, through
// QUILLMARK_DRIVE_C). Call from LLVMFuzzerInitialize, once per process.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace qm::fuzz {

inline std::filesystem::path& FuzzRoot() {
  static std::filesystem::path root;
  return root;
}

// Makes the folders and returns the program folder; ends the process if it cannot.
inline std::filesystem::path MakeFuzzFolders() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qm-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) abort();
  FuzzRoot() = pattern;
  std::filesystem::create_directories(FuzzRoot() / "program");
  std::filesystem::create_directories(FuzzRoot() / "drive_c");
  setenv("QUILLMARK_DRIVE_C", (FuzzRoot() / "drive_c").c_str(), 1);
  atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(FuzzRoot(), ec);
  });
  return FuzzRoot() / "program";
}

}  // namespace qm::fuzz
