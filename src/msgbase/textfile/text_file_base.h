// One plain text file presented as a base holding one message, number 1, without header
// fields. Reading streams the file through a buffer (files may be hundreds of megabytes);
// NextLine returns the file's lines without their ends (CR LF, LF or a lone CR). A line
// longer than the maximum length comes in pieces of that length: each piece but the last
// sets LineWasWrapped, and the next call continues with the byte that did not fit, so no
// byte is lost. TextPosition is the byte offset in the file. Writing appends lines ended by a
// single carriage return.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "msgbase/message_base.h"
#include "platform/file.h"

namespace vm {

class TextFileBase : public MessageBase {
 public:
  static constexpr uint16_t kOpenFailed = 100;
  // WriteMessage: the text could not be written, or no file was open for writing.
  static constexpr uint16_t kWriteFailed = 101;
  static constexpr uint16_t kNotOpenForWriting = 103;

  TextFileBase();
  ~TextFileBase() override;

  void SetAreaPath(std::string_view locator) override;
  uint16_t Open() override;
  uint16_t Close() override;
  uint16_t Create(uint16_t maxMessages, uint16_t daysToKeep) override;
  bool Exists() override;

  // A text file has no header: the setters change nothing.
  void SetDestAddress(const NetAddress&) override {}
  void SetOrigAddress(const NetAddress&) override {}
  void SetFromName(std::string_view) override {}
  void SetToName(std::string_view) override {}
  void SetSubject(std::string_view) override {}
  void SetCost(uint16_t) override {}
  void SetReplyTo(int32_t) override {}
  void SetSeeAlso(int32_t) override {}
  void SetDateText(std::string_view) override {}
  void SetTimeText(std::string_view) override {}
  void PutText(std::string_view text) override;
  void PutChar(unsigned char c) override;
  uint16_t WriteMessage() override;

  unsigned char NextChar() override;
  bool TextEnded() const override;
  std::string_view NextLineView(uint16_t maxLength) override;

  std::string FromName() override { return {}; }
  std::string ToName() override { return {}; }
  std::string Subject() override { return {}; }
  uint16_t Cost() override { return 0; }
  std::string DateText() override { return {}; }
  std::string TimeText() override { return {}; }
  int32_t ReplyTo() override { return 0; }
  int32_t SeeAlso() override { return 0; }
  int32_t MessageNumber() override { return 1; }
  void GetOrigAddress(NetAddress& address) override { address = {}; }
  void GetDestAddress(NetAddress& address) override { address = {}; }
  bool IsDeleted() override { return false; }
  bool IsEchoed() override { return false; }

  int32_t Location() override { return TextPosition(); }
  void SetLocation(int32_t location) override { SetTextPosition(location); }
  void LoadHeader() override {}
  void StartReading() override {}
  void StartNewMessage() override;
  void SeekFrom(int32_t) override {}
  void SeekNext() override {}
  void SeekPrevious() override {}
  bool Found() override { return !TextEnded(); }
  int32_t HighNumber() override { return 1; }
  void SetMailKind(MailKind) override {}
  void RewriteHeader() override {}
  void DeleteMessage() override {}
  // The size of the file in bytes, as taken at Open.
  int32_t ActiveCount() override;
  int32_t GetLastRead(uint32_t) override { return 0; }
  void SetLastRead(uint32_t, int32_t) override {}
  int32_t TextPosition() override;
  void SetTextPosition(int32_t position) override;

 private:
  // Makes the buffer hold the bytes at the reading point; false at the end of the file (as
  // its size was at Open) or when the read fails.
  bool FillBuffer();
  // Consumes one line end at the reading point (CR LF, LF or CR); false when none is there.
  bool SkipLineEnd();
  bool FlushOutput();
  // The file counts as a local message; setting flags changes nothing.
  bool HasAttributeBit(uint16_t bit) override { return bit == attr::kLocal; }

  std::string path_;
  File input_;
  int64_t size_ = 0;
  std::vector<char> buffer_;
  int64_t bufferStart_ = 0;  // file offset of buffer_[0]
  size_t bufferLength_ = 0;
  size_t bufferPos_ = 0;
  bool readFailed_ = false;
  std::string line_;  // a line that could not be shown in the buffer

  File output_;
  std::string pendingOutput_;
  bool outputFailed_ = false;
  bool created_ = false;
};

}  // namespace vm
