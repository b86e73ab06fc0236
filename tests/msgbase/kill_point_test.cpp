// Every point at which a change to a Squish, JAM, Hudson or *.MSG base can be cut short. The
// change runs in a child process that is killed on its way into its n-th file write, for
// n = 1, 2, ... until it runs to its end. After each kill the base must read, through our
// reader, as it was before the change or as it is after it, every message whole; opening it
// for writing, with nothing written after, must bring its count up to date; then the next
// write must succeed and leave a base whose count, chains and index agree. JAM bases are read
// by crashmail as well after each kill, when a crashmail built for JAM is at hand, and Hudson
// bases by the independent reader of the tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "msgbase/message_base.h"
#include "squish_test_support.h"
#include "support/child_process.h"
#include "support/crashmail_node.h"
#include "support/fidonet_packet.h"
#include "support/hudson_reference.h"
#include "support/platform_temp_dir.h"
#include "text/net_address.h"

namespace vm {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

const NetAddress kOurs{2, 5020, 9999, 0};
const NetAddress kUplink{2, 5020, 1, 0};
constexpr const char* kArea = "TEST.JAM";

// A message text that starts with its name and is size bytes long.
std::string Text(const std::string& name, size_t size = 40) {
  return name + std::string(size > name.size() ? size - name.size() : 0, '.');
}

uint16_t Write(MessageBase& base, const std::string& text) {
  base.StartNewMessage();
  base.SetMailKind(MailKind::Echomail);
  base.SetFromName("Sender");
  base.SetToName("All");
  base.SetDateText("03-14-24");
  base.SetTimeText("15:09");
  base.SetOrigAddress(kOurs);
  base.SetLocal(true);
  base.PutLine(text);
  base.SetSubject("kill point");
  return base.WriteMessage();
}

void Delete(MessageBase& base, int32_t number) {
  base.SeekFrom(number);
  base.LoadHeader();
  base.DeleteMessage();
}

// The texts of the messages that are not deleted, in order, without their line end.
Texts ReadTexts(MessageBase& base) {
  Texts texts;
  for (base.SeekFrom(0); base.Found(); base.SeekNext()) {
    base.LoadHeader();
    base.StartReading();
    std::string text;
    for (unsigned char ch = base.NextChar(); !base.TextEnded(); ch = base.NextChar())
      text += static_cast<char>(ch);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    if (!base.IsDeleted()) texts.push_back(text);
  }
  return texts;
}

Texts Appended(Texts texts, const std::string& text, uint16_t maxMessages) {
  texts.push_back(text);
  if (maxMessages > 0 && texts.size() > maxMessages)
    texts.erase(texts.begin(), texts.end() - maxMessages);
  return texts;
}

struct KillCase {
  const char* name;
  char variant;  // 'S' Squish, 'J' JAM, 'H' Hudson (board 1), 'F' *.MSG
  uint16_t maxMessages;
  Texts setup;                 // written first, numbered from 1
  std::vector<int32_t> freed;  // of them, deleted again before the change
  int32_t deleted;             // the change: deleting this message, or (0) writing `written`
  std::string written;
  int changes;  // file writes the change makes: its kill points
};

// Each case's base starts in a directory of its own; a JAM base sits where crashmail, when
// there is one, has its area.
class KillPointRun {
 public:
  explicit KillPointRun(const KillCase& c) : killCase_(c) {
    if (c.variant == 'J' && !JamCrashmail().empty()) {
      CrashmailSetup setup;
      setup.binary = JamCrashmail();
      setup.aka = kOurs;
      setup.uplink = kUplink;
      setup.areas = {TosserArea{kArea, "JAM", "jam/test", true}};
      crashmail_ = std::make_unique<CrashmailNode>(setup);
      path_ = crashmail_->dir() / "jam/test";
    } else {
      path_ = dir_ / "base/AREA";
    }
    // The starting base is made once and copied for every kill point.
    MessageBaseHandle base = Open();
    for (const std::string& text : c.setup) EXPECT_EQ(Write(*base, text), 0);
    for (int32_t number : c.freed) Delete(*base, number);
    before_ = ReadTexts(*base);
    CloseMessageArea(base);
    fs::copy(fs::path(path_).parent_path(), dir_ / "start", fs::copy_options::recursive);
  }

  void Run() {
    Texts after = before_;
    std::vector<Texts> states{before_};
    if (killCase_.deleted > 0) {
      after.erase(std::find(after.begin(), after.end(),
                            killCase_.setup[static_cast<size_t>(killCase_.deleted - 1)]));
    } else {
      states.push_back(Appended(before_, killCase_.written, 0));  // written, not yet trimmed
      after = Appended(before_, killCase_.written, killCase_.maxMessages);
    }
    states.push_back(after);

    int killed = 0;
    for (int change = 1;; ++change) {
      SCOPED_TRACE("killed at change " + std::to_string(change));
      Restore();
      test::KillOutcome outcome = test::InChildKilledAtChange([&] { Change(); }, change);
      if (outcome == test::KillOutcome::kNotTraced)
        GTEST_SKIP() << "this host does not let a test trace its child";
      if (outcome == test::KillOutcome::kFinished) break;
      ++killed;
      Texts found = CheckReadable(states);
      if (crashmail_) CheckCrashmailReads(found);
      if (killCase_.variant == 'H') CheckReferenceReads(found);
      CheckOpeningToWriteMends(found);
      CheckNextWriteMends(states);
    }
    EXPECT_EQ(killed, killCase_.changes);
    // Run to its end, the change leaves the base as it should be.
    MessageBaseHandle base = Open();
    EXPECT_EQ(ReadTexts(*base), after);
    EXPECT_EQ(base->ActiveCount(), static_cast<int32_t>(after.size()));
    CloseMessageArea(base);
  }

 private:
  std::string AreaId() const {
    if (killCase_.variant == 'H') return "H001" + fs::path(path_).parent_path().string();
    return std::string(1, killCase_.variant) + path_;
  }

  // Opened to be written to: the base is mended first.
  MessageBaseHandle Open() {
    MessageBaseHandle base;
    std::string id = AreaId();
    if (killCase_.variant == 'S' && !fs::exists(path_ + ".SQD")) {
      squish_test::SquishImage image;
      image.header.maxMsg = killCase_.maxMessages;
      fs::create_directories(fs::path(path_).parent_path());
      image.Save(path_);
    }
    EXPECT_TRUE(OpenOrCreateMessageArea(id, base));
    return base;
  }

  // Opened to be read, as it is.
  MessageBaseHandle OpenToRead() {
    MessageBaseHandle base;
    EXPECT_TRUE(OpenMessageArea(AreaId(), base));
    return base;
  }

  void Restore() {
    fs::path dir = fs::path(path_).parent_path();
    fs::remove_all(dir);
    fs::copy(dir_ / "start", dir, fs::copy_options::recursive);
  }

  void Change() {
    MessageBaseHandle base = Open();
    if (killCase_.deleted > 0) {
      Delete(*base, killCase_.deleted);
    } else {
      Write(*base, killCase_.written);
    }
    CloseMessageArea(base);
  }

  // Right after the kill: the messages are those before the change or after it, each whole.
  Texts CheckReadable(const std::vector<Texts>& states) {
    MessageBaseHandle base = OpenToRead();
    if (!base) return {};
    Texts found = ReadTexts(*base);
    EXPECT_NE(std::find(states.begin(), states.end(), found), states.end());
    int32_t count = base->ActiveCount();
    EXPECT_TRUE(std::any_of(states.begin(), states.end(), [&](const Texts& s) {
      return static_cast<int32_t>(s.size()) == count;
    })) << count;
    CloseMessageArea(base);
    return found;
  }

  // crashmail, rescanning the area, sends exactly the messages our reader finds.
  void CheckCrashmailReads(const Texts& found) {
    ASSERT_EQ(crashmail_->Run({"RESCAN", kArea, "RESCANNODE", FormatNetAddress(kUplink)}), 0)
        << crashmail_->Diagnostics();
    Texts sent;
    for (const PacketMessage& message : crashmail_->TakeExported()) {
      Texts lines = TextLines(message.body);
      sent.push_back(lines.empty() ? std::string() : lines.front());
    }
    EXPECT_EQ(sent, found) << crashmail_->Diagnostics();
  }

  // The independent reader walks the headers and finds the same messages as ours.
  void CheckReferenceReads(const Texts& found) {
    Texts theirs;
    try {
      for (const test::HudsonMessage& m :
           test::ReadHudsonMessages(fs::path(path_).parent_path().string())) {
        if (m.msgNum == 0xFFFF || (m.msgAttr & 0x01)) continue;
        std::string text = m.text;
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
        theirs.push_back(text);
      }
    } catch (const std::exception& e) {
      ADD_FAILURE() << "the reference reader failed: " << e.what();
    }
    EXPECT_EQ(theirs, found);
  }

  // Opening the base to write to it, and writing nothing, leaves the count right.
  void CheckOpeningToWriteMends(const Texts& found) {
    MessageBaseHandle base = Open();
    CloseMessageArea(base);
    base = OpenToRead();
    if (!base) return;
    EXPECT_EQ(ReadTexts(*base), found);
    EXPECT_EQ(base->ActiveCount(), static_cast<int32_t>(found.size()));
    CloseMessageArea(base);
  }

  // The next write finishes or undoes what the kill left: everything agrees again.
  void CheckNextWriteMends(const std::vector<Texts>& states) {
    MessageBaseHandle base = Open();
    ASSERT_EQ(Write(*base, "next"), 0);
    Texts found = ReadTexts(*base);
    EXPECT_TRUE(std::any_of(states.begin(), states.end(), [&](const Texts& s) {
      return Appended(s, "next", killCase_.maxMessages) == found;
    }));
    EXPECT_EQ(base->ActiveCount(), static_cast<int32_t>(found.size()));
    CloseMessageArea(base);
    if (killCase_.variant == 'S') {
      EXPECT_EQ(squish_test::CheckChains(path_).problem, "");
    }
  }

  const KillCase& killCase_;
  ScopedTempDir dir_;
  std::unique_ptr<CrashmailNode> crashmail_;
  std::string path_;
  Texts before_;
};

TEST(KillPoints, EveryCutShortChangeLeavesABaseThatReadsAndMends) {
  const std::string a = Text("a"), b = Text("b"), c = Text("c"), d = Text("d"), e = Text("e");
  const std::string big = Text("big", 2000), mid = Text("mid", 600), huge = Text("huge", 3000);
  const KillCase cases[] = {
      {"Squish: delete the first", 'S', 0, {a, b, c, d}, {}, 1, "", 6},
      {"Squish: delete one in the middle, with a free chain",
       'S',
       0,
       {a, big, c, d},
       {2},
       3,
       "",
       8},
      {"Squish: delete the last", 'S', 0, {a, b, c}, {}, 3, "", 5},
      {"Squish: delete the only message", 'S', 0, {a}, {}, 1, "", 4},
      {"Squish: write at the end", 'S', 0, {a, b}, {}, 0, Text("new"), 6},
      {"Squish: write into a free frame inside the free chain",
       'S',
       0,
       {a, big, b, mid, c, huge, d},
       {2, 4, 6},
       0,
       Text("new", 300),
       8},
      {"Squish: write that trims the oldest", 'S', 3, {a, b, c}, {}, 0, Text("new"), 12},
      {"JAM: delete", 'J', 0, {a, b, c}, {}, 2, "", 2},
      {"JAM: write", 'J', 0, {a, b}, {}, 0, Text("new"), 5},
      {"Hudson: delete", 'H', 0, {a, b, c}, {}, 2, "", 4},
      {"Hudson: delete the last", 'H', 0, {a, b, c}, {}, 3, "", 4},
      {"Hudson: write", 'H', 0, {a, b}, {}, 0, Text("new"), 7},
      {"Hudson: write a long text after a deleted message", 'H', 0, {a, b}, {1}, 0, huge, 7},
      {"*.MSG: delete", 'F', 0, {a, b, c}, {}, 2, "", 1},
      {"*.MSG: write", 'F', 0, {a, b}, {}, 0, Text("new"), 2},
  };
  for (const KillCase& c : cases) {
    SCOPED_TRACE(c.name);
    KillPointRun(c).Run();
    if (::testing::Test::IsSkipped()) return;
  }
}

}  // namespace
}  // namespace vm
