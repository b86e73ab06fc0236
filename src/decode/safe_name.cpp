#include "decode/safe_name.h"

#include <random>

#include "platform/host_path.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr std::string_view kFallbackName = "NONAME";

bool IsDeviceName(std::string_view name) {
  std::string base = UpCaseCp866(name.substr(0, name.find('.')));
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

}  // namespace

std::string SafeOutputName(std::string_view announced) {
  // Only what follows the last directory separator or drive colon is a name.
  const size_t cut = announced.find_last_of("/\\:");
  std::string_view rest = cut == std::string_view::npos ? announced : announced.substr(cut + 1);

  std::string name;
  for (char ch : rest) {
    const auto c = static_cast<unsigned char>(ch);
    const bool bad =
        c < 32 || c == 127 || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
    name += bad ? '_' : ch;
  }
  // Leading dots would hide the file (or make "." and ".."); trailing dots and blanks are
  // dropped as DOS drops them.
  size_t begin = name.find_first_not_of(". ");
  if (begin == std::string::npos) return std::string(kFallbackName);
  size_t end = name.find_last_not_of(". ");
  name = CutTo(name.substr(begin, end - begin + 1), kMaxText);
  if (IsDeviceName(name)) name.insert(0, "_");
  return name;
}

std::string OutputPathIn(std::string_view directory, std::string_view safeName) {
  const std::string path = WithTrailingSlash(directory) + std::string(safeName);
  // A second look on the host side: the mapped path must be the mapped directory plus one
  // component, whatever case folding or device mapping did.
  const std::string hostDir = HostPath(directory);
  const std::string hostPath = HostPath(path);
  const std::string prefix = hostDir.empty() || hostDir.back() == '/' ? hostDir : hostDir + "/";
  if (hostPath.size() <= prefix.size() || hostPath.compare(0, prefix.size(), prefix) != 0)
    return std::string();
  const std::string component = hostPath.substr(prefix.size());
  if (component.find('/') != std::string::npos || component == "." || component == "..")
    return std::string();
  return path;
}

std::string RandomTemporaryName() {
  std::random_device seed;
  std::minstd_rand generator(seed());
  std::uniform_int_distribution<int> letter(0, 24);
  std::string name;
  for (int i = 0; i < 8; ++i) name += static_cast<char>('a' + letter(generator));
  return name + ".$$$";
}

}  // namespace vm
