// The directory panel's place is its own: walked into a subdirectory, the panel is where a
// user utility runs, where a posted file comes from and where a decoded file goes, while the
// process stays in the start directory, and relative paths of the settings (the area, TEMPPATH)
// keep naming what they name from there.
#include <gtest/gtest.h>

#include <filesystem>

#include "decode/posting_builder.h"
#include "msgbase/message_base.h"
#include "shell_node.h"

namespace vm::shell {
namespace {

namespace key = tui::key;
namespace fs = std::filesystem;

struct PanelDirectory : ::testing::Test, test::ShellNode {
  PanelDirectory() {
    dir.WriteFile("VELDMARK.TPL", "@SECTION\r\n");
    dir.MakeDirectory("OUT");
    dir.WriteFile("sub/post.bin", posted);
    MessageBaseHandle base;
    EXPECT_TRUE(OpenOrCreateMessageArea("F" + dir / "areas/rufiles", base));
    base->StartNewMessage();
    base->SetMailKind(MailKind::Echomail);
    base->SetToName("All");
    base->SetSubject("alpha.bin");
    const std::vector<vm::test::Lines> sections = vm::test::UuSections(alpha, "alpha.bin", 40);
    for (const std::string& line : sections.front()) base->PutLine(line);
    EXPECT_EQ(base->WriteMessage(), 0);
    CloseMessageArea(base);

    settings.NAME = "Ivan Petrov";
    settings.ADDRESS = "2:5020/9999";
    settings.TEMPPATH = "OUT\\";
    AreaEntry area;
    area.tag = area.displayName = "RU.FILES";
    area.areaId = "FAREAS\\RUFILES";
    area.SectionsPerDay = area.SectionsLeftToday = 10;
    areas.Append(area);
    ExternalUtility where;
    where.title = "~W~here";
    where.keyName = "F9";
    where.keyCode = 0x4300;
    where.command = "pwd -P > where.out";
    where.RunOptions = ExternalUtility::kHideScreen;
    settings.externalUtilities.push_back(where);
  }
  size_t Messages() const { return ListDirectory(dir / "areas/rufiles").size(); }

  const std::string alpha = std::string(900, 'a') + std::string(100, 'z');
  const std::string posted = std::string(3000, 'p');
};

TEST_F(PanelDirectory, UtilityPostingAndDecodingHappenInThePanelsDirectory) {
  const std::string start = CurrentDirectory();
  std::vector<std::string> workingDirectories;
  const auto noteWorkingDirectory = [&] { workingDirectories.push_back(CurrentDirectory()); };

  backend.PushKeys("sub");
  backend.PushKey(key::kEnter);  // into sub
  backend.PushAction(noteWorkingDirectory);
  backend.PushKey(key::F(9));  // the utility
  backend.PushKeys("post");
  backend.PushKey(key::F(5));    // post.bin into the queue ...
  backend.PushKey(key::kEnter);  // ... by the encode dialog's OK, and the queue runs
  backend.PushWait();
  backend.PushAction(noteWorkingDirectory);
  backend.PushKey(key::kTab);
  backend.PushKey(key::kEnter);  // open RU.FILES
  backend.PushWait();
  backend.PushKeys("alpha");
  backend.PushKey(key::F(5));  // decode alpha.bin
  backend.PushWait();
  PushQuit();
  RunShell();

  const std::string sub = ProgramPathFromHost(fs::canonical(dir / "sub").string());
  EXPECT_EQ(panelDirectory, sub) << "where the next run's panel starts";
  EXPECT_EQ(workingDirectories, (std::vector<std::string>{start, start}));
  EXPECT_EQ(CurrentDirectory(), start);
  EXPECT_EQ(dir.ReadFile("sub/where.out"), fs::canonical(dir / "sub").string() + "\n");
  EXPECT_EQ(dir.ReadFile("sub/ALPHA.BIN"), alpha);
  EXPECT_FALSE(dir.Exists("ALPHA.BIN"));
  EXPECT_EQ(Messages(), 2u) << "post.bin went into the area of the start directory";
  EXPECT_TRUE(state.queue.empty());
  EXPECT_TRUE(ListDirectory(dir / "OUT").empty()) << "TEMPPATH's copy posted and removed";
  EXPECT_EQ(dir.ReadFile("sub/post.bin"), posted) << "the original stays";
  for (const char* stray : {"sub/AREAS", "sub/areas", "sub/OUT", "where.out"})
    EXPECT_FALSE(dir.Exists(stray)) << stray;
}

}  // namespace
}  // namespace vm::shell
