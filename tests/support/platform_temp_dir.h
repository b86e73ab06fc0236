// Scratch space for tests: a fresh temporary directory, removed with everything in it, and an
// environment variable set for the lifetime of an object.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vm {

class ScopedTempDir {
 public:
  ScopedTempDir();  // a new directory under $TMPDIR or /tmp
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::string& path() const { return path_; }  // host path (UTF-8), no trailing slash
  std::string operator/(std::string_view relative) const {
    return path_ + "/" + std::string(relative);
  }

  // Host-side fixture helpers; parents are created as needed. relative is UTF-8.
  void WriteFile(std::string_view relative, std::string_view contents) const;
  std::string ReadFile(std::string_view relative) const;  // empty when missing
  void MakeDirectory(std::string_view relative) const;
  bool Exists(std::string_view relative) const;

 private:
  std::string path_;
};

class ScopedEnvironment {
 public:
  // Sets the variable, or unsets it when value is nothing; the old state comes back at the end.
  ScopedEnvironment(std::string name, std::optional<std::string> value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace vm
