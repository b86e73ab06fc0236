// An in-memory message area for decoding tests: a list of messages with header fields and
// text, read through the default text reader.
#pragma once

#include <string>
#include <vector>

#include "msgbase/message_base.h"

namespace vm {

struct MemoryMessage {
  int32_t number = 0;
  std::string from = "Sysop";
  std::string to = "All";
  std::string subject = "files";
  std::string date = "01-15-26";
  std::string time = "12:00";
  NetAddress orig{2, 5020, 1, 0};
  NetAddress dest{};
  bool sent = false;
  bool deleted = false;
  std::string damagedFile;  // what DamagedMessageFile tells
  std::string text;         // lines end in CR
};

class MemoryBase : public MessageBase {
 public:
  std::vector<MemoryMessage> messages;
  std::vector<int32_t> deletedNumbers;  // DeleteMessage calls, in order
  int startReadingCalls = 0;

  // Appends a message numbered after the last one; lines are joined with CR.
  MemoryMessage& Add(const std::vector<std::string>& lines) {
    MemoryMessage m;
    m.number = messages.empty() ? 1 : messages.back().number + 1;
    for (const std::string& line : lines) m.text += line + "\r";
    messages.push_back(m);
    return messages.back();
  }

  void SetAreaPath(std::string_view) override {}
  uint16_t Open() override { return 0; }
  uint16_t Close() override { return 0; }
  uint16_t Create(uint16_t, uint16_t) override { return 0; }
  bool Exists() override { return true; }

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
  void SetLocal(bool) override {}
  void SetReceived(bool) override {}
  void SetPrivate(bool) override {}
  void SetCrash(bool) override {}
  void SetKillSent(bool) override {}
  void SetSent(bool) override {}
  void SetFileAttached(bool) override {}
  void SetReceiptRequested(bool) override {}
  void SetAuditRequested(bool) override {}
  void SetIsReceipt(bool) override {}
  void SetFileRequest(bool) override {}
  void PutText(std::string_view) override {}
  void PutChar(unsigned char) override {}
  uint16_t WriteMessage() override { return 0; }

  std::string FromName() override { return Current().from; }
  std::string ToName() override { return Current().to; }
  std::string Subject() override { return Current().subject; }
  uint16_t Cost() override { return 0; }
  std::string DateText() override { return Current().date; }
  std::string TimeText() override { return Current().time; }
  int32_t ReplyTo() override { return 0; }
  int32_t SeeAlso() override { return 0; }
  int32_t MessageNumber() override { return Current().number; }
  void GetOrigAddress(NetAddress& a) override { a = Current().orig; }
  void GetDestAddress(NetAddress& a) override { a = Current().dest; }
  bool IsLocal() override { return false; }
  bool IsCrash() override { return false; }
  bool IsKillSent() override { return false; }
  bool IsSent() override { return Current().sent; }
  bool IsFileAttached() override { return false; }
  bool IsReceiptRequested() override { return false; }
  bool IsAuditRequested() override { return false; }
  bool IsReceipt() override { return false; }
  bool IsFileRequest() override { return false; }
  bool IsReceived() override { return false; }
  bool IsPrivate() override { return false; }
  bool IsDeleted() override { return Current().deleted; }
  bool IsEchoed() override { return false; }
  std::string DamagedMessageFile() override { return Current().damagedFile; }

  int32_t Location() override { return static_cast<int32_t>(current_); }
  void SetLocation(int32_t) override {}
  void LoadHeader() override {}
  // Text positions count from 190 as in *.MSG files, so that 0 is never a valid position.
  void StartReading() override {
    ++startReadingCalls;
    SetTextWindow(Current().text, 190);
  }
  void StartNewMessage() override {}
  void SeekFrom(int32_t number) override {
    current_ = messages.size();
    for (size_t i = 0; i < messages.size(); ++i)
      if (messages[i].number >= number) {
        current_ = i;
        break;
      }
  }
  void SeekNext() override {
    if (current_ < messages.size()) ++current_;
  }
  void SeekPrevious() override { current_ = current_ == 0 ? messages.size() : current_ - 1; }
  bool Found() override { return current_ < messages.size(); }
  int32_t HighNumber() override { return messages.empty() ? 0 : messages.back().number; }
  void SetMailKind(MailKind) override {}
  void RewriteHeader() override {}
  void DeleteMessage() override {
    deletedNumbers.push_back(Current().number);
    Current().deleted = true;
  }
  int32_t ActiveCount() override { return static_cast<int32_t>(messages.size()); }
  int32_t GetLastRead(uint32_t) override { return 0; }
  void SetLastRead(uint32_t, int32_t) override {}

 private:
  MemoryMessage& Current() { return current_ < messages.size() ? messages[current_] : none_; }
  size_t current_ = 0;
  MemoryMessage none_;
};

}  // namespace vm
