// Bracketed "crack" text blocks in their three forms: [BEGINCRK] with the name on the next
// line, [BEGINXCK] with "title: name" on the next line, and [BEGINCRX"name"]. Each must be
// closed by its [END...] line further down the message.
#include <algorithm>

#include "decode/recogniser.h"
#include "msgbase/message_base.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

std::string Bracketed(std::string_view text) {
  std::string key;
  key += '\x11';
  key += text;
  key += '\x10';
  return key;
}

std::string NameFrom(std::string_view text) {
  return KeepFileNameChars(RemoveBlanks(StripBracketed(text)));
}

}  // namespace

bool SectionRecogniser::ReadCrackBlock(std::string_view up, SectionHeader& header) {
  header.kind = EncodingKind::Crack;
  header.number = 1;
  header.total = 1;
  std::string marker;
  if (up.substr(0, 10) == "[BEGINCRK]") {
    std::string text = base_.NextLine(255);
    if (text.empty()) text = base_.Subject();
    header.key = Bracketed(text);
    text.erase(std::remove(text.begin(), text.end(), '.'), text.end());
    header.fileName = KeepFileNameChars(CutTo(RemoveBlanks(StripBracketed(text)), 8)) + ".crk";
    marker = "[ENDCRK]";
  } else if (up.substr(0, 10) == "[BEGINXCK]") {
    header.fileName = CutTo(CrackNameFromNextLine(header.key), 8) + ".xck";
    marker = "[ENDXCK]";
  } else {
    CrackNameFromNextLine(header.key);
    size_t pos = 10;  // after [BEGINCRX and its quotation mark
    header.fileName = GetWord(pos, up);
    marker = "[ENDCRX";
  }
  if (!FindClosingLine(marker)) return false;
  // Unattended runs take crack blocks as files only when asked to.
  return settings_.windowedShell || settings_.extractXck;
}

std::string SectionRecogniser::CrackNameFromNextLine(std::string& key) {
  const std::string line = base_.NextLine(255);
  std::string text;
  size_t colon = line.find(':');
  if (colon != std::string::npos) {
    size_t pos = colon + 1;
    SkipBlanks(pos, line);
    text = line.substr(pos);
  } else {
    text = base_.Subject();
  }
  key = Bracketed(text);
  std::string name = NameFrom(text);
  if (name.empty()) {
    const std::string subject = base_.Subject();
    name = NameFrom(subject);
    key = Bracketed(subject);
  }
  return name;
}

bool SectionRecogniser::FindClosingLine(std::string_view marker) {
  while (!base_.TextEnded()) {
    if (NextUpperLine(255).find(marker) != std::string::npos) return true;
  }
  return false;
}

}  // namespace vm
