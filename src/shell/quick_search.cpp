#include "shell/quick_search.h"

#include "platform/file_system.h"

namespace vm::shell {

std::string FileSearchMask(std::string_view typed) {
  std::string mask(typed);
  size_t dot = mask.find('.');
  if (dot == std::string::npos) {
    mask += '.';
    dot = mask.size() - 1;
  }
  if (dot >= 1 && dot <= 8) mask.insert(dot, 1, '*');
  return mask + '*';
}

std::string AreaSearchMask(std::string_view typed) { return std::string(typed) + '*'; }

bool MatchesSearchMask(std::string_view name, std::string_view mask) {
  if (name.find('.') != std::string_view::npos) return MatchesFileMask(name, mask);
  return MatchesFileMask(std::string(name) + '.', mask);
}

bool SearchTextAccepts(std::string_view typed, unsigned char c, bool areaNames) {
  if (areaNames) return typed.size() < 37;
  const size_t dot = typed.find('.');
  if (dot == std::string_view::npos) return c == '.' || typed.size() < 8;
  return c != '.' && typed.size() - dot - 1 < 3;
}

int QuickSearch(int count, int cursor, int first, const std::function<bool(int)>& matches) {
  for (int i = cursor; i <= count; ++i)
    if (i >= 1 && matches(i)) return i;
  for (int i = first; i < cursor && i <= count; ++i)
    if (matches(i)) return i;
  return 0;
}

}  // namespace vm::shell
