#pragma once
// A private XDG_RUNTIME_DIR for one test, removed afterwards.

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

class TTempRuntimeDir {
 public:
  TTempRuntimeDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "perch-test.XXXXXX").string();
    path_ = mkdtemp(pattern.data());
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    if (old != nullptr) saved_ = old, hadOld_ = true;
    setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
  }
  ~TTempRuntimeDir() {
    if (hadOld_) setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }
  std::string Folder() const { return path_ + "/perch"; }

 private:
  std::string path_;
  std::string saved_;
  bool hadOld_ = false;
};
