#pragma once
// A private XDG_RUNTIME_DIR for one test, removed afterwards.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

class TTempRuntimeDir {
 public:
  TTempRuntimeDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "perch-test.XXXXXX").string();
    path_ = mkdtemp(pattern.data());
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old;
    setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
  }
  ~TTempRuntimeDir() {
    if (saved_) setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }
  std::string Folder() const { return path_ + "/perch"; }

 private:
  std::string path_;
  std::optional<std::string> saved_;
};
