// The installation at a terminal (a fake one): the search polls the keyboard between
// directories, so Esc can stop it, and it must stay inside the drive's own tree.
#include "config/installation.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "config/disk_search.h"
#include "platform/host_path.h"
#include "support/fake_console.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

TEST(Installation, EscDuringTheSearchKeepsWhatWasChosenAndCommentsOutTheRest) {
  ScopedTempDir drive;
  drive.WriteFile("FIDO/AREAS.BBS", "C:\\FIDO\\MAIL\\RUFILES RU.FILES\r\n");
  drive.WriteFile("ZZZ/SQUISH.CFG", "EchoArea SU.FILES C:\\FIDO\\SUFILES\r\n");
  drive.WriteFile("ZZZ/GOLDED.CFG", "");
  ScopedTempDir node;

  // Name and address, then a key at the root's poll (any key but Esc or space goes by), one
  // at FIDO's, the answer for AREAS.BBS, Esc at ZZZ's poll, no ROOT, the closing key.
  FakeConsole console("Ivan Petrov\n2:5020/100\nxxY\x1B\nx");
  console.SetInteractive(true);
  ProgramPaths paths{ProgramPathFromHost(node.path()) + "/", "", "/tmp/", "", ""};
  Install({.manual = false,
           .goldEdOnly = false,
           .programFile = "veldmark",
           .drive = {"C:", drive.path()}},
          paths, console);

  EXPECT_EQ(console.KeysLeft(), 0u);
  EXPECT_EQ(console.title, Cp866("Veldmark - установка"));
  std::string settings = node.ReadFile("VELDMARK.CTL");
  EXPECT_NE(settings.find("\r\nAREASPATH C:\\FIDO\\AREAS.BBS ;"), std::string::npos);
  EXPECT_NE(settings.find("\r\n;SQUISHPATH  ;"), std::string::npos);
  // GOLDED.CFG was not reached either, so there is no GoldEd question.
  EXPECT_EQ(console.output.find(Cp866("Произвести ли настройку GoldEd")), std::string::npos);
  EXPECT_NE(console.output.find(Cp866("  Установка закончена.")), std::string::npos);
}

TEST(DiskSearch, StaysInTheTreeAndOnOneLine) {
  ScopedTempDir drive;
  const std::string deep = "FIDO/" + std::string(60, 'D') + "/" + std::string(40, 'E');
  drive.WriteFile(deep + "/AREAS.BBS", "");
  drive.WriteFile("FIDO/HUDSON/MSGTXT.BBS", "");
  drive.WriteFile("OTHER/TM.CFG", "");
  ASSERT_EQ(symlink((drive / "FIDO").c_str(), (drive / "LOOP").c_str()), 0);
  ASSERT_EQ(symlink((drive / "OTHER/TM.CFG").c_str(), (drive / "tm.cfg").c_str()), 0);

  FakeConsole console("YNY");
  DiskSearchResult found = SearchDisk({"D:", drive.path()}, console);

  // The link to FIDO is not entered (AREAS.BBS is offered once); the link to a file counts as
  // the file; a later Y replaces an earlier choice.
  EXPECT_EQ(found.bases.AREASPATH,
            "D:\\FIDO\\" + std::string(60, 'D') + "\\" + std::string(40, 'E') + "\\AREAS.BBS");
  EXPECT_EQ(found.bases.HUDSONPATH, "D:\\FIDO\\HUDSON\\");
  EXPECT_EQ(found.bases.TERMINATECFG, "D:\\tm.cfg");
  EXPECT_EQ(console.KeysLeft(), 0u);
  // Every progress line is one line of the terminal wide (79 columns, blanks included); a long
  // path shows its end.
  const std::string& out = console.output;
  for (size_t at = out.find('\r'), next; (next = out.find('\r', at + 1)) != std::string::npos;
       at = next)
    if (out.find('\n', at) > next) {
      EXPECT_EQ(next - at - 1, 79u) << out.substr(at, next - at);
    }
  EXPECT_NE(out.find(std::string(40, 'E') + "\\AREAS.BBS\r"), std::string::npos);
  EXPECT_NE(out.find("\r..."), std::string::npos);
}

}  // namespace
}  // namespace vm
