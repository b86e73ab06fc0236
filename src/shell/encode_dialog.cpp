#include "shell/encode_dialog.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

#include "config/area_table.h"
#include "config/settings.h"
#include "encode/posted_name.h"
#include "platform/host_path.h"
#include "shell/advanced_dialog.h"
#include "shell/compression_dialog.h"
#include "shell/help_contexts.h"
#include "text/cp866.h"
#include "text/net_address.h"
#include "tui/application.h"
#include "tui/button.h"
#include "tui/check_boxes.h"
#include "tui/dialog.h"
#include "tui/input_line.h"
#include "tui/label.h"
#include "tui/radio_buttons.h"
#include "tui/static_text.h"

namespace vm::shell {

using namespace tui;

namespace {

constexpr int kAdvanced = 100;

// Extensions of files that are no text whatever the user thinks.
constexpr std::array<std::string_view, 12> kBinaryExtensions = {
    "EXE", "COM", "SYS", "BMP", "JPG", "GIF", "PCX", "WAV", "DAT", "DLL", "HLP", "MP3"};

std::string Message(std::string_view utf8Text, std::string_view value) {
  std::string text = Cp866(utf8Text);
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

bool BinaryExtension(std::string_view ext, const Settings& settings) {
  const std::string upper = UpCaseCp866(ext);
  if (upper.empty()) return false;
  if (std::find(kBinaryExtensions.begin(), kBinaryExtensions.end(), upper) !=
      kBinaryExtensions.end())
    return true;
  return std::any_of(settings.archivers.begin(), settings.archivers.end(),
                     [&](const ArchiverEntry& archiver) { return archiver.extension == upper; });
}

bool OwnAddress(const NetAddress& address, const Settings& settings) {
  return address == settings.address ||
         std::find(settings.akas.begin(), settings.akas.end(), address) != settings.akas.end();
}

class EncodeDialog {
 public:
  EncodeDialog(Application& app, const Settings& settings, const EncodeSetup& setup,
               Prompts& prompts);

  void Load(const EncodeChoices& choices);
  void Store(EncodeChoices& choices) const;
  int Run() { return app_.Execute(dialog_); }
  // Back from the advanced dialog, Enter should end the posting, not open that one again.
  void FocusOk() { dialog_.Focus(*ok_); }
  // The name the one file goes out under, as the queue will make it.
  void ShowPostedName(const std::string& name) {
    if (setup_.fileNames.size() == 1)
      postedName_->SetLines({Cp866("Имя при посылке: ") + PostedFileName(name)});
  }
  const std::string& ArchiveName() const { return archiveName_; }

 private:
  bool Valid();
  std::optional<NetAddress> Parse(const InputLine& line) const {
    return ParseNetAddress(line.Text(), settings_.address);
  }

  Application& app_;
  const Settings& settings_;
  const EncodeSetup& setup_;
  Prompts& prompts_;
  Dialog dialog_;
  InputLine* toName_;
  InputLine* toAddress_;
  InputLine* fromName_;
  InputLine* fromAddress_;
  CheckBoxes* options_;
  RadioButtons* encoding_;
  InputLine* subject_;
  StaticText* postedName_;
  Button* ok_;
  std::string archiveName_;
};

EncodeDialog::EncodeDialog(Application& app, const Settings& settings, const EncodeSetup& setup,
                           Prompts& prompts)
    : app_(app),
      settings_(settings),
      setup_(setup),
      prompts_(prompts),
      dialog_(77, 17, setup.area != nullptr ? setup.area->displayName : std::string()) {
  dialog_.helpContext = hc::kEncode;
  InputHistories* histories = &app.Histories();
  const auto input = [&](int x, int y, int width, size_t length, int historyId, const char* label,
                         int labelX) {
    auto& line =
        dialog_.Add(std::make_unique<InputLine>(x, y, width, length, histories, historyId));
    dialog_.Add(std::make_unique<Label>(labelX, y, Cp866(label), &line));
    return &line;
  };
  toName_ = input(11, 2, 32, 30, history::kNames, "Кому:", 2);
  toAddress_ = input(53, 2, 22, 20, history::kAddresses, "Куда:", 45);
  fromName_ = input(11, 4, 32, 30, history::kNames, "От кого:", 2);
  fromAddress_ = input(53, 4, 22, 20, history::kAddresses, "Откуда:", 45);
  options_ = &dialog_.Add(std::make_unique<CheckBoxes>(
      2, 6, 36,
      std::vector<std::string>{Cp866("Информация о файле"), Cp866("Удалить после посылки"),
                               Cp866("Вставлять file_id.diz"), Cp866("Вставлять текст"),
                               Cp866("Сжать перед посылкой")}));
  encoding_ = &dialog_.Add(std::make_unique<RadioButtons>(
      45, 6, 22, std::vector<std::string>{"UU", "XX", "MIME/Base64", Cp866("Текст")}));
  subject_ = input(11, 12, 52, 50, history::kSubject, "Тема:", 2);
  postedName_ =
      &dialog_.Add(std::make_unique<StaticText>(Rect{45, 11, 30, 1}, std::vector<std::string>{}));
  ok_ = &dialog_.Add(std::make_unique<Button>(12, 14, 12, Cp866("O~k~"), cmd::kOk));
  // A Latin O, as in the progress window: Alt+O (and Alt+Щ) press it.
  dialog_.Add(std::make_unique<Button>(27, 14, 12, Cp866("~O~тмена"), cmd::kCancel));
  dialog_.Add(std::make_unique<Button>(42, 14, 19, Cp866("~Д~ополнительно"), kAdvanced));
  dialog_.SetDefaultCommand(cmd::kOk);
  toAddress_->disabled = !setup.netmail;
  subject_->disabled = setup.fileNames.size() != 1;
  dialog_.SetBeforeClose([this](int command) { return command != cmd::kOk || Valid(); });
}

void EncodeDialog::Load(const EncodeChoices& choices) {
  toName_->SetText(choices.toName);
  toAddress_->SetText(choices.toAddress);
  fromName_->SetText(choices.fromName);
  fromAddress_->SetText(choices.fromAddress);
  options_->SetValue(choices.options);
  encoding_->SetValue(choices.encoding);
  subject_->SetText(choices.subject);
  ShowPostedName(choices.postedName);
}

void EncodeDialog::Store(EncodeChoices& choices) const {
  choices.toName = toName_->Text();
  // Echomail has no addressee.
  choices.toAddress = setup_.netmail ? toAddress_->Text() : "0:0/0";
  choices.fromName = fromName_->Text();
  choices.fromAddress = fromAddress_->Text();
  choices.options = options_->Value();
  choices.encoding = encoding_->Value();
  choices.subject = subject_->Text();
}

bool EncodeDialog::Valid() {
  if (setup_.area == nullptr) {
    prompts_.Notice(Cp866(
        "Так как в VELDMARK.CTL не задано ни одной конференции, Вы не можете кодировать файлы "
        "или сканировать эхи,а можете только раскодировать файлы. (Hажмите Enter на каком-либо "
        "текстовом файле)"));
    return false;
  }
  if (encoding_->Value() == kChoiceText && !setup_.fileNames.empty()) {
    const std::string ext = SplitPath(setup_.fileNames.front()).ext;
    if (ext.size() > 1 && BinaryExtension(ext.substr(1), settings_) &&
        !prompts_.AskYes(
            Message("Вы уверены что хотите послать файл(ы) с расширением %s как текст?", ext)))
      return false;
  }
  if (toName_->Text().empty()) {
    prompts_.Error(Cp866("Поле \"Кому\" не может быть пустым!"));
    return false;
  }
  if (fromName_->Text().empty()) {
    prompts_.Error(Cp866("Поле \"От кого\" не может быть пустым!"));
    return false;
  }
  const std::optional<NetAddress> to = Parse(*toAddress_);
  if (setup_.netmail && !to) {
    prompts_.Error(Cp866("Адрес \"Куда\" неправильный!"));
    return false;
  }
  const std::optional<NetAddress> from = Parse(*fromAddress_);
  if (!from) {
    prompts_.Error(Cp866("Адрес \"Откуда\" неправильный!"));
    return false;
  }
  if ((!OwnAddress(*from, settings_) || fromName_->Text() != settings_.NAME) &&
      !prompts_.AskYes(Cp866("Вы уверены что хотите писать не от своего имени/адреса?")))
    return false;
  if (setup_.netmail && (to->zone != from->zone || to->net != from->net) &&
      !prompts_.AskYes(Cp866("Вы уверены что хотите посылать файлы в другую сеть/регион?")))
    return false;
  archiveName_.clear();
  if (options_->Value() & kOptionCompress) {
    archiveName_ = RunCompressionDialog(app_, settings_, prompts_);
    if (archiveName_.empty()) return false;
  }
  return true;
}

}  // namespace

EncodeDialogResult RunEncodeDialog(Application& app, const Settings& settings,
                                   const EncodeSetup& setup, EncodeChoices& choices,
                                   Prompts& prompts) {
  EncodeDialog dialog(app, settings, setup, prompts);
  dialog.Load(choices);
  for (;;) {
    const int command = dialog.Run();
    if (command == kAdvanced) {
      // The advanced dialog sees (and checks) what the encode dialog holds now.
      dialog.Store(choices);
      RunAdvancedDialog(app, setup, choices, prompts);
      dialog.ShowPostedName(choices.postedName);
      dialog.FocusOk();
      continue;
    }
    if (command != cmd::kOk) return {};
    dialog.Store(choices);
    return EncodeDialogResult{true, dialog.ArchiveName()};
  }
}

}  // namespace vm::shell
