// The encode, advanced and compression dialogs against the fake backend: tab order and
// enabling, every check's message in its order, the sections list, the archive name, and the
// mapping of the choices to EncodeFlags and back.
#include "shell/encode_dialog.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/area_table.h"
#include "config/settings.h"
#include "scripted_prompts.h"
#include "shell/advanced_dialog.h"
#include "shell/compression_dialog.h"
#include "text/cp866.h"
#include "tui/application.h"
#include "tui/fake_backend.h"
#include "tui/keys.h"

namespace vm::shell {
namespace {

namespace key = tui::key;

struct EncodeDialogTest : ::testing::Test {
  EncodeDialogTest() : app(backend, palette) {
    settings.NAME = "Ivan Petrov";
    settings.ADDRESS = "2:5020/9999";
    settings.address = NetAddress{2, 5020, 9999, 0};
    settings.akas = {NetAddress{2, 5020, 9999, 1}};
    settings.archivers = {ArchiverEntry{"ZIP", "unzip %1"}};
    echo.displayName = "RU.FILES";
    netmail.displayName = "NETMAIL";
    netmail.netmail = 1;
    choices.toName = "All";
    choices.fromName = "Ivan Petrov";
    choices.fromAddress = "2:5020/9999";
    choices.encoding = kChoiceUu;
    choices.linesPerSection = "120";
  }
  EncodeSetup Setup(const AreaEntry& area, std::vector<std::string> names, int64_t size = 40000) {
    EncodeSetup setup;
    setup.area = &area;
    setup.netmail = area.netmail != 0;
    setup.fileNames = std::move(names);
    setup.firstFileSize = size;
    return setup;
  }
  void Keys(std::initializer_list<int> keys) {
    for (int k : keys) backend.PushKey(k);
  }
  void Type(std::string_view text) { backend.PushKeys(text); }
  // The focused control after each of `tabs` Tab presses, named by where the cursor stands.
  std::vector<std::string> TabOrder(int tabs, const std::function<std::string(tui::Point)>& fieldAt,
                                    const std::function<void()>& run) {
    backend.PushSnapshot();
    for (int i = 0; i < tabs; ++i) {
      backend.PushKey(key::kTab);
      backend.PushSnapshot();
    }
    backend.PushKey(key::kEsc);
    run();
    std::vector<std::string> order;
    for (const tui::CellBuffer& shot : backend.snapshots) order.push_back(fieldAt(shot.Cursor()));
    backend.snapshots.clear();
    return order;
  }

  tui::FakeBackend backend;
  tui::Palette palette;
  tui::Application app;
  Settings settings;
  AreaEntry echo;
  AreaEntry netmail;
  EncodeChoices choices;
  ScriptedPrompts prompts;
};

// The encode dialog (77 x 17) stands at column 1, row 4 of an 80 x 25 screen.
std::string EncodeFieldAt(tui::Point p) {
  const int row = p.y - 4, x = p.x - 1;
  if (row == 2) return x < 45 ? "to" : "where";
  if (row == 4) return x < 45 ? "from" : "from where";
  if (row >= 6 && row <= 10) return x < 45 ? "options" : "encoding";
  if (row == 12) return "subject";
  if (row == 14) return x < 27 ? "ok" : x < 42 ? "cancel" : "advanced";
  return "?";
}

// The advanced dialog (76 x 17) stands at column 2, row 4.
std::string AdvancedFieldAt(tui::Point p) {
  const int row = p.y - 4, x = p.x - 2;
  if (row == 2) return x < 24 ? "name" : "sections";
  if (row >= 4 && row <= 9 && x < 30) return "attributes";
  if (row == 4) return "lines";
  if (row == 6) return "no template";
  if (row >= 8 && row <= 10) return "send mode";
  if (row == 12) return "per day";
  if (row == 14) return x < 38 ? "ok" : "cancel";
  return "?";
}

TEST_F(EncodeDialogTest, TabOrderFollowsTheAreaAndTheNumberOfFiles) {
  auto encode = [&](const EncodeSetup& setup) {
    return TabOrder(9, EncodeFieldAt,
                    [&] { RunEncodeDialog(app, settings, setup, choices, prompts); });
  };
  EXPECT_EQ(encode(Setup(echo, {"a.zip"})),
            (std::vector<std::string>{"to", "from", "from where", "options", "encoding", "subject",
                                      "ok", "cancel", "advanced", "to"}))
      << "echomail: no addressee's address";
  EXPECT_EQ(encode(Setup(netmail, {"a.zip", "b.zip"})),
            (std::vector<std::string>{"to", "where", "from", "from where", "options", "encoding",
                                      "ok", "cancel", "advanced", "to"}))
      << "netmail, several files: no subject";

  auto advanced = [&](const EncodeSetup& setup) {
    return TabOrder(7, AdvancedFieldAt, [&] { RunAdvancedDialog(app, setup, choices, prompts); });
  };
  EXPECT_EQ(advanced(Setup(echo, {"a.zip"})),
            (std::vector<std::string>{"name", "sections", "attributes", "lines", "send mode", "ok",
                                      "cancel", "name"}))
      << "UU: no text without template; usual sending: no daily number";
  choices.encoding = kChoiceText;
  choices.sendMode = kModeOverride;
  EXPECT_EQ(advanced(Setup(echo, {"a.zip", "b.zip"})),
            (std::vector<std::string>{"attributes", "lines", "no template", "send mode", "per day",
                                      "ok", "cancel", "attributes"}));
  // Choosing the override in the dialog enables the daily number at once.
  choices.sendMode = kModeAsUsual;
  Keys({key::kTab, key::kTab, key::kTab, key::kDown, key::kDown, key::kTab});
  backend.PushSnapshot();
  Keys({key::kEsc});
  RunAdvancedDialog(app, Setup(echo, {"a.zip", "b.zip"}), choices, prompts);
  EXPECT_EQ(AdvancedFieldAt(backend.snapshots.at(0).Cursor()), "per day");
}

TEST_F(EncodeDialogTest, EveryCheckOfTheEncodeDialogInItsOrder) {
  choices = EncodeChoices{};
  choices.encoding = kChoiceText;
  choices.options = kOptionCompress;
  choices.toAddress = "nowhere";
  choices.fromAddress = "nowhere";
  prompts.answers = {false,                      // send .EXE as text? No
                     true,  true,  true,  true,  // then Yes each time the check comes round
                     true,  false,               // Yes to .EXE, No to another name
                     true,  true,  false,        // Yes, Yes, No to another net
                     true,  true,  true};        // all Yes: the compression has no packer
  Keys({key::kEnter, key::kEnter});
  Type("Sysop");
  Keys({key::kEnter, key::kTab, key::kTab});
  Type("Someone");
  Keys({key::kEnter, key::kBackTab});
  Type("1:10/1");
  Keys({key::kEnter, key::kTab, key::kTab});
  Type("2:5020/9999");
  Keys({key::kEnter, key::kEnter, key::kEnter, key::kEsc});
  const EncodeDialogResult result =
      RunEncodeDialog(app, settings, Setup(netmail, {"PROG.EXE"}), choices, prompts);
  EXPECT_FALSE(result.ok);
  const std::string exe =
      Cp866("Вы уверены что хотите послать файл(ы) с расширением .EXE как текст?");
  const std::string other = Cp866("Вы уверены что хотите писать не от своего имени/адреса?");
  const std::string net = Cp866("Вы уверены что хотите посылать файлы в другую сеть/регион?");
  EXPECT_EQ(prompts.shown, (std::vector<std::string>{
                               exe, exe, Cp866("Поле \"Кому\" не может быть пустым!"), exe,
                               Cp866("Поле \"От кого\" не может быть пустым!"), exe,
                               Cp866("Адрес \"Куда\" неправильный!"), exe,
                               Cp866("Адрес \"Откуда\" неправильный!"), exe, other, exe, other, net,
                               exe, other, net, Cp866("Сжатие не возможно - архиватор не задан")}));
  EXPECT_TRUE(prompts.answers.empty());
}

TEST_F(EncodeDialogTest, OkStoresTheFieldsAndEchomailHasNoAddressee) {
  Keys({key::kEnter});
  const EncodeDialogResult result =
      RunEncodeDialog(app, settings, Setup(echo, {"prog.exe"}), choices, prompts);
  EXPECT_TRUE(result.ok);
  EXPECT_TRUE(prompts.shown.empty()) << "UU asks nothing about the extension; own name and address";
  EXPECT_EQ(choices.toAddress, "0:0/0");
  EXPECT_EQ(choices.encoding, kChoiceUu);

  // The ZIP archiver makes .zip no text; an AKA is an own address.
  choices.encoding = kChoiceText;
  choices.fromAddress = "2:5020/9999.1";
  prompts.answers = {true};
  Keys({key::kEnter});
  EXPECT_TRUE(RunEncodeDialog(app, settings, Setup(echo, {"a.zip"}), choices, prompts).ok);
  EXPECT_EQ(prompts.shown,
            (std::vector<std::string>{
                Cp866("Вы уверены что хотите послать файл(ы) с расширением .zip как текст?")}));
}

// Alt+O (Latin, on the key of Щ) presses Отмена; in echomail the "Куда" field stays empty
// also after a refused OK; F1 in each of the three dialogs asks for its own topic.
TEST_F(EncodeDialogTest, CancelByAltOEmptyEchoAddresseeAndHelpInEveryDialog) {
  std::vector<int> asked;
  app.SetHelp(9, [&](int context) { asked.push_back(context); });
  app.Status().SetRanges({{10, 0xFFFF, {{Cp866("~F1~ Справка"), key::F(1), 9}}}});
  for (int cancel : {key::Alt('O'), key::Alt(static_cast<unsigned char>(Cp866("щ")[0]))}) {
    Keys({cancel});
    EXPECT_FALSE(RunEncodeDialog(app, settings, Setup(echo, {"a.zip"}), choices, prompts).ok);
  }
  EXPECT_EQ(backend.EventsLeft(), 0u);

  choices.toName = "";
  Keys({key::F(1), key::kEnter});  // help, then OK refused: no name
  backend.PushSnapshot();
  Keys({key::kEsc});
  EXPECT_FALSE(RunEncodeDialog(app, settings, Setup(echo, {"a.zip"}), choices, prompts).ok);
  // The dialog (77 x 17) at column 1, row 4: "Куда:" and its field on its row 2.
  EXPECT_EQ(backend.snapshots.at(0).RowText(6, 54, 20), std::string(20, ' '));

  Keys({key::F(1), key::kEsc});
  RunAdvancedDialog(app, Setup(echo, {"a.zip"}), choices, prompts);
  settings.PACKER = "zip -q %1 %2";
  Keys({key::F(1), key::kEsc});
  RunCompressionDialog(app, settings, prompts);
  EXPECT_EQ(asked, (std::vector<int>{11, 101, 102}));
}

TEST_F(EncodeDialogTest, AdvancedDialogChecksNameSubjectNumbersAndTheSectionsList) {
  // 40000 bytes of UU at 120 lines are 8 sections of 5400 bytes; at 100 lines, 9.
  choices.subject = "A.ZIP";
  choices.postedName = "A.ZIP";
  Keys({key::kTab});
  Type("9");
  Keys({key::kEnter, key::kBackspace});
  Type("3 8");
  Keys({key::kTab, key::kTab});
  Type("1");
  Keys({key::kEnter, key::kBackspace});
  Type("100");
  Keys({key::kEnter});
  EXPECT_TRUE(RunAdvancedDialog(app, Setup(echo, {"a.zip"}, 40000), choices, prompts));
  EXPECT_EQ(prompts.shown,
            (std::vector<std::string>{Cp866("Ошибка в задании секций"),
                                      Cp866("Значение должно быть числом от 2 до 1000")}));
  EXPECT_EQ(choices.sections, "3 8");
  EXPECT_EQ(choices.linesPerSection, "100");

  EXPECT_TRUE(ValidSectionsList("", 8));
  EXPECT_TRUE(ValidSectionsList(" 1  8 ", 8));
  EXPECT_FALSE(ValidSectionsList("0", 8));
  EXPECT_FALSE(ValidSectionsList("9", 8));
  EXPECT_FALSE(ValidSectionsList("99999999999999999999", 8));
}

TEST_F(EncodeDialogTest, AdvancedDialogEmptyNameThenEmptySubject) {
  choices.subject = "";
  choices.postedName = "";
  Keys({key::kEnter});
  Type("A.ZIP");
  Keys({key::kEnter, key::kEsc});
  EXPECT_FALSE(RunAdvancedDialog(app, Setup(echo, {"a.zip"}), choices, prompts));
  EXPECT_EQ(prompts.shown,
            (std::vector<std::string>{Cp866("Поле \"Имя\" не может быть пустым!"),
                                      Cp866("Поле \"Тема\" не может быть пустым!")}));
  EXPECT_EQ(choices.postedName, "") << "Cancel keeps the choices";

  // Several files: neither is asked for.
  prompts.shown.clear();
  Keys({key::kEnter});
  EXPECT_TRUE(RunAdvancedDialog(app, Setup(echo, {"a.zip", "b.zip"}), choices, prompts));
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(EncodeDialogTest, TheNameToBePostedIsShownBeforeOk) {
  const auto shownName = [&](const tui::CellBuffer& screen) {
    return Cp866ToUtf8(screen.RowText(15, 46, 29));
  };
  choices.subject = choices.postedName = "SPACE_FI.BIN";
  backend.PushSnapshot();
  backend.PushKey(key::Alt(static_cast<unsigned char>(Cp866("Д")[0])));
  Type("a b.zip");  // the advanced dialog's name field, its old text replaced
  Keys({key::kEnter});
  backend.PushSnapshot();
  Keys({key::kEsc});
  RunEncodeDialog(app, settings, Setup(echo, {"space file.bin"}), choices, prompts);
  ASSERT_EQ(backend.snapshots.size(), 2u);
  EXPECT_EQ(shownName(backend.snapshots[0]), "Имя при посылке: SPACE_FI.BIN");
  EXPECT_EQ(shownName(backend.snapshots[1]), "Имя при посылке: a_b.zip     ");
  EXPECT_EQ(choices.postedName, "a b.zip") << "the queue makes it safe as it shows it";

  // Several files go out under their own names: none is shown.
  backend.snapshots.clear();
  backend.PushSnapshot();
  Keys({key::kEsc});
  RunEncodeDialog(app, settings, Setup(echo, {"a.zip", "b.zip"}), choices, prompts);
  EXPECT_EQ(shownName(backend.snapshots.at(0)).find("Имя"), std::string::npos);
}

TEST_F(EncodeDialogTest, CompressionDialogWantsAPlainArchiveName) {
  for (const char* bad :
       {"", "ARC", ".ZIP", "ARC.", "DIR/ARC.ZIP", "C:ARC.ZIP", "-X.ZIP", "A\\B.ZIP"})
    EXPECT_FALSE(ValidArchiveName(bad)) << bad;
  EXPECT_TRUE(ValidArchiveName("ARC.RAR"));
  EXPECT_TRUE(ValidArchiveName("my.files.zip"));

  settings.PACKER = "zip -q %1 %2";
  Type("ARC");
  Keys({key::kEnter, key::kEnd});
  Type(".ZIP");
  Keys({key::kEnter});
  EXPECT_EQ(RunCompressionDialog(app, settings, prompts), "ARC.ZIP");
  EXPECT_EQ(prompts.shown, (std::vector<std::string>{Cp866("Неправильное имя архива!")}));
  Type("X.ZIP");
  Keys({key::kEsc});
  EXPECT_EQ(RunCompressionDialog(app, settings, prompts), "") << "Cancel empties the name";
}

TEST(EncodeChoicesMapping, BothWays) {
  struct Case {
    uint32_t options;
    int encoding;
    uint32_t attributes;
    bool noTemplate;
    int sendMode;
    EncodeFlags flags;
  };
  const Case cases[] = {
      {0, kChoiceText, 0, false, kModeAsUsual, 0},
      {kOptionFileInformation, kChoiceUu, 0, false, kModeAsUsual, kFileInformation | kEncodeUu},
      {kOptionDeleteAfterSending | kOptionFileIdDiz, kChoiceXx, 1, false, kModeImmediately,
       kDeleteAfterSending | kInsertFileIdDiz | kEncodeXx | kPrivate | kSendImmediately},
      {kOptionInsertText, kChoiceMime, 2 | 4 | 8, false, kModeOverride,
       kInsertText | kEncodeMime | kCrash | kKillSent | kConfirmReceipt | kLimitOverride},
      {kOptionCompress, kChoiceText, 16 | 32, false, kModeAsUsual,
       kCompressed | kReturnReceipt | kHoldForPickup},
  };
  for (const Case& c : cases) {
    EncodeChoices choices;
    choices.options = c.options;
    choices.encoding = c.encoding;
    choices.attributes = c.attributes;
    choices.sendMode = c.sendMode;
    EXPECT_EQ(FlagsFromChoices(choices), c.flags) << c.options << " " << c.encoding;
    EncodeChoices back;
    SetChoicesFromFlags(c.flags, back);
    EXPECT_EQ(back.options, c.options & ~uint32_t{kOptionCompress})
        << "compress always starts unticked";
    EXPECT_EQ(back.encoding, c.encoding);
    EXPECT_EQ(back.attributes, c.attributes);
  }
  EncodeChoices text;
  text.encoding = kChoiceText;
  text.options = kOptionInsertText;
  text.noTemplate = true;
  EXPECT_EQ(FlagsFromChoices(text), kNoTemplate) << "no template drops the user's text";
  EncodeChoices both;
  SetChoicesFromFlags(kEncodeUu | kEncodeXx, both);
  EXPECT_EQ(both.encoding, kChoiceXx) << "as the poster reads them";
}

}  // namespace
}  // namespace vm::shell
