// /All where a sysop's files could be lost: names that collide with what the download
// directory keeps, a placement that fails, a second run at the same time, and a tosser still
// writing a message while the area is scanned.
#include <gtest/gtest.h>

#include <thread>

#include "decode_node.h"
#include "platform/file.h"

namespace vm::test {
namespace {

const std::string kData = TestBytes(2500, 7);

bool NoTemporaryLeft(const DecodeNode& node) {
  for (const auto& entry : fs::recursive_directory_iterator(node.Path("FILES")))
    if (entry.path().extension() == ".$$$") return false;
  return true;
}

TEST(DecodeSafety, NamesTheDirectoryKeepsAreNeverReplaced) {
  struct Case {
    const char* setting;
    const char* posted;     // the posted file name
    const char* existing;   // what is in FILES before the run ("x/" a directory)
    std::string contents;   // of the existing file
    const char* decodedTo;  // where the posted bytes must end up
  };
  const std::string ownDescription = Utf8ToCp866("Файл:    NOTES.ZIP\r\nОт кого: ...\r\n");
  for (const Case& c : {
           Case{"DUPES move", "dupes", "DUPES/", "", "FILES/DUPES/DUPES"},
           Case{"DUPES delete", "sub", "sub/", "", "FILES/DUPES/SUB"},
           Case{"DUPES overwrite", "FILES.BBS", "files.bbs", "Sysop's own list\r\n",
                "FILES/DUPES/FILES.BBS"},
           Case{"DUPES overwrite", "notes.dsc", "NOTES.dsc", ownDescription,
                "FILES/DUPES/NOTES.DSC"},
       }) {
    SCOPED_TRACE(std::string(c.setting) + " " + c.posted);
    DecodeNode node({c.setting});
    const std::string existing = std::string("FILES/") + c.existing;
    if (existing.back() == '/')
      node.node().dir().MakeDirectory(existing);
    else
      node.node().dir().WriteFile(existing, c.contents);
    node.Post("rufiles", Poster{}, UuSections(kData, c.posted, 20));
    ProgramRun run = node.Run({"/All"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(node.Read(c.decodedTo) == kData) << run.output;
    if (existing.back() == '/')
      EXPECT_TRUE(fs::is_directory(node.Path(existing)));
    else
      EXPECT_EQ(node.Read(existing).substr(0, c.contents.size()), c.contents);
    EXPECT_TRUE(Contains(node.ReadUtf8("VELDMARK.LOG"), "      Перемещен в \\DUPES\r\n"));
    EXPECT_TRUE(NoTemporaryLeft(node));
  }
}

TEST(DecodeSafety, ADescriptionNeverReplacesADecodedFile) {
  DecodeNode node({"HEADERS yes"});
  node.node().dir().WriteFile("FILES/GAME.DSC", "decoded notes");
  node.Post("rufiles", Poster{}, UuSections(kData, "game.zip", 20));
  ProgramRun run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(node.Read("FILES/GAME.ZIP") == kData);
  EXPECT_EQ(node.Read("FILES/GAME.DSC"), "decoded notes");
  EXPECT_TRUE(Contains(node.ReadUtf8("VELDMARK.LOG"), "    Описание не записано: GAME.dsc\r\n"));
}

TEST(DecodeSafety, AFailedMoveIsReportedAndKeepsTheMessagesForTheNextRun) {
  DecodeNode node({"DUPES move", "DELETEDECODED yes"});
  node.node().dir().WriteFile("FILES/PACK.ZIP", "old");
  node.node().dir().WriteFile("FILES/DUPES", "a file where the directory should be");
  node.Post("rufiles", Poster{}, UuSections(kData, "pack.zip", 20));
  ProgramRun run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 4) << "a file not written: " << run.output;
  EXPECT_TRUE(Contains(run.output, "    Не могу записать файл PACK.ZIP\n")) << run.output;
  const std::string log = node.ReadUtf8("VELDMARK.LOG");
  EXPECT_TRUE(Contains(log, "    Не могу записать файл PACK.ZIP\r\n")) << log;
  EXPECT_FALSE(Contains(log, "Перемещен")) << log;
  EXPECT_TRUE(NoTemporaryLeft(node));
  EXPECT_EQ(node.Messages("rufiles").size(), 3u) << "the sections stay";
  EXPECT_FALSE(Contains(node.Read("veldmark.dup"), "PACK.ZIP"));

  fs::remove(node.Path("FILES/DUPES"));
  run = node.Run({"/All"});
  EXPECT_TRUE(node.Read("FILES/DUPES/PACK.ZIP") == kData) << run.output;
  EXPECT_TRUE(node.Messages("rufiles").empty());
}

TEST(DecodeSafety, ASecondRunWaitsForTheFirst) {
  DecodeNode node;
  node.Post("rufiles", Poster{}, UuSections(kData, "pack.zip", 20));
  File lock;
  ASSERT_TRUE(lock.Open(node.Path("veldmark.lck"), OpenMode::Append));
  ASSERT_TRUE(lock.LockRange(0, 1, 1));
  std::thread release([&lock] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    lock.UnlockRange(0, 1);
  });
  ProgramRun run = node.Run({"/All"});
  release.join();
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, "жду ее окончания")) << run.output;
  EXPECT_TRUE(node.Read("FILES/PACK.ZIP") == kData);
}

// Symbolic links placed where the run writes its own files (the log, the state files, the lock,
// the download directory's list and descriptions) are replaced, never written through: the
// files they point to keep their bytes, and a dangling link creates nothing.
TEST(DecodeSafety, LinksAtTheRunsOwnFilesAreReplacedNotFollowed) {
  DecodeNode node({"HEADERS yes", "FILESBBS append"});
  node.Post("rufiles", Poster{}, UuSections(kData, "pack.zip", 20));
  ScopedTempDir elsewhere;
  const char* kLinked[] = {"veldmark.log", "veldmark.dup",    "areas.lst",
                           "queue.lst",    "FILES/files.bbs", "FILES/PACK.dsc"};
  for (const char* name : kLinked) {
    const std::string target = std::string("victim-") + fs::path(name).filename().string();
    elsewhere.WriteFile(target, "sysop's own " + target);
    node.node().dir().MakeDirectory(fs::path(name).parent_path().string());
    fs::create_symlink(elsewhere / target, node.Path(name));
  }
  fs::create_symlink(elsewhere / "made-by-lock", node.Path("veldmark.lck"));

  ProgramRun run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(node.Read("FILES/PACK.ZIP") == kData);
  for (const char* name : kLinked) {
    SCOPED_TRACE(name);
    const std::string target = std::string("victim-") + fs::path(name).filename().string();
    EXPECT_EQ(elsewhere.ReadFile(target), "sysop's own " + target);
  }
  EXPECT_FALSE(elsewhere.Exists("made-by-lock"));
  for (const char* name : {"veldmark.log", "veldmark.dup", "areas.lst", "queue.lst", "veldmark.lck",
                           "FILES/files.bbs"})
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(node.Path(name)))) << name;
  EXPECT_TRUE(Contains(node.ReadUtf8("veldmark.log"), "Нормальный выход"));
  EXPECT_TRUE(Contains(node.ReadUtf8("FILES/files.bbs"), "PACK.ZIP"));
}

TEST(DecodeSafety, AScanComesBackToAMessageThatWasStillBeingWritten) {
  DecodeNode node({"DELETEDECODED yes"});
  node.Write("rufiles", Poster{}, "Welcome", {"Hello All"});
  const int32_t posting = node.Post("rufiles", Poster{}, UuSections(kData, "pack.zip", 200))[0];
  node.Write("rufiles", Poster{}, "Chat", {"Later message"});
  node.AgeMessages("rufiles");
  // The tosser has written the header of the posting's message, not yet its text.
  const std::string whole = node.Read("areas/rufiles/" + std::to_string(posting) + ".msg");
  node.node().dir().WriteFile("areas/rufiles/" + std::to_string(posting) + ".msg",
                              whole.substr(0, 190));

  ProgramRun run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_FALSE(node.Exists("FILES/PACK.ZIP"));

  node.node().dir().WriteFile("areas/rufiles/" + std::to_string(posting) + ".msg", whole);
  node.AgeMessages("rufiles");
  run = node.Run({"/All"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(node.Read("FILES/PACK.ZIP") == kData) << node.ReadUtf8("VELDMARK.LOG");
}

}  // namespace
}  // namespace vm::test
