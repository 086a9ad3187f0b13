#pragma once
// One environment variable changed for as long as the guard lives: its old
// value, or its absence, comes back when the guard goes, also when a failed
// assertion ends the test early. Change it only while no other thread reads
// the environment.

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

class TEnvironmentGuard {
 public:
  explicit TEnvironmentGuard(std::string name) : name_(std::move(name)) {
    if (const char* value = std::getenv(name_.c_str())) saved_ = value;
  }
  TEnvironmentGuard(std::string name, const std::string& value) : TEnvironmentGuard(std::move(name)) {
    Set(value);
  }
  ~TEnvironmentGuard() {
    if (saved_) setenv(name_.c_str(), saved_->c_str(), 1);
    else unsetenv(name_.c_str());
  }
  TEnvironmentGuard(const TEnvironmentGuard&) = delete;
  TEnvironmentGuard& operator=(const TEnvironmentGuard&) = delete;

  void Set(const std::string& value) { setenv(name_.c_str(), value.c_str(), 1); }
  void Unset() { unsetenv(name_.c_str()); }
  // Whether the variable was set when the guard took it over.
  bool WasSet() const { return saved_.has_value(); }

 private:
  std::string name_;
  std::optional<std::string> saved_;
};
