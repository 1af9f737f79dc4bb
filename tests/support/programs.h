// What the end-to-end suites share: the built velacli and vela-sim, reading and writing whole
// files, and a fixture with a scratch folder of its own for each test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"
#include "vela_test_paths.h"

namespace vela::testing {

inline const std::string kVelacli = std::string(VELA_BINARY_DIR) + "/src/cli/velacli";
inline const std::string kVelaSim = std::string(VELA_BINARY_DIR) + "/sim/vela-sim";

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The lines of a program's output, without their LF ends.
inline std::vector<std::string> OutputLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A test that runs velacli in a folder of its own: named after the suite's prefix, the process
// and the test, made empty before the test and removed after it.
class ProgramTest : public ::testing::Test {
 protected:
  void MakeFolder(const std::string& prefix) {
    dir_ = std::filesystem::temp_directory_path() /
           (prefix + "_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static ProcessResult Cli(std::vector<std::string> args,
                           std::chrono::seconds timeout = std::chrono::seconds(60)) {
    args.insert(args.begin(), kVelacli);
    return RunProcess(args, timeout);
  }
  // velacli on vela-sim's pseudo-terminal.
  static ProcessResult CliOn(const SimProcess& sim, std::vector<std::string> args) {
    args.insert(args.begin(), {"-p", sim.path()});
    return Cli(std::move(args));
  }

  std::filesystem::path dir_;
};

}  // namespace vela::testing
