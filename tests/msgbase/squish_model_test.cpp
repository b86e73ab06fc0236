// A long random run of writes, deletes and header rewrites against a plain in-memory model of
// the area, with the base closed and reopened between steps: every message must read back
// exactly, both chains and the index must stay consistent, and freed frames must be reused
// whenever one fits.
#include <gtest/gtest.h>

#include <random>

#include "msgbase/squish/squish_base.h"
#include "squish_test_support.h"

namespace vm {
namespace {

using namespace squish_test;

struct ModelMessage {
  uint32_t uid;
  std::string to;
  std::string subject;
  std::string text;
  bool received;
};

class SquishModelRun {
 public:
  SquishModelRun(uint32_t seed, uint16_t maxMessages) : random_(seed), max_(maxMessages) {
    SquishBase base;
    base.SetAreaPath(dir_ / "AREA");
    EXPECT_EQ(base.Create(maxMessages, 0), 0);
  }

  void Run(int steps) {
    for (int step = 0; step < steps && !::testing::Test::HasFailure(); ++step) {
      SCOPED_TRACE("step " + std::to_string(step));
      SquishBase base;  // a fresh object each step: nothing survives but the files
      base.SetAreaPath(dir_ / "AREA");
      ASSERT_EQ(base.Open(), 0);
      int choice = Pick(0, 99);
      if (choice < 50 || model_.empty()) {
        Write(base);
      } else if (choice < 70) {
        Delete(base);
      } else if (choice < 85) {
        Rewrite(base);
      } else {
        // Several writes and a delete under one lock, as the queue runner does.
        ASSERT_TRUE(base.Lock());
        for (int i = Pick(1, 3); i > 0; --i) Write(base);
        Delete(base);
        ASSERT_TRUE(base.Unlock());
      }
      base.Close();
      ChainReport chains = CheckChains(dir_ / "AREA");
      ASSERT_EQ(chains.problem, "");
      ASSERT_EQ(chains.messages.size(), model_.size());
      if (step % 10 == 9) VerifyAll();
    }
    VerifyAll();
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  std::string RandomText() {
    int kind = Pick(0, 9);
    int size = kind < 4 ? Pick(0, 200) : kind < 8 ? Pick(0, 4000) : Pick(0, 40000);
    // Printable ASCII, CP866 letters, line ends and kludge marks; never a zero byte.
    std::string text(size, ' ');
    for (char& c : text) {
      uint32_t r = random_();
      uint32_t kind = r & 63;
      r >>= 8;
      c = kind == 0   ? '\r'
          : kind == 1 ? '\x01'
                      : static_cast<char>(kind < 48 ? 32 + r % 95 : 128 + r % 128);
    }
    return text;
  }

  std::string RandomName() {
    static const char* const kNames[] = {"John Doe", "ALL", "Sysop",
                                         "\x88\xA2\xA0\xAD \x8F\xA5\xE2\xE0\xAE\xA2",
                                         "A name that is longer than the thirty-five byte field"};
    return CutTo(kNames[Pick(0, 4)], 35);
  }

  void Write(SquishBase& base) {
    ModelMessage m{nextUid_, RandomName(), "subject " + std::to_string(nextUid_), RandomText(),
                   false};
    uint32_t needed = static_cast<uint32_t>(238 + m.text.size() + 1);
    ChainReport before = CheckChains(dir_ / "AREA");
    bool fits = false;
    for (uint32_t length : before.freeLengths) fits |= length > needed;
    auto sizeBefore = fs::file_size((dir_ / "AREA") + ".SQD");

    ASSERT_EQ(WriteSimpleMessage(base, m.to, m.text, m.subject), 0);
    ASSERT_EQ(base.MessageNumber(), static_cast<int32_t>(m.uid));
    ++nextUid_;
    model_.push_back(m);
    while (max_ > 0 && model_.size() > max_) model_.erase(model_.begin());
    if (fits) {
      ASSERT_EQ(fs::file_size((dir_ / "AREA") + ".SQD"), sizeBefore) << "a freed frame fitted";
    }
  }

  void Delete(SquishBase& base) {
    if (model_.empty()) return;
    size_t victim = static_cast<size_t>(Pick(0, static_cast<int>(model_.size()) - 1));
    base.SeekFrom(static_cast<int32_t>(model_[victim].uid));
    ASSERT_EQ(base.MessageNumber(), static_cast<int32_t>(model_[victim].uid));
    base.LoadHeader();
    base.DeleteMessage();
    ASSERT_EQ(base.Status(), 0);
    model_.erase(model_.begin() + static_cast<std::ptrdiff_t>(victim));
  }

  void Rewrite(SquishBase& base) {
    ModelMessage& m = model_[static_cast<size_t>(Pick(0, static_cast<int>(model_.size()) - 1))];
    base.SeekFrom(static_cast<int32_t>(m.uid));
    base.LoadHeader();
    m.received = !m.received;
    m.subject = "rewritten " + std::to_string(Pick(0, 1000000));
    base.SetReceived(m.received);
    base.SetSubject(m.subject);
    base.RewriteHeader();
    ASSERT_EQ(base.Status(), 0);
  }

  void VerifyAll() {
    SquishBase base;
    base.SetAreaPath(dir_ / "AREA");
    ASSERT_EQ(base.Open(), 0);
    ASSERT_EQ(base.ActiveCount(), static_cast<int32_t>(model_.size()));
    std::string sqi = ReadBytes((dir_ / "AREA") + ".SQI");
    size_t i = 0;
    for (base.SeekFrom(0); base.Found(); base.SeekNext(), ++i) {
      ASSERT_LT(i, model_.size());
      const ModelMessage& m = model_[i];
      ASSERT_EQ(base.MessageNumber(), static_cast<int32_t>(m.uid));
      base.LoadHeader();
      EXPECT_EQ(base.ToName(), m.to);
      EXPECT_EQ(base.Subject(), m.subject);
      EXPECT_EQ(base.IsReceived(), m.received);
      base.StartReading();
      std::string text;
      for (unsigned char c = base.NextChar(); !base.TextEnded(); c = base.NextChar())
        text += static_cast<char>(c);
      ASSERT_EQ(text, m.text) << "message " << m.uid;
      IndexRecord record =
          DecodeIndexRecord(reinterpret_cast<const uint8_t*>(sqi.data()) + i * kIndexRecordSize);
      EXPECT_EQ(record.hash, SquishHash(m.to) | (m.received ? kHashReceived : 0));
    }
    EXPECT_EQ(i, model_.size());
  }

  ScopedTempDir dir_;
  std::mt19937 random_;
  size_t max_;
  std::vector<ModelMessage> model_;
  uint32_t nextUid_ = 1;
};

TEST(SquishModel, RandomWritesDeletesAndRewritesWithoutLimit) {
  SquishModelRun run(20240314, 0);
  run.Run(400);
}

TEST(SquishModel, RandomRunWithTrimmingToTheMaximum) {
  SquishModelRun run(7, 12);
  run.Run(300);
}

}  // namespace
}  // namespace vm
