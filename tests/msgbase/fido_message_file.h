// Builds *.MSG files byte by byte for tests, independently of the code under test.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/little_endian.h"

namespace vm::fidotest {

struct MsgFile {
  std::string from = "Sender";
  std::string to = "All";
  std::string subject = "Subject";
  std::string dateField = "01 Jan 99  12:30:00";  // up to 20 bytes, zero-filled
  uint16_t origNet = 5020, origNode = 1, destNet = 5020, destNode = 2;
  uint16_t attributes = 0;
  uint16_t replyTo = 0, seeAlso = 0, cost = 0;
  std::string text;  // written as is after the header; add "\0" to end it like tossers do

  std::string Bytes() const {
    std::string out(190, '\0');
    auto put = [&](size_t offset, std::string_view s, size_t width) {
      out.replace(offset, std::min(s.size(), width), s.substr(0, width));
    };
    auto word = [&](size_t offset, uint16_t v) {
      out[offset] = static_cast<char>(v & 0xFF);
      out[offset + 1] = static_cast<char>(v >> 8);
    };
    put(0, from, 36);
    put(36, to, 36);
    put(72, subject, 72);
    put(144, dateField, 20);
    word(166, destNode);
    word(168, origNode);
    word(170, cost);
    word(172, origNet);
    word(174, destNet);
    word(184, replyTo);
    word(186, attributes);
    word(188, seeAlso);
    return out + text;
  }
};

inline MsgFile WithText(std::string text) {
  MsgFile m;
  m.text = std::move(text);
  return m;
}

inline MsgFile WithSubject(std::string subject) {
  MsgFile m;
  m.subject = std::move(subject);
  return m;
}

inline MsgFile WithDate(std::string dateField) {
  MsgFile m;
  m.dateField = std::move(dateField);
  return m;
}

}  // namespace vm::fidotest
