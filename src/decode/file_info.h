// The texts of the file information window: a title and six lines about a found file, an
// area, a scanned text file, or a file of the directory (or the selected files) as it would
// be posted.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "state/queue_entry.h"

namespace vm {

class MessageBase;
struct AreaEntry;
struct FoundFile;
struct Settings;

struct FileInfoText {
  std::string title;
  std::array<std::string, 6> lines;
};

// The first line of every form: "Конференция: " + display name + " (" + tag + ")" for an area,
// "Файл " + the upper-cased name of a text file (its path given) when area is nullptr.
std::string InfoAreaLine(const AreaEntry* area, std::string_view textFilePath);

// A found file: the base is positioned on the message of its lowest section present.
FileInfoText FoundFileInfo(MessageBase& base, const FoundFile& file, const AreaEntry* area,
                           std::string_view textFilePath);
FileInfoText AreaInfo(const AreaEntry& area);
FileInfoText TextFileInfo(std::string_view textFilePath, int foundFiles);

// A file of the directory panel, or the selection (count > 0): how it would be sent into the
// area under the area list's cursor with the encoding of the flags.
struct DirectoryInfoRequest {
  const AreaEntry* area = nullptr;
  std::string fileName;   // the cursor file's, when nothing is selected
  int selectedCount = 0;  // files selected
  int64_t size = 0;       // of the file or of the selection
  EncodeFlags flags = 0;  // the encoding of the next posting
};
FileInfoText DirectoryInfo(const DirectoryInfoRequest& request, const Settings& settings);

// Bytes one section carries: LINESPERSEC x 45 for UU and XX, x 57 for MIME base64, x 60 for
// the program's own text sections.
int64_t BytesPerSection(const Settings& settings, EncodeFlags flags);

}  // namespace vm
