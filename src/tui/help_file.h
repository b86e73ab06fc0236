// The help file: numbered topics of CP866 text with cross-references, read directly from the
// text the user can edit.
//
//   ; a comment (a line whose first character is ';')
//   .topic 12 Раскодирование
//   Text lines as they are shown. A {cross-reference|14} shows "cross-reference" and leads
//   to topic 14; "{{" stands for a "{" of the text.
//
// Lines end in CR LF or LF; tabs advance to the next multiple of 8. Lines before the first
// ".topic" and comment lines are not shown; empty lines at a topic's end are dropped.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vm::tui {

struct HelpLink {
  size_t column = 0;  // where the reference's text starts on its line
  size_t length = 0;
  int target = 0;  // topic number
};

struct HelpLine {
  std::string text;  // as shown, markup removed
  std::vector<HelpLink> links;
};

struct HelpTopic {
  std::string title;
  std::vector<HelpLine> lines;
};

struct HelpFile {
  std::map<int, HelpTopic> topics;
  // What is wrong with the text (line numbers from 1): a malformed ".topic" line or cross-
  // reference, a topic given twice (the first one counts), a reference to a missing topic.
  // The file is still usable: a bad reference is shown as its plain text.
  std::vector<std::string> problems;
};

HelpFile ParseHelpText(std::string_view text);

// Reads and parses the file; false when it cannot be read (or is larger than any help file).
bool LoadHelpFile(std::string_view programPath, HelpFile& help);

// The topic a help context opens: the contexts of the user utilities (51 to 99) share
// topic 50.
int HelpTopicFor(int context);

}  // namespace vm::tui
