#include "encode/posted_name.h"

#include <algorithm>

namespace vm {
namespace {

constexpr size_t kBaseWidth = 8;
constexpr size_t kExtensionWidth = 3;

}  // namespace

std::string PostedFileName(std::string_view name) {
  std::string safe(name);
  std::replace_if(
      safe.begin(), safe.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; }, '_');
  // A dot at the start names no extension (".profile" is a base).
  const size_t dot = safe.rfind('.');
  const bool hasExtension = dot != std::string::npos && dot > 0;
  std::string base = hasExtension ? safe.substr(0, dot) : safe;
  std::string extension = hasExtension ? safe.substr(dot + 1) : std::string();
  std::replace(base.begin(), base.end(), '.', '_');
  base.resize(std::min(base.size(), kBaseWidth));
  extension.resize(std::min(extension.size(), kExtensionWidth));
  return hasExtension ? base + "." + extension : base;
}

}  // namespace vm
