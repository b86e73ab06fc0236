#include "decode/dsc_file.h"

#include "config/settings.h"
#include "decode/recogniser.h"
#include "decode/report.h"
#include "msgbase/message_base.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "text/cp866.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

constexpr size_t kNameField = 30;
constexpr std::string_view kFileLabelUtf8 = "Файл:    ";
constexpr int kSeparatorPairs = 37;

// The message of the lowest section whose message is known; 0 when none is.
int32_t FirstKnownMessage(const FoundFile& file) {
  for (const SectionSlot& slot : file.sections)
    if (slot.message != 0) return slot.message;
  return 0;
}

}  // namespace

std::optional<std::string> DscText(DecodeSession& session, MessageBase& base, const FoundFile& file,
                                   std::string_view fileName) {
  const int32_t message = FirstKnownMessage(file);
  if (message == 0) return std::nullopt;
  base.SeekFrom(message);
  base.LoadHeader();
  base.StartReading();
  // SeekFrom lands on the next message when this one has gone since the scan.
  if (!base.Found() || base.MessageNumber() != message) return std::nullopt;

  std::string text;
  auto put = [&text](std::string_view line) { (text += line) += "\r\n"; };
  put(Cp866(kFileLabelUtf8) + UpCaseCp866(fileName));
  put(Cp866("От кого: ") + FieldPad(kNameField, 0, base.FromName()) + " " +
      FormatNetAddress(file.fromAddress));
  std::string to = Cp866("Кому:    ") + FieldPad(kNameField, 0, base.ToName());
  if (!file.toAddress.IsEmpty()) to += " " + FormatNetAddress(file.toAddress);
  put(to);
  put(Cp866("Тема:    ") + file.subject);
  put(BoxSeparator(kSeparatorPairs));

  SectionRecogniser recogniser(
      base, session.state,
      RecogniserSettings{session.settings.HEADERLINES, session.settings.EXTRACTXCK, false});
  session.state.MessageLineCounter = 0;
  while (!base.TextEnded()) {
    const int32_t position = base.TextPosition();
    const std::string line = base.NextPlainLine(kMaxText);
    if (line.empty() && base.TextEnded()) break;
    if (!line.empty() && line[0] == '\x01') continue;  // the text ended on a kludge line
    if (recogniser.RecogniseSectionHeader(line, position).IsHeader()) break;
    put(line);
  }
  return text;
}

std::string DscPathFor(std::string_view directory, std::string_view fileName) {
  const PathParts parts = SplitPath(fileName);
  if (EqualNoCaseCp866(parts.ext, ".dsc")) return std::string();
  return WithTrailingSlash(directory) + parts.name + ".dsc";
}

bool IsDescriptionFile(std::string_view path) {
  if (!EqualNoCaseCp866(SplitPath(path).ext, ".dsc")) return false;
  const std::string label = Cp866(kFileLabelUtf8);
  File file;
  if (!file.Open(path, OpenMode::Read)) return false;
  std::string start(label.size(), '\0');
  return file.Read(start.data(), start.size()) == start.size() && start == label;
}

bool WriteDscFile(std::string_view path, std::string_view text) {
  if (FileExists(path) && !IsDescriptionFile(path)) return false;
  File out;
  return out.Open(path, OpenMode::Create, Links::Replace) && out.Write(text);
}

}  // namespace vm
