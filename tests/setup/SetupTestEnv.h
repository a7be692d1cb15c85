// A private world for each test of the configuration dialogs: an empty in-memory
// registry, the recording headless host and a fresh folder standing for drive C.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "../app/TempDir.h"
#include "headless/HeadlessHost.h"
#include "winsys/Host.h"
#include "winsys/MemoryRegistry.h"
#include "winsys/Registry.h"

namespace qm::testing {

inline constexpr const char* kSettings = "SOFTWARE\\Quorvana\\Quorvana Saver";

class SetupWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRegistry(&registry);
    SetHost(&host);
    driveC = std::filesystem::temp_directory_path() /
             ("quillmark-setup-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(driveC);
    std::filesystem::create_directories(driveC);
    driveEnv.emplace("QUILLMARK_DRIVE_C", driveC.c_str());
  }
  void TearDown() override {
    SetRegistry(nullptr);
    SetHost(nullptr);
    driveEnv.reset();
    std::error_code ignored;
    std::filesystem::remove_all(driveC, ignored);
  }

  void Store(const std::string& name, const std::string& text) {
    registry.Set(Hive::LocalMachine, kSettings, name, RegValue{kRegSz, text});
  }
  std::optional<std::string> Stored(const std::string& name) {
    auto value = registry.Query(Hive::LocalMachine, kSettings, name);
    if (!value) return std::nullopt;
    return value->Data;
  }

  // Files under drive C, by a host-relative path such as "WINDOWS/logos.sys".
  void WriteFile(const std::string& relative, const std::string& bytes) {
    const auto path = driveC / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::optional<std::string> ReadFile(const std::string& relative) {
    std::ifstream in(driveC / relative, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  MemoryRegistry registry;
  headless::HeadlessHost host;
  std::filesystem::path driveC;
  std::optional<ScopedEnv> driveEnv;
};

}  // namespace qm::testing
