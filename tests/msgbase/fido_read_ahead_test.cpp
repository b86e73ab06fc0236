// Reading *.MSG files ahead on a second thread: the reader sees exactly what it would have
// read itself, in order or in the order announced, and never a file as it was before a
// change.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "fido_message_file.h"
#include "msgbase/fido/fido_msg_base.h"
#include "msgbase/message_base.h"
#include "support/platform_temp_dir.h"

namespace vm {
namespace {

using fidotest::MsgFile;

class FidoReadAhead : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.MakeDirectory("area");
    for (int n = 1; n <= kMessages; ++n) Put(n, Subject(n, "first"));
    ASSERT_TRUE(OpenMessageArea("F" + dir.path() + "/area", base));
  }
  static std::string Subject(int n, const std::string& version) {
    return "message " + std::to_string(n) + " " + version;
  }
  void Put(int n, const std::string& subject) {
    MsgFile file;
    file.subject = subject;
    file.text = "line of " + subject + "\r" + std::string(n * 37 % 3000, 'x') + '\0';
    dir.WriteFile("area/" + std::to_string(n) + ".msg", file.Bytes());
  }
  // The subject of message n as loaded, or "(missing)".
  std::string Load(int n) {
    base->SeekFrom(n);
    if (base->MessageNumber() != n) return "(not found)";
    base->LoadHeader();
    base->StartReading();
    if (dynamic_cast<FidoMsgBase&>(*base).Status() != 0) return "(missing)";
    const std::string subject = base->Subject();
    EXPECT_EQ(base->NextLine(255), "line of " + subject);
    return subject;
  }

  static constexpr int kMessages = 200;
  ScopedTempDir dir;
  MessageBaseHandle base;
};

TEST_F(FidoReadAhead, InOrderAndInAnnouncedOrderEveryMessageIsItself) {
  for (int n = 1; n <= kMessages; ++n) ASSERT_EQ(Load(n), Subject(n, "first"));

  // Announced with repeats (several sections in one message), then loaded with a detour to
  // a message that was not announced.
  std::vector<int32_t> order;
  for (int n = kMessages; n >= 1; n -= 3) order.insert(order.end(), {n, n});
  base->WillLoad(order);
  for (size_t i = 0; i < order.size(); ++i) {
    ASSERT_EQ(Load(order[i]), Subject(order[i], "first"));
    if (i == 10) {
      ASSERT_EQ(Load(2), Subject(2, "first"));
    }
  }
  // Back to the start and in order again.
  for (int n = 1; n <= 50; ++n) ASSERT_EQ(Load(n), Subject(n, "first"));
}

TEST_F(FidoReadAhead, AFileChangedOrGoneAfterItWasReadAheadIsReadAgain) {
  ASSERT_EQ(Load(1), Subject(1, "first"));
  ASSERT_EQ(Load(2), Subject(2, "first"));  // in order: the next ones are read ahead
  // Let the reading ahead get well past the messages changed below.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  // Rewritten in place with the same length, replaced by a new file, deleted.
  Put(3, Subject(3, "2nd  "));
  std::filesystem::remove(dir.path() + "/area/4.msg");
  Put(4, Subject(4, "again"));
  std::filesystem::remove(dir.path() + "/area/5.msg");
  EXPECT_EQ(Load(3), Subject(3, "2nd  "));
  EXPECT_EQ(Load(4), Subject(4, "again"));
  EXPECT_EQ(Load(5), "(missing)");
  EXPECT_EQ(Load(6), Subject(6, "first"));
}

TEST_F(FidoReadAhead, OwnDeletesAndWritesAreSeen) {
  ASSERT_EQ(Load(1), Subject(1, "first"));
  ASSERT_EQ(Load(2), Subject(2, "first"));
  base->SeekFrom(3);
  base->LoadHeader();
  base->DeleteMessage();
  base->SeekFrom(3);
  EXPECT_EQ(base->MessageNumber(), 4);
  EXPECT_EQ(Load(4), Subject(4, "first"));
}

}  // namespace
}  // namespace vm
