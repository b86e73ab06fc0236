// The encode command from the checks of a selection to the queue: what the dialog's OK hands
// to the queue for one file and for several, the daily-limit note, and the defaults it keeps.
#include "shell/encode_command.h"

#include <gtest/gtest.h>

#include "scripted_prompts.h"
#include "shell_node.h"
#include "text/cp866.h"
#include "tui/application.h"
#include "tui/keys.h"

namespace vm::shell {
namespace {

namespace key = tui::key;

struct EncodeCommandTest : ::testing::Test, test::ShellNode {
  EncodeCommandTest()
      : app(backend, palette), context{settings, areas, state, paths, console, log} {
    settings.NAME = "Ivan Petrov";
    settings.ADDRESS = "2:5020/9999";
    settings.akas = {NetAddress{2, 5020, 9999, 1}};
    AreaEntry area;
    area.tag = area.displayName = "RU.FILES";
    area.areaId = "F" + dir / "areas/rufiles";
    area.SectionsPerDay = area.SectionsLeftToday = 2;
    area.address = NetAddress{2, 5020, 9999, 1};
    areas.Append(area);
    dir.WriteFile("a.bin", std::string(10000, 'a'));
    dir.WriteFile("b.bin", std::string(10000, 'b'));
  }
  const AreaEntry* Area() { return &areas.At(1); }

  tui::Palette palette;
  tui::Application app;
  ShellContext context;
  ScriptedPrompts prompts;
};

TEST_F(EncodeCommandTest, ASelectionTooSmallOrLarge) {
  EncodeCommand command(app, context, prompts);
  EXPECT_FALSE(command.Run({{"x", 1}, {"y", 2}}, true, Area(), paths.StartDir));
  prompts.answers = {false};
  EXPECT_FALSE(command.Run({{"x", 1'000'000}, {"y", 1'000'001}}, true, Area(), paths.StartDir));
  EXPECT_EQ(prompts.shown,
            (std::vector<std::string>{Cp866("Файлы слишком малы - нет смысла их кодировать"),
                                      Cp866("Вы уверены что хотите послать файлы общим размером "
                                            "2000001 байт? По-моему это многовато!")}));
  EXPECT_TRUE(state.queue.empty());
}

TEST_F(EncodeCommandTest, OneFileTakesTheDialogsNameAndSeveralTheirOwn) {
  EncodeCommand command(app, context, prompts);
  EncodeSetup setup;
  setup.area = Area();
  setup.fileNames = {"a.bin"};
  const EncodeChoices initial = command.InitialChoices(setup);
  EXPECT_EQ(initial.fromAddress, "2:5020/9999.1") << "the area's own address";
  EXPECT_EQ(initial.postedName, "A.BIN");
  EXPECT_EQ(initial.subject, "A.BIN");
  EXPECT_EQ(initial.encoding, kChoiceUu);

  // One file: two sections fit today's two, so no note.
  backend.PushKey(key::kEnter);
  ASSERT_TRUE(command.Run({{"a.bin", 10000}}, false, Area(), paths.StartDir));
  ASSERT_EQ(state.queue.size(), 1u);
  const QueueEntry& one = state.queue.front();
  EXPECT_EQ(one.postedName, "A.BIN");
  EXPECT_EQ(one.subject, "A.BIN");
  EXPECT_EQ(one.destAddress, (NetAddress{2, 5020, 9999, 1})) << "echomail: the from address";
  EXPECT_EQ(one.flags, kEncodeUu);
  EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front();
  EXPECT_EQ(state.defaults.fromAddress, "2:5020/9999.1");
  EXPECT_EQ(state.defaults.toAddress, "") << "an echomail posting leaves the netmail addressee";

  // Two files, each under its own name, with the limit overridden at 5 a day: four sections
  // against the area's two today bring the note.
  state.queue.clear();
  backend.PushKey(key::Alt(static_cast<unsigned char>(Cp866("Д")[0])));
  for (int k : {key::kTab, key::kTab, key::kDown, key::kDown, key::kTab}) backend.PushKey(k);
  backend.PushKeys("5");
  backend.PushKey(key::kEnter);  // the advanced dialog
  backend.PushKey(key::kEnter);  // the encode dialog, its focus back on OK
  ASSERT_TRUE(command.Run({{"a.bin", 10000}, {"b.bin", 10000}}, true, Area(), paths.StartDir));
  ASSERT_EQ(state.queue.size(), 2u);
  EXPECT_EQ(state.queue.front().postedName, "A.BIN");
  EXPECT_EQ(state.queue.back().postedName, "B.BIN");
  EXPECT_EQ(state.queue.back().subject, "B.BIN");
  EXPECT_EQ(state.queue.back().flags, kEncodeUu | kLimitOverride);
  EXPECT_EQ(prompts.shown, (std::vector<std::string>{Cp866(
                               "Из-за лимита секций в день, файл(ы) не будут посланы сразу же.")}));
  EXPECT_EQ(command.InitialChoices(setup).sendMode, kModeOverride) << "kept for the next posting";

  // A name with a blank, longer than 8.3, goes out safe, as the dialog showed it.
  state.queue.clear();
  dir.WriteFile("space file.bin", std::string(100, 's'));
  setup.fileNames = {"space file.bin"};
  EXPECT_EQ(command.InitialChoices(setup).postedName, "SPACE_FI.BIN");
  backend.PushKey(key::kEnter);
  ASSERT_TRUE(command.Run({{"space file.bin", 100}}, false, Area(), paths.StartDir));
  ASSERT_EQ(state.queue.size(), 1u);
  EXPECT_EQ(state.queue.front().postedName, "SPACE_FI.BIN");
  EXPECT_EQ(state.queue.front().subject, "SPACE_FI.BIN");
  EXPECT_EQ(command.InitialChoices(setup).sectionsPerDay, "5");
}

// The recipient: echomail always starts at "All"; netmail at the last netmail recipient, which
// an echomail posting in between does not change.
TEST_F(EncodeCommandTest, EchomailGoesToAllAndNetmailKeepsItsLastRecipient) {
  AreaEntry netmail;
  netmail.tag = netmail.displayName = "NETMAIL";
  netmail.areaId = "F" + dir / "areas/netmail";
  netmail.netmail = 1;
  netmail.SectionsPerDay = netmail.SectionsLeftToday = 10;
  areas.Append(netmail);
  EncodeCommand command(app, context, prompts);
  EncodeSetup echoSetup;
  echoSetup.area = Area();
  echoSetup.fileNames = {"a.bin"};
  EncodeSetup netmailSetup = echoSetup;
  netmailSetup.area = &areas.At(2);
  netmailSetup.netmail = true;

  // A netmail to Sysop at 2:5020/1.
  for (int i = 0; i < 32; ++i) backend.PushKey(key::kBackspace);
  backend.PushKeys("Sysop");
  backend.PushKey(key::kTab);
  backend.PushKeys("2:5020/1");
  backend.PushKey(key::kEnter);
  ASSERT_TRUE(command.Run({{"a.bin", 10000}}, false, &areas.At(2), paths.StartDir));
  const EncodeChoices echo = command.InitialChoices(echoSetup);
  EXPECT_EQ(echo.toName, "All");
  EXPECT_EQ(echo.toAddress, "");
  EXPECT_EQ(command.InitialChoices(netmailSetup).toName, "Sysop");
  EXPECT_EQ(command.InitialChoices(netmailSetup).toAddress, "2:5020/1");

  // An echomail posting between: to All, and the netmail recipient stays.
  backend.PushKey(key::kEnter);
  ASSERT_TRUE(command.Run({{"b.bin", 10000}}, false, Area(), paths.StartDir));
  EXPECT_EQ(state.queue.back().toName, "All");
  EXPECT_EQ(command.InitialChoices(netmailSetup).toName, "Sysop");
  EXPECT_EQ(command.InitialChoices(netmailSetup).toAddress, "2:5020/1");
}

}  // namespace
}  // namespace vm::shell
