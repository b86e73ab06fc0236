// A Fido message directory: one file per message, n.MSG, each a 190-byte header followed by
// the text up to the first zero byte. Zones and points are not in the header; they travel in
// the INTL, FMPT and TOPT kludges of netmail texts.
//
// Reading loads the whole message file at LoadHeader (one read, the file then kept open until
// the next message), scans it for the address kludges in memory when an address is asked for
// and serves the text from memory; TextPosition is the byte offset in the
// file (190 for the first text byte). A new message is composed in memory; WriteMessage writes
// it whole into a file without a name (or, where the file system has no such files, with a
// temporary one) and then names that file with the next free number.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "msgbase/fido/fido_kludges.h"
#include "msgbase/fido/message_read_ahead.h"
#include "msgbase/fido/msg_numbering.h"
#include "msgbase/message_base.h"
#include "platform/change_watch.h"
#include "platform/file.h"
#include "platform/host_directory.h"

namespace vm {

class FidoMsgBase : public MessageBase {
 public:
  // LoadHeader: the message's file does not exist, or cannot be opened.
  static constexpr uint16_t kStatusMissing = 200;
  static constexpr uint16_t kStatusUnreadable = 1000;
  // WriteMessage (StartNewMessage when the area is not open): no temporary name could be made,
  // or the file not created.
  static constexpr uint16_t kStatusNoTempName = 1001;
  static constexpr uint16_t kStatusTempNotCreated = 1002;
  // Open: the directory does not exist. (A directory that cannot be read gives its I/O code.)
  static constexpr uint16_t kOpenMissingDirectory = 500;
  // WriteMessage: every number up to 31999 is taken, or the message file could not be written.
  static constexpr uint16_t kWriteAreaFull = 1003;
  static constexpr uint16_t kWriteFailed = 1004;

  FidoMsgBase();
  ~FidoMsgBase() override;

  // The zone both addresses get on reading when neither an INTL kludge nor the MSGID's origin
  // says otherwise (1 at first).
  void SetDefaultZone(uint16_t zone) override { defaultZone_ = zone; }

  void SetAreaPath(std::string_view locator) override;
  uint16_t Open() override;
  uint16_t Close() override;
  uint16_t Create(uint16_t maxMessages, uint16_t daysToKeep) override;
  bool Exists() override;

  void SetDestAddress(const NetAddress& address) override;
  void SetOrigAddress(const NetAddress& address) override;
  void SetFromName(std::string_view name) override;
  void SetToName(std::string_view name) override;
  void SetSubject(std::string_view subject) override;
  void SetCost(uint16_t cost) override;
  void SetReplyTo(int32_t number) override;
  void SetSeeAlso(int32_t number) override;
  void SetDateText(std::string_view mmddyy) override;
  void SetTimeText(std::string_view hhmm) override;
  void PutText(std::string_view text) override;
  void PutChar(unsigned char c) override;
  uint16_t WriteMessage() override;

  std::string_view NextLineView(uint16_t maxLength) override;

  std::string FromName() override;
  std::string ToName() override;
  std::string Subject() override;
  uint16_t Cost() override;
  std::string DateText() override { return dateText_; }
  std::string TimeText() override { return timeText_; }
  int32_t ReplyTo() override;
  int32_t SeeAlso() override;
  int32_t MessageNumber() override { return current_; }
  void GetOrigAddress(NetAddress& address) override;
  void GetDestAddress(NetAddress& address) override;
  bool IsDeleted() override;
  // *.MSG files are written without a lock: a file that changed since it was read, or that
  // was written within the last second, may have been read half-written.
  bool MessageSettled() override;
  bool IsEchoed() override { return true; }
  std::string DamagedMessageFile() override;

  int32_t Location() override { return current_; }
  void SetLocation(int32_t location) override { current_ = location; }
  void LoadHeader() override;
  void StartReading() override;
  void StartNewMessage() override;
  void SeekFrom(int32_t number) override;
  void SeekNext() override;
  void SeekPrevious() override;
  void WillLoad(std::span<const int32_t> numbers) override;
  bool Found() override { return current_ != 0; }
  int32_t HighNumber() override { return numbering_.Highest(); }
  void SetMailKind(MailKind kind) override { kind_ = kind; }
  void RewriteHeader() override {}
  void DeleteMessage() override;
  int32_t ActiveCount() override { return numbering_.Count(); }
  int32_t GetLastRead(uint32_t user) override;
  void SetLastRead(uint32_t user, int32_t number) override;

 private:
  static constexpr size_t kHeaderSize = 190;

  std::string OwnStatusReason(uint16_t code) const override;
  void SetAttributeBit(uint16_t bit, bool on) override;
  bool HasAttributeBit(uint16_t bit) override;
  std::string HeaderText(size_t offset, size_t width) const;
  void PutHeaderText(size_t offset, size_t width, std::string_view text);
  uint16_t HeaderWord(size_t offset) const;
  void PutHeaderWord(size_t offset, uint16_t value);
  void WriteDateField();
  // Appends a kludge line, first ending an unfinished text line.
  void PutAddressKludge(std::string_view kludge);
  // The host path of message n: its real name when known, else "n.msg" as found on disk.
  std::string MessagePath(int32_t number) const;
  // Applies the address kludges of the loaded text to the addresses, once per message.
  void ScanKludges();
  void ReadKludgeLines(AddressKludges& found) const;
  void CloseMessageFile();
  void DiscardPending();
  // A file with a fresh temporary name, held by this run; false with the status set.
  bool CreateTemporary();
  // Moves the composed message to a free number; 0 or a code.
  uint16_t FileNewMessage();
  void OpenDirectory();
  void WatchDirectory();
  // Numbers other programs wrote since the last message, from the directory's watch; false
  // when it cannot tell.
  bool LearnNamesMadeByOthers();

  std::string programDir_;  // with a trailing backslash
  std::string hostDir_;     // resolved at Open, with a trailing slash
  MsgNumbering numbering_;
  int32_t current_ = 0;
  std::string damagedFile_;  // DamagedMessageFile of the loaded message
  uint16_t defaultZone_ = 1;
  MailKind kind_ = MailKind::Local;

  // The current message: its header bytes, the address fields (header plus kludges, whether
  // the kludges were applied yet), the date and time texts, the whole file as read and where its
  // text ends (first zero byte), and the open file with its number.
  std::array<unsigned char, kHeaderSize> header_{};
  NetAddress orig_;
  NetAddress dest_;
  bool kludgesScanned_ = true;
  std::string dateText_;
  std::string timeText_;
  std::unique_ptr<char[]> fileBuffer_;
  size_t fileSize_ = 0;
  size_t textEnd_ = 0;
  File messageFile_;
  FileState loadedState_;  // of messageFile_ when it was read
  int32_t loadedNumber_ = 0;

  MessageReadAhead readAhead_;
  ReadAheadPolicy readAheadPolicy_{readAhead_, numbering_,
                                   [this](int32_t number) { return MessagePath(number); }};

  // A new message being composed (pending_): its text, and, while WriteMessage files it, the
  // file it is written to with its temporary name (empty for an unnamed file).
  std::string newText_;
  HostDirectory directory_;     // the area's directory, held open while messages are written
  ChangeWatch directoryWatch_;  // on directory_, for the names other programs make in it
  File tempFile_;
  std::string tempPath_;
  bool pending_ = false;
};

}  // namespace vm
