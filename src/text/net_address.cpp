#include "text/net_address.h"

#include "text/text_helpers.h"

namespace vm {
namespace {

// Reads an unsigned 16-bit number at pos; nothing when there is no digit or it overflows.
std::optional<uint16_t> ReadNumber(std::string_view text, size_t& pos) {
  size_t start = pos;
  uint32_t value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + static_cast<uint32_t>(text[pos] - '0');
    if (value > 0xFFFF) return std::nullopt;
    ++pos;
  }
  if (pos == start) return std::nullopt;
  return static_cast<uint16_t>(value);
}

}  // namespace

std::optional<NetAddress> ParseNetAddress(std::string_view raw, const NetAddress& defaults) {
  std::string_view text = TrimView(raw);
  if (size_t at = text.find('@'); at != std::string_view::npos) text = text.substr(0, at);
  if (text.empty()) return std::nullopt;

  NetAddress result{defaults.zone, defaults.net, defaults.node, 0};
  size_t pos = 0;
  if (text[0] != '.') {
    auto first = ReadNumber(text, pos);
    if (!first) return std::nullopt;
    if (pos < text.size() && text[pos] == ':') {
      ++pos;
      auto net = ReadNumber(text, pos);
      if (!net || pos >= text.size() || text[pos] != '/') return std::nullopt;
      ++pos;
      auto node = ReadNumber(text, pos);
      if (!node) return std::nullopt;
      result.zone = *first;
      result.net = *net;
      result.node = *node;
    } else if (pos < text.size() && text[pos] == '/') {
      ++pos;
      auto node = ReadNumber(text, pos);
      if (!node) return std::nullopt;
      result.net = *first;
      result.node = *node;
    } else {
      result.node = *first;
    }
  }
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    auto point = ReadNumber(text, pos);
    if (!point) return std::nullopt;
    result.point = *point;
  }
  if (pos != text.size()) return std::nullopt;
  return result;
}

std::string FormatNetAddress3D(const NetAddress& a) {
  return std::to_string(a.zone) + ":" + std::to_string(a.net) + "/" + std::to_string(a.node);
}

std::string FormatNetAddress(const NetAddress& a) {
  std::string text = FormatNetAddress3D(a);
  if (a.point != 0) text += "." + std::to_string(a.point);
  return text;
}

}  // namespace vm
