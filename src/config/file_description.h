// The description of a decoded file for files.bbs and the report: the archive's file_id.diz,
// unpacked by the ARCHIVER entry of the file's extension, or else "Subj: " and the subject of
// the message that carried the file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vm {

struct ArchiverEntry;
struct Settings;

// The ARCHIVER entry for the extension of the file name (without regard to case); nullptr
// when there is none.
const ArchiverEntry* FindArchiver(const Settings& settings, std::string_view fileName);

// Runs the archiver's unpack command with %1 = the file, %2 = "file_id.diz", %3 = the
// extraction directory, each passed as one shell word, the child running in the extraction
// directory with its input and output on the null device. Returns the lines of the extracted
// file_id.diz (erased afterwards), or nothing when the archive gave none.
std::vector<std::string> ExtractFileIdDiz(const ArchiverEntry& archiver, std::string_view file,
                                          std::string_view extractDirectory);

// The lines of a file_id.diz text: CR LF or LF line ends, a DOS end-of-file character ends
// the text, control characters become blanks (they must not act as kludges in the report),
// lines are cut to 255 characters, trailing empty lines go, at most 30 lines.
std::vector<std::string> DescriptionLines(std::string_view text);

// The description of the file: file_id.diz when an archiver gives one, else "Subj: " +
// subject as one line.
std::vector<std::string> DescribeFile(const Settings& settings, std::string_view file,
                                      std::string_view subject, std::string_view extractDirectory);

}  // namespace vm
