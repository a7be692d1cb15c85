// A throw-away world for one test: a program folder, a folder standing for drive C
// (with c:\windows\system\ in it) and a registry file of its own, pointed to by the
// environment variables the program reads; all removed and restored afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "../app/TempDir.h"

namespace qm::testing {

class TempFolders {
 public:
  TempFolders() {
    if (root_.Path().empty()) ADD_FAILURE() << "cannot create a temp folder";
    std::filesystem::create_directories(ProgramFolder());
    std::filesystem::create_directories(SystemFolder());
  }

  std::filesystem::path ProgramFolder() const { return root_.Path() / "program"; }
  // The host folder behind c:\windows\system\.
  std::filesystem::path SystemFolder() const {
    return root_.Path() / "drive_c" / "windows" / "system";
  }

  // Writes `bytes` exactly as given (8-bit text stays 8-bit).
  static void Write(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << file;
  }
  static std::string Read(const std::filesystem::path& file) {
    return ReadFile(file.string()).value_or("");
  }

 private:
  TempDir root_;
  ScopedEnv driveC_{"QUILLMARK_DRIVE_C", (root_ / "drive_c").c_str()};
  ScopedEnv registry_{"QUILLMARK_REGISTRY", (root_ / "registry.reg").c_str()};
};

}  // namespace qm::testing
