// The last message number an area can give out, from both sides: a *.MSG area numbers up to
// 31999 (what readers look for) and a Hudson base up to 65534 (65535 marks a deleted message in
// its index). One below the limit the message is written and reads back under its number; at
// the limit the write is refused as full and leaves the files as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "fido_message_file.h"
#include "msgbase/fido/fido_msg_base.h"
#include "msgbase/hudson/hudson_base.h"
#include "msgbase/message_base.h"
#include "support/platform_temp_dir.h"
#include "text/little_endian.h"

namespace vm {
namespace {

namespace fs = std::filesystem;

struct LastNumberCase {
  const char* what;
  char variant;     // 'F' *.MSG, 'H' Hudson
  int32_t highest;  // the highest number the area has given out before the write
  uint16_t result;  // of WriteMessage
};

// Every file of the area and its bytes.
std::map<std::string, std::string> Snapshot(const ScopedTempDir& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
    if (entry.is_regular_file())
      files[entry.path().string()] = dir.ReadFile(fs::relative(entry.path(), dir.path()).string());
  return files;
}

// Makes an area whose highest number is `highest` and returns its id.
std::string AreaAt(const ScopedTempDir& dir, char variant, int32_t highest) {
  if (variant == 'F') {
    dir.MakeDirectory("msg");
    dir.WriteFile("msg/" + std::to_string(highest) + ".msg", fidotest::MsgFile{}.Bytes());
    return "F" + dir.path() + "/msg";
  }
  const std::string id = "H001" + dir.path() + "/hudson";
  MessageBaseHandle base;
  EXPECT_TRUE(OpenOrCreateMessageArea(id, base));
  CloseMessageArea(base);
  // The info record's highest number, at offset 2.
  std::string info = dir.ReadFile("hudson/MSGINFO.BBS");
  PutLe16(info.data(), 2, static_cast<uint16_t>(highest));
  dir.WriteFile("hudson/MSGINFO.BBS", info);
  return id;
}

TEST(LastMessageNumber, OneBelowTheLimitIsWrittenAndTheLimitIsRefused) {
  const LastNumberCase cases[] = {
      {"*.MSG, 31998 given out", 'F', 31998, 0},
      {"*.MSG, 31999 given out", 'F', 31999, FidoMsgBase::kWriteAreaFull},
      {"Hudson, 65533 given out", 'H', 65533, 0},
      {"Hudson, 65534 given out", 'H', 65534, HudsonBase::kBaseFull},
  };
  for (const LastNumberCase& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedTempDir dir;
    const std::string id = AreaAt(dir, c.variant, c.highest);
    const auto before = Snapshot(dir);
    MessageBaseHandle base;
    if (!OpenMessageArea(id, base)) {
      ADD_FAILURE() << "cannot open the area";
      continue;
    }
    base->StartNewMessage();
    base->SetMailKind(MailKind::Local);
    base->SetFromName("Sysop");
    base->SetToName("All");
    base->SetSubject("the last one");
    base->PutLine("text");
    EXPECT_EQ(base->WriteMessage(), c.result);
    CloseMessageArea(base);

    if (c.result != 0) {
      EXPECT_TRUE(Snapshot(dir) == before) << "a refused write changed the area";
      continue;
    }
    // Every case runs, also after one failed.
    if (!OpenMessageArea(id, base)) {
      ADD_FAILURE() << "cannot open the area again";
      continue;
    }
    base->SeekFrom(c.highest + 1);
    EXPECT_TRUE(base->Found());
    EXPECT_EQ(base->MessageNumber(), c.highest + 1);
    if (base->Found()) {
      base->LoadHeader();
      EXPECT_EQ(base->Subject(), "the last one");
      EXPECT_FALSE(base->IsDeleted());
    }
    CloseMessageArea(base);
  }
}

}  // namespace
}  // namespace vm
