// A throw-away world for one test: a program folder, a folder standing for drive C
// (with c:\windows\system\ in it) and a registry file of its own, pointed to by the
// environment variables the program reads; all removed and restored afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace qm::testing {

class TempFolders {
 public:
  TempFolders() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quillmark-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a temp folder";
    root_ = pattern;
    std::filesystem::create_directories(ProgramFolder());
    std::filesystem::create_directories(SystemFolder());
    Swap("QUILLMARK_DRIVE_C", (root_ / "drive_c").string(), savedDriveC_);
    Swap("QUILLMARK_REGISTRY", (root_ / "registry.reg").string(), savedRegistry_);
  }
  ~TempFolders() {
    Restore("QUILLMARK_DRIVE_C", savedDriveC_);
    Restore("QUILLMARK_REGISTRY", savedRegistry_);
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  TempFolders(const TempFolders&) = delete;
  TempFolders& operator=(const TempFolders&) = delete;

  std::filesystem::path ProgramFolder() const { return root_ / "program"; }
  // The host folder behind c:\windows\system\.
  std::filesystem::path SystemFolder() const { return root_ / "drive_c" / "windows" / "system"; }

  // Writes `bytes` exactly as given (8-bit text stays 8-bit).
  static void Write(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << file;
  }
  static std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  static void Swap(const char* name, const std::string& value, std::optional<std::string>& saved) {
    if (const char* old = getenv(name)) saved = old;
    setenv(name, value.c_str(), 1);
  }
  static void Restore(const char* name, const std::optional<std::string>& saved) {
    if (saved) {
      setenv(name, saved->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }

  std::filesystem::path root_;
  std::optional<std::string> savedDriveC_;
  std::optional<std::string> savedRegistry_;
};

}  // namespace qm::testing
