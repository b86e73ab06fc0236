#include "shell/encode_command.h"

#include "config/area_table.h"
#include "config/settings.h"
#include "encode/posted_name.h"
#include "encode/section_layout.h"
#include "encode/send_queue.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "shell/box_console.h"
#include "shell/directory_panel.h"
#include "state/run_state.h"
#include "text/cp866.h"
#include "text/net_address.h"
#include "tui/application.h"

namespace vm::shell {

namespace {

// Posting fewer bytes is not worth it; before posting more, the user is asked.
constexpr int64_t kSmallestPosting = 4;
constexpr int64_t kLargePosting = 2'000'000;

std::string WithNumber(std::string_view utf8Text, int64_t number) {
  std::string text = Cp866(utf8Text);
  text.replace(text.find("%d"), 2, std::to_string(number));
  return text;
}

int64_t TotalSize(const std::vector<FileToPost>& files) {
  int64_t total = 0;
  for (const FileToPost& file : files) total += file.size;
  return total;
}

// A file name as one packer argument: one that begins with "-" would be taken for an option.
std::string PackerArgument(const std::string& name) {
  return name.starts_with("-") ? "./" + name : name;
}

}  // namespace

EncodeCommand::EncodeCommand(tui::Application& app, const ShellContext& context, Prompts& prompts)
    : app_(app),
      ctx_(context),
      prompts_(prompts),
      linesPerSection_(std::to_string(context.settings.LINESPERSEC)) {
  app_.Histories().Bind(history::kNames, &ctx_.state.nameHistory);
  app_.Histories().Bind(history::kAddresses, &ctx_.state.addressHistory);
}

EncodeChoices EncodeCommand::InitialChoices(const EncodeSetup& setup) const {
  const EncodeDefaults& defaults = ctx_.state.defaults;
  EncodeChoices choices;
  // Echomail goes to all; netmail to whoever the last netmail went to.
  choices.toName = setup.netmail ? defaults.toName : "All";
  choices.toAddress = setup.netmail ? defaults.toAddress : "";
  choices.fromName = defaults.fromName.empty() ? ctx_.settings.NAME : defaults.fromName;
  const NetAddress none{};
  if (setup.area != nullptr && !(setup.area->address == none))
    choices.fromAddress = FormatNetAddress(setup.area->address);
  else
    choices.fromAddress =
        defaults.fromAddress.empty() ? ctx_.settings.ADDRESS : defaults.fromAddress;
  SetChoicesFromFlags(defaults.flags, choices);
  if (setup.fileNames.size() == 1)
    choices.subject = choices.postedName = PostedFileName(UpCaseCp866(setup.fileNames.front()));
  choices.linesPerSection = linesPerSection_;
  choices.sendMode = sendMode_;
  choices.sectionsPerDay = sectionsPerDay_;
  return choices;
}

bool EncodeCommand::FileWorthPosting(int64_t size) {
  if (size < kSmallestPosting) {
    prompts_.Error(Cp866("Файл слишком мал - нет смысла его кодировать"));
    return false;
  }
  return size <= kLargePosting ||
         prompts_.AskYes(WithNumber("Вы уверены что хотите послать файл размером %d байт? "
                                    "По-моему это многовато!",
                                    size));
}

bool EncodeCommand::SelectionWorthPosting(const std::vector<FileToPost>& files) {
  const int64_t total = TotalSize(files);
  if (total < kSmallestPosting) {
    prompts_.Error(Cp866("Файлы слишком малы - нет смысла их кодировать"));
    return false;
  }
  return total <= kLargePosting ||
         prompts_.AskOk(WithNumber("Вы уверены что хотите послать файлы общим размером %d байт? "
                                   "По-моему это многовато!",
                                   total));
}

bool EncodeCommand::Pack(const std::string& archive, const std::vector<FileToPost>& files,
                         const std::string& directory) {
  std::vector<std::string> names;
  for (const FileToPost& file : files) names.push_back(PackerArgument(file.name));
  app_.RunSuspended([&] {
    RunCommandWithLists(ctx_.settings.PACKER, {{archive}, names},
                        ChildSetup{.workingDirectory = directory});
  });
  if (FileExists(PathInDirectory(directory, archive))) return true;
  prompts_.Error(Cp866("Архив ") + archive + Cp866(" не создан"));
  return false;
}

void EncodeCommand::NoteDailyLimit(const std::vector<FileToPost>& files, const AreaEntry& area,
                                   EncodeFlags flags, int32_t linesPerSection) {
  const int64_t capacity = SectionCapacity(flags, linesPerSection);
  const int64_t sections = (TotalSize(files) + capacity - 1) / capacity;
  // The remainder is kept in 32 bits and goes below zero when sections are sent at once.
  // Sections that all fit into what is left today go out at once: no note for them.
  const int64_t left = static_cast<int32_t>(area.SectionsLeftToday);
  if (sections > left && !(flags & kSendImmediately))
    prompts_.Notice(Cp866("Из-за лимита секций в день, файл(ы) не будут посланы сразу же."));
}

bool EncodeCommand::Run(const std::vector<FileToPost>& files, bool selection, const AreaEntry* area,
                        const std::string& directory) {
  if (files.empty()) return false;
  if (selection && !SelectionWorthPosting(files)) return false;
  EncodeSetup setup;
  setup.area = area;
  setup.netmail = area != nullptr && area->netmail != 0;
  for (const FileToPost& file : files) setup.fileNames.push_back(file.name);
  setup.firstFileSize = files.front().size;
  for (const NetAddress& aka : ctx_.settings.akas)
    app_.Histories().Add(history::kAddresses, FormatNetAddress(aka));

  EncodeChoices choices = InitialChoices(setup);
  const EncodeDialogResult result = RunEncodeDialog(app_, ctx_.settings, setup, choices, prompts_);
  sendMode_ = choices.sendMode;
  sectionsPerDay_ = choices.sectionsPerDay;
  if (!result.ok || area == nullptr) return false;

  linesPerSection_ = choices.linesPerSection;
  if (!setup.netmail) choices.toAddress = choices.fromAddress;
  const EncodeFlags flags = FlagsFromChoices(choices);
  EncodeDefaults& defaults = ctx_.state.defaults;
  defaults.flags = flags;
  if (setup.netmail) {
    defaults.toName = choices.toName;
    defaults.toAddress = choices.toAddress;
  }
  defaults.fromAddress = choices.fromAddress;
  defaults.fromName = choices.fromName;

  EnqueueRequest request;
  request.areaId = area->areaId;
  request.templatePath = ctx_.paths.ProgramDir + "veldmark.tpl";
  request.fromName = choices.fromName;
  request.toName = choices.toName;
  request.fromAddress = choices.fromAddress;
  request.toAddress = choices.toAddress;
  request.flags = flags;
  request.linesPerSection = static_cast<int32_t>(std::stol(choices.linesPerSection));
  request.sections = choices.sections;
  request.allowance = choices.sendMode == kModeOverride
                          ? static_cast<int32_t>(std::stol(choices.sectionsPerDay))
                          : static_cast<int32_t>(area->SectionsLeftToday);
  if (files.size() == 1) {
    request.postedName = choices.postedName;
    request.subject = choices.subject;
  }
  std::vector<FileToPost> posted = files;
  if (!result.archiveName.empty()) {
    if (!Pack(result.archiveName, files, directory)) return false;
    posted = {FileToPost{result.archiveName,
                         FileSize(PathInDirectory(directory, result.archiveName)).value_or(0)}};
    request.postedName.clear();
    request.subject.clear();
  }
  NoteDailyLimit(posted, *area, flags, request.linesPerSection);

  BoxConsole console(app_);
  const QueueContext queueContext{
      ctx_.settings, console, [this] {
        return prompts_.AskYes(Cp866("Ошибка копирования во временную директорию. Повторить?"));
      }};
  int added = 0;
  for (const FileToPost& file : posted) {
    request.path = PathInDirectory(directory, file.name);
    added += EnqueueFile(ctx_.state.queue, request, queueContext);
    // The next file of a selection goes under its own name; the template is reported once.
    request.postedName.clear();
    request.subject.clear();
    request.reportTemplate = false;
  }
  return added > 0;
}

}  // namespace vm::shell
