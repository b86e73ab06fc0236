#include "app/mode_arguments.h"

#include <utility>

#include "app/usage_text.h"
#include "encode/posted_name.h"
#include "platform/fatal.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "state/queue_entry.h"
#include "text/cp866.h"
#include "text/net_address.h"

namespace vm {
namespace {

constexpr size_t kEncodeFile = 2;
constexpr size_t kEncodeType = 3;
constexpr size_t kEncodeArea = 4;
constexpr size_t kEncodeRecipient = 5;
constexpr size_t kEncodeAddress = 6;
constexpr size_t kOpenArea = 2;
constexpr size_t kOpenFirstRecipientWord = 3;

bool IsAbsolutePath(std::string_view path) {
  return (!path.empty() && (path.front() == '/' || path.front() == '\\')) ||
         (path.size() >= 2 && path[1] == ':');
}

// The stop for a bad argument of the command; when the argument was left out, the command's
// usage follows the message.
[[noreturn]] void StopOnArgument(const CommandLine& commandLine, const std::string& argument,
                                 std::string message) {
  if (!argument.empty()) FatalExit(std::move(message));
  FatalExit(std::move(message), UsageText(commandLine.CommandWord()));
}

EncodeFlags EncodingFlag(const CommandLine& commandLine) {
  const std::string& word = commandLine.Argument(kEncodeType);
  std::string upper = UpCaseCp866(word);
  if (upper == "TEXT") return 0;
  if (upper == "UU") return kEncodeUu;
  if (upper == "XX") return kEncodeXx;
  if (upper == "MIME") return kEncodeMime;
  StopOnArgument(commandLine, word, Cp866("Неизвестный тип: ") + word);
}

EncodeFlags SwitchFlag(const CommandLine& commandLine, std::string_view name, EncodeFlags flag) {
  return commandLine.ParamPresent(name) ? flag : 0;
}

}  // namespace

int FindAreaOrStop(const CommandLine& commandLine, const AreaTable& areas) {
  const std::string& tag = commandLine.Argument(kOpenArea);
  int area = areas.FindArea(tag);
  if (area == 0)
    StopOnArgument(commandLine, tag, Cp866("Область ") + UpCaseCp866(tag) + Cp866(" не найдена"));
  return area;
}

EncodeRequest CheckEncodeArguments(const CommandLine& commandLine, const Settings& settings,
                                   const AreaTable& areas, const std::string& startDir,
                                   EncodeFlags defaultFlags) {
  const std::string& file = commandLine.Argument(kEncodeFile);
  File probe;
  if (file.empty() || !probe.Open(file, OpenMode::Read) || DirectoryExists(file))
    StopOnArgument(commandLine, file, Cp866("Файл ") + UpCaseCp866(file) + Cp866(" не найден"));
  probe.Close();

  EncodeRequest request;
  const std::string& tag = commandLine.Argument(kEncodeArea);
  request.area = areas.FindArea(tag);
  if (request.area == 0)
    StopOnArgument(commandLine, tag, Cp866("Конференция ") + tag + Cp866(" не найдена"));

  request.flags = (defaultFlags & ~kEncodingBits) | EncodingFlag(commandLine);
  request.flags &= ~(kSendImmediately | kDeleteAfterSending | kNoTemplate);
  request.flags |= SwitchFlag(commandLine, "-IMMED", kSendImmediately) |
                   SwitchFlag(commandLine, "-DEL", kDeleteAfterSending) |
                   SwitchFlag(commandLine, "-NOTXTHEAD", kNoTemplate);

  PathParts parts = SplitPath(file);
  request.postedName = PostedFileName(UpCaseCp866(parts.name + parts.ext));
  request.filePath = IsAbsolutePath(file) ? file : startDir + "/" + file;
  request.recipient = commandLine.Argument(kEncodeRecipient);
  // A message to nobody: the recipient was left out (or a switch stands in its place).
  if (request.recipient.empty() || request.recipient.front() == '-')
    StopOnArgument(commandLine, {}, Cp866("Не указано, кому посылать файл"));

  // No address, or a switch in its place: the posting goes to the own address.
  const std::string& address = commandLine.Argument(kEncodeAddress);
  if (auto parsed = ParseNetAddress(address, settings.lastParsedAddress)) {
    request.destination = FormatNetAddress(*parsed);
  } else if (address.empty() || address.front() == '-') {
    request.destination = settings.ADDRESS;
  } else {
    FatalExit(Cp866("Неправильный адрес!"));
  }
  return request;
}

OpenRequest CheckOpenArguments(const CommandLine& commandLine, const Settings& settings,
                               const AreaTable& areas) {
  OpenRequest request;
  request.area = FindAreaOrStop(commandLine, areas);
  if (commandLine.Count() < kOpenFirstRecipientWord) return request;

  // Name words up to the first word that begins with a digit: that one is the address.
  std::string recipient;
  for (size_t i = kOpenFirstRecipientWord; i <= commandLine.Count(); ++i) {
    const std::string& word = commandLine.Argument(i);
    if (!word.empty() && word.front() >= '0' && word.front() <= '9') {
      auto parsed = ParseNetAddress(word, settings.lastParsedAddress);
      if (!parsed) FatalExit(Cp866("Неправильный адрес \"куда\""));
      request.destination = FormatNetAddress(*parsed);
      break;
    }
    recipient += " " + word;
  }
  request.recipient = recipient.empty() ? recipient : recipient.substr(1);
  return request;
}

}  // namespace vm
