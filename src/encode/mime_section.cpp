// MIME base64 sections: the MIME headers (with a message/partial block when the file has more
// than one section) repeated in every section, then the base64 lines.
#include <cstdlib>
#include <string>

#include "encode/section_kinds.h"
#include "encode/section_writer.h"
#include "text/checksums.h"
#include "text/cp866.h"

namespace vm {
namespace {

constexpr size_t kLineBytes = 57;
constexpr size_t kLineChars = 77;  // with the length character that base64 drops
constexpr size_t kPartIdWidth = 32;

std::string AbsoluteCrc(std::string_view name) {
  return std::to_string(std::llabs(static_cast<long long>(StrCrc32(name))));
}

// The character codes of the file's name, the total and the name checksums of sender and
// addressee: the same for every part of one posting, different for another file or poster.
std::string PartId(const SectionWork& work) {
  std::string id;
  for (char c : work.file.nameInPath) id += std::to_string(static_cast<unsigned char>(c));
  id += std::to_string(work.file.total) + AbsoluteCrc(work.entry.fromName) +
        AbsoluteCrc(work.entry.toName);
  return id.substr(0, kPartIdWidth);
}

}  // namespace

void WriteMimeSection(SectionWork& work) {
  MessageBase& base = work.base;
  base.PutLine("MIME-Version: 1.0");
  if (work.file.total > 1) {
    base.PutLine("Content-Type: message/partial;");
    base.PutLine("  id=\"" + PartId(work) + "\"");
    base.PutLine("  number=" + std::to_string(work.number) +
                 "; total=" + std::to_string(work.file.total));
    base.PutLine("");
  }
  const std::string name = UpCaseCp866(work.entry.postedName);
  base.PutLine("Content-Type: application/octet-stream; name=\"" + name + "\"");
  base.PutLine("Content-Transfer-Encoding: base64");
  base.PutLine("Content-Disposition: attachment; filename=\"" + name + "\"");
  base.PutLine("");

  const int32_t lines = work.entry.linesPerSection < 1 ? 1 : work.entry.linesPerSection;
  std::string body;
  body.reserve(static_cast<size_t>(lines) * kLineChars);
  unsigned char bytes[kLineBytes + 3];
  char line[kLineChars];
  for (int32_t n = 0; n < lines && !work.file.input.AtEnd(); ++n) {
    std::fill(std::begin(bytes), std::end(bytes), 0);
    const size_t count = work.file.input.Read(bytes, kLineBytes);
    size_t length = EncodeLineInto(kBase64Alphabet, bytes, count, line);
    // The padding of a short last group.
    if (count % 3 == 1) line[length - 2] = '=';
    if (count % 3 != 0) line[length - 1] = '=';
    body.append(line + 1, length - 1);
    body.push_back('\r');
  }
  base.PutText(body);
  base.PutLine("");
}

}  // namespace vm
