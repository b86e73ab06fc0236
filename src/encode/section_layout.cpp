#include "encode/section_layout.h"

#include <vector>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "text/cp866.h"

namespace vm {
namespace {

constexpr int32_t kUuBytesPerLine = 45;
constexpr int32_t kMimeBytesPerLine = 57;
constexpr int32_t kTextBytesPerLine = 60;
// The longest UTF-8 sequence, which a chunk boundary may cut.
constexpr size_t kLongestSequence = 4;

// Whether the file from its start is UTF-8 with at least one character beyond ASCII, every
// one of which code page 866 has.
bool IsCp866Utf8(InputFile& input) {
  input.Seek(0);
  std::vector<unsigned char> chunk(InputFile::kBufferSize + kLongestSequence);
  size_t carried = 0;
  bool beyondAscii = false;
  for (;;) {
    const size_t n = input.Read(chunk.data() + carried, InputFile::kBufferSize);
    const size_t size = carried + n;
    const bool last = n < InputFile::kBufferSize;
    const std::string_view text(reinterpret_cast<const char*>(chunk.data()), size);
    size_t i = 0;
    while (i < size) {
      if (chunk[i] < 0x80) {
        ++i;
        continue;
      }
      // A sequence cut by the end of the chunk is taken up with the next chunk.
      if (!last && size - i < kLongestSequence) break;
      const std::optional<Cp866Char> c = Utf8CharToCp866(text.substr(i));
      if (!c) return false;
      beyondAscii = true;
      i += c->length;
    }
    if (last) return beyondAscii;
    carried = size - i;
    std::copy(chunk.begin() + static_cast<ptrdiff_t>(i),
              chunk.begin() + static_cast<ptrdiff_t>(size), chunk.begin());
  }
}

}  // namespace

EncodingKind SectionKind(EncodeFlags flags) {
  if (flags & kEncodeXx) return EncodingKind::Xx;
  if (flags & kEncodeMime) return EncodingKind::MimeBase64;
  if (flags & kEncodeUu) return EncodingKind::Uu;
  return EncodingKind::OwnText;
}

int32_t BytesPerLine(EncodingKind kind) {
  switch (kind) {
    case EncodingKind::Uu:
    case EncodingKind::Xx: return kUuBytesPerLine;
    case EncodingKind::MimeBase64: return kMimeBytesPerLine;
    default: return kTextBytesPerLine;
  }
}

int64_t SectionCapacity(EncodeFlags flags, int32_t linesPerSection) {
  // The queue file may hold any number here; a section carries at least one line.
  const int64_t lines = linesPerSection < 1 ? 1 : linesPerSection;
  return lines * BytesPerLine(SectionKind(flags));
}

int32_t TotalSections(int64_t size, int64_t capacity) {
  return static_cast<int32_t>(size / capacity + (size % capacity > 0 ? 1 : 0));
}

int32_t SectionNumber(const QueueEntry& entry) {
  const int64_t offset = entry.offset < 0 ? 0 : entry.offset;
  return static_cast<int32_t>(offset / SectionCapacity(entry.flags, entry.linesPerSection) + 1);
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool OpenPostedFile(const QueueEntry& entry, PostedFile& file) {
  if (!file.input.Open(entry.path)) return false;
  const PathParts parts = SplitPath(entry.path);
  file.nameInPath = parts.name + parts.ext;
  file.size = file.input.Size() < 0 ? 0 : file.input.Size();
  file.total = TotalSections(file.size, SectionCapacity(entry.flags, entry.linesPerSection));
  file.modified = FileModifiedLocal(entry.path).value_or(DateTime{});
  file.utf8ToCp866 = SectionKind(entry.flags) == EncodingKind::OwnText && IsCp866Utf8(file.input);
  return true;
}

}  // namespace vm
