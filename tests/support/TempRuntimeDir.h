#pragma once
// A private XDG_RUNTIME_DIR for one test, removed afterwards.

#include "tests/support/EnvironmentGuard.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

class TTempRuntimeDir {
 public:
  TTempRuntimeDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "perch-test.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a folder like " + pattern);
    path_ = pattern;
    variable_.Set(path_);
  }
  ~TTempRuntimeDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }
  std::string Folder() const { return path_ + "/perch"; }

 private:
  std::string path_;
  TEnvironmentGuard variable_{"XDG_RUNTIME_DIR"};
};
