#include "encode/section_message.h"

#include "config/file_description.h"
#include "encode/macros.h"
#include "encode/section_writer.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "text/cp866.h"
#include "text/date_text.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr std::string_view kDizIndent = "          ";
// A template is a page of text; anything larger is not one.
constexpr size_t kMostTemplateBytes = 1 << 20;

MacroValues ValuesFor(const QueueEntry& entry, const PostedFile& file, int32_t number,
                      PostingEnvironment& environment) {
  MacroValues values;
  values.toName = environment.defaultToName;
  values.origAddress = FormatNetAddress(entry.origAddress);
  values.name = entry.postedName;
  values.subject = entry.subject;
  values.length = std::to_string(file.size);
  values.linesPerSection = std::to_string(entry.linesPerSection);
  const DateTime& t = file.modified;
  values.dateTime = MacroDateTime(t.month, t.day, t.year, t.hour, t.minute, t.second);
  values.number = number;
  values.total = file.total;
  values.randomLine = [&environment](std::string_view name) {
    return RandomLine(name, environment.pick);
  };
  return values;
}

void SetHeader(const QueueEntry& entry, bool netmail, MessageBase& base,
               PostingEnvironment& environment) {
  base.StartNewMessage();
  base.SetEchoed(!netmail);
  base.SetMailKind(netmail ? MailKind::Netmail : MailKind::Echomail);
  base.SetFromName(entry.fromName);
  base.SetToName(entry.toName);
  const DateTime now = environment.clock();
  base.SetDateText(DateTextOf(now));
  base.SetTimeText(TimeTextOf(now));
  base.SetOrigAddress(entry.origAddress);
  if (netmail) base.SetDestAddress(entry.destAddress);
  base.SetLocal(true);
  base.SetKillSent(entry.flags & kKillSent);
  base.SetPrivate(entry.flags & kPrivate);
  base.SetCrash(entry.flags & kCrash);
  base.SetReceiptRequested(entry.flags & kConfirmReceipt);
  base.SetIsReceipt(entry.flags & kReturnReceipt);
}

// FILE_ID: the archive's file_id.diz, unpacked by the archiver of the file's extension whose
// command gets the directive's text added, each line indented.
void InsertFileIdDiz(const QueueEntry& entry, const PostedFile& file, std::string_view text,
                     MessageBase& base, const PostingEnvironment& environment) {
  const ArchiverEntry* archiver = FindArchiver(environment.settings, file.nameInPath);
  if (archiver == nullptr) return;
  ArchiverEntry command = *archiver;
  command.command += text;
  MakeDirectories(environment.workDirectory);
  for (const std::string& line : ExtractFileIdDiz(command, entry.path, environment.workDirectory)) {
    const std::string indented = std::string(kDizIndent) + line;
    base.PutLine(CutTo(environment.settings.HSUBST ? Hsubst(indented) : indented, kMaxText));
  }
}

}  // namespace

std::vector<std::string> UserTextLines(std::string_view text, bool hsubst) {
  std::vector<std::string> lines;
  std::string line;
  const auto flush = [&] {
    const std::string written = hsubst ? Hsubst(line) : line;
    // Nothing typed is lost: a line longer than a message line goes on in the next one.
    for (size_t at = 0; at == 0 || at < written.size(); at += kMaxText)
      lines.push_back(written.substr(at, kMaxText));
    line.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      line += c;
      continue;
    }
    flush();
    const char other = c == '\r' ? '\n' : '\r';
    if (i + 1 < text.size() && text[i + 1] == other) ++i;
  }
  if (!line.empty()) flush();
  return lines;
}

std::optional<std::vector<std::string>> ReadTemplate(std::string_view path) {
  std::string text;
  int error = 0;
  if (!ReadWholeFile(path, kMostTemplateBytes, text, error)) return std::nullopt;
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(CutTo(line, kMaxText));
    start = end + 1;
  }
  return lines;
}

bool TemplateCarriesFile(const std::vector<std::string>& templateLines) {
  const MacroValues values;
  for (std::string line : templateLines) {
    if (!line.empty() && line[0] == ';') continue;
    ExpandMacros(line, values);
    size_t end = 1;
    if (!line.empty() && line[0] == '@' && UpCaseCp866(GetWord(end, line)) == "SECTION")
      return true;
  }
  return false;
}

SectionMessage BuildSectionMessage(QueueEntry& entry, PostedFile& file,
                                   const std::vector<std::string>& templateLines, bool netmail,
                                   MessageBase& base, PostingEnvironment& environment) {
  const int32_t number = SectionNumber(entry);
  const bool firstSection = number == 1;
  const bool hsubst = environment.settings.HSUBST;
  std::string subject = "[" + std::to_string(number) + "/" + std::to_string(file.total) + "] " +
                        (entry.subject.empty() ? entry.postedName : entry.subject);
  SetHeader(entry, netmail, base, environment);

  SectionMessage result;
  if (entry.flags & kNoTemplate) {
    result.finished = WriteSection(entry, file, base, hsubst);
    result.carriedFile = true;
  } else {
    const MacroValues values = ValuesFor(entry, file, number, environment);
    bool sectionWritten = false;
    for (std::string line : templateLines) {
      if (!line.empty() && line[0] == ';') continue;
      ExpandMacros(line, values);
      if (line.empty() || line[0] != '@') {
        base.PutLine(line);
        continue;
      }
      size_t end = 1;
      const std::string keyword = UpCaseCp866(GetWord(end, line));
      const std::string text = line.substr(std::min(line.size(), end + 1));
      if (keyword == "SECTION" && !sectionWritten) {
        sectionWritten = result.carriedFile = true;
        result.finished = WriteSection(entry, file, base, hsubst);
      } else if (keyword == "SUBJ") {
        if (!text.empty()) subject = text;
      } else if (!firstSection) {
        continue;  // the rest go into the first section only
      } else if (keyword == "HEAD" || (keyword == "INFO" && (entry.flags & kFileInformation)) ||
                 (keyword == "ID_DIZ" && (entry.flags & kInsertFileIdDiz))) {
        base.PutLine(text);
      } else if (keyword == "FILE_ID" && (entry.flags & kInsertFileIdDiz)) {
        InsertFileIdDiz(entry, file, text, base, environment);
      } else if (keyword == "CUSTOMTEXT" && (entry.flags & kInsertText) && environment.userText) {
        for (const std::string& typed : UserTextLines(environment.userText(), hsubst))
          base.PutLine(typed);
      }
    }
  }

  base.SetSubject(subject);
  base.PutKludge("\x01MSGID: " + FormatNetAddress(entry.origAddress) + " " +
                 environment.serials.MsgIdSerial());
  base.PutKludge("\x01PID: " + std::string(kPosterName) + " Win32b ");
  result.writeResult = base.WriteMessage();
  return result;
}

}  // namespace vm
