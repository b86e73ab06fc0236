// Helpers for the JAM tests: a base in a scratch directory, a message writer in the order the
// posting code uses, a reader of a message's lines, and byte patches of the base files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "msgbase/message_base.h"
#include "support/platform_temp_dir.h"
#include "text/little_endian.h"

namespace vm::jamtest {

struct Draft {
  MailKind kind = MailKind::Echomail;
  std::string from = "John Doe";
  std::string to = "All";
  std::string subject = "Test";
  NetAddress orig{2, 5020, 9999, 0};
  NetAddress dest{};
  std::vector<std::string> kludges;  // with the leading 0x01
  std::string text = "Hello\r";
  std::string date;  // "MM-DD-YY" and "HH:MM" when set; else the moment of StartNewMessage
  std::string time;
};

inline uint16_t Post(MessageBase& base, const Draft& draft) {
  base.StartNewMessage();
  base.SetMailKind(draft.kind);
  base.SetFromName(draft.from);
  base.SetToName(draft.to);
  if (!draft.date.empty()) base.SetDateText(draft.date);
  if (!draft.time.empty()) base.SetTimeText(draft.time);
  base.SetOrigAddress(draft.orig);
  base.SetDestAddress(draft.dest);
  base.SetLocal(true);
  base.PutText(draft.text);
  base.SetSubject(draft.subject);
  for (const std::string& kludge : draft.kludges) base.PutKludge(kludge);
  return base.WriteMessage();
}

// Every line of the current message (header loaded, text read from the start).
inline std::vector<std::string> Lines(MessageBase& base, uint16_t width = 255) {
  base.LoadHeader();
  base.StartReading();
  std::vector<std::string> lines;
  while (!base.TextEnded()) {
    std::string line = base.NextLine(width);
    if (base.TextEnded() && line.empty()) break;
    lines.push_back(line);
  }
  return lines;
}

inline std::vector<int32_t> Numbers(MessageBase& base) {
  std::vector<int32_t> numbers;
  for (base.SeekFrom(0); base.Found(); base.SeekNext()) {
    base.LoadHeader();
    numbers.push_back(base.MessageNumber());
  }
  return numbers;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void PatchLe32(const std::string& path, size_t offset, uint32_t value) {
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(static_cast<std::streamoff>(offset));
  for (int i = 0; i < 4; ++i) file.put(static_cast<char>(value >> (8 * i) & 0xFF));
}

// A created, open base named TEST in a scratch directory.
class JamFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenOrCreateMessageArea(AreaId(), base_));
    ASSERT_NE(base_, nullptr);
  }
  void TearDown() override { CloseMessageArea(base_); }

  std::string BasePath() const { return dir_ / "TEST"; }
  std::string AreaId() const { return "J" + BasePath(); }
  std::string FilePath(const char* extension) const { return BasePath() + extension; }

  ScopedTempDir dir_;
  MessageBaseHandle base_;
};

}  // namespace vm::jamtest
