// One message area with one current message, over five storage variants (Fido *.MSG
// directories, Squish, Hudson, JAM, a plain text file). The rest of the program sees only this
// interface and the factory functions below.
//
// Texts are CP866 byte strings of at most 255 bytes; fields that a format stores narrower are
// cut to that width on writing. Reading never fails loudly: a failed read yields empty or zero
// fields and ends the text. Codes are 16-bit, 0 meaning success.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "text/net_address.h"

namespace vm {

// The kind of area being written, which decides netmail kludges and attribute bits.
enum class MailKind : uint8_t { Local = 0, Echomail = 1, Netmail = 2 };

// Bits of the 16-bit FidoNet stored-message attribute word, shared by every variant's model.
namespace attr {
inline constexpr uint16_t kPrivate = 0x0001;
inline constexpr uint16_t kCrash = 0x0002;
inline constexpr uint16_t kReceived = 0x0004;
inline constexpr uint16_t kSent = 0x0008;
inline constexpr uint16_t kFileAttached = 0x0010;
inline constexpr uint16_t kKillSent = 0x0080;
inline constexpr uint16_t kLocal = 0x0100;
inline constexpr uint16_t kFileRequest = 0x0800;
inline constexpr uint16_t kReceiptRequested = 0x1000;
inline constexpr uint16_t kIsReceipt = 0x2000;
inline constexpr uint16_t kAuditRequested = 0x4000;
}  // namespace attr

class MessageBase {
 public:
  virtual ~MessageBase() = default;

  // --- Opening and locking -------------------------------------------------------------
  virtual void SetAreaPath(std::string_view locator) = 0;
  virtual uint16_t Open() = 0;
  virtual uint16_t Close() = 0;
  virtual uint16_t Create(uint16_t maxMessages, uint16_t daysToKeep) = 0;
  virtual bool Exists() = 0;
  virtual bool Lock() { return true; }
  virtual bool Unlock() { return true; }
  // For a caller that may change the area: under the lock, finishes or undoes what a process
  // killed in the middle of a change left, and brings stale counts up to date, even when the
  // caller then writes nothing. 0 when the area can be written to; otherwise the code, also in
  // the status word, of why it cannot (a damaged base, a lock held elsewhere).
  virtual uint16_t Mend() { return 0; }
  // The outcome of the last operation that records one: 0, a DOS-style I/O code
  // (platform/io_result.h) or one of the variant's own codes.
  uint16_t Status() const { return status_; }
  // Why that operation failed, as a short CP866 text; empty when Status is 0.
  std::string StatusReason() const;

  // --- Filling in a new message (nothing reaches the disk before WriteMessage) -----------
  virtual void SetDestAddress(const NetAddress& address) = 0;
  virtual void SetOrigAddress(const NetAddress& address) = 0;
  virtual void SetFromName(std::string_view name) = 0;
  virtual void SetToName(std::string_view name) = 0;
  virtual void SetSubject(std::string_view subject) = 0;
  virtual void SetCost(uint16_t cost) = 0;
  virtual void SetReplyTo(int32_t number) = 0;
  virtual void SetSeeAlso(int32_t number) = 0;
  virtual void SetDateText(std::string_view mmddyy) = 0;
  virtual void SetTimeText(std::string_view hhmm) = 0;
  // The attribute flags; variants keep them through SetAttributeBit and HasAttributeBit.
  virtual void SetLocal(bool on) { SetAttributeBit(attr::kLocal, on); }
  virtual void SetReceived(bool on) { SetAttributeBit(attr::kReceived, on); }
  virtual void SetPrivate(bool on) { SetAttributeBit(attr::kPrivate, on); }
  virtual void SetCrash(bool on) { SetAttributeBit(attr::kCrash, on); }
  virtual void SetKillSent(bool on) { SetAttributeBit(attr::kKillSent, on); }
  virtual void SetSent(bool on) { SetAttributeBit(attr::kSent, on); }
  virtual void SetFileAttached(bool on) { SetAttributeBit(attr::kFileAttached, on); }
  virtual void SetReceiptRequested(bool on) { SetAttributeBit(attr::kReceiptRequested, on); }
  virtual void SetAuditRequested(bool on) { SetAttributeBit(attr::kAuditRequested, on); }
  virtual void SetIsReceipt(bool on) { SetAttributeBit(attr::kIsReceipt, on); }
  virtual void SetFileRequest(bool on) { SetAttributeBit(attr::kFileRequest, on); }
  virtual void PutText(std::string_view text) = 0;
  virtual void PutChar(unsigned char c) = 0;
  virtual void PutLine(std::string_view text);  // PutText + carriage return
  // A kludge line that already begins with 0x01; JAM files it into a header subfield.
  virtual void PutKludge(std::string_view kludge) { PutLine(kludge); }
  virtual uint16_t WriteMessage() = 0;

  // --- Reading the current message's text ---------------------------------------------
  // The default text reader works over the text window that a variant fills at StartReading
  // (SetTextWindow); variants with other storage override these.
  virtual unsigned char NextChar();
  virtual bool TextEnded() const { return textEnded_; }
  // Next line, word-wrapped at maxLength (at most 255); kludge lines are returned like others.
  // The view stays valid only until the next call that reads or moves in the text (any of
  // the Next... calls, SetTextPosition, StartReading, LoadHeader, a Seek); copy what must
  // outlive it. Variants with their own text storage override this one, not NextLine.
  virtual std::string_view NextLineView(uint16_t maxLength);
  // NextLineView as a string of its own.
  virtual std::string NextLine(uint16_t maxLength);
  // Next line that is not a kludge line (the last kludge line when the text ends on one).
  std::string NextPlainLine(uint16_t maxLength);
  bool LineWasWrapped() const { return wrapped_; }

  // --- Reading the current message's header (valid after LoadHeader) --------------------
  virtual std::string FromName() = 0;
  virtual std::string ToName() = 0;
  virtual std::string Subject() = 0;
  virtual uint16_t Cost() = 0;
  virtual std::string DateText() = 0;  // "MM-DD-YY"
  virtual std::string TimeText() = 0;  // "HH:MM"
  virtual int32_t ReplyTo() = 0;
  virtual int32_t SeeAlso() = 0;
  virtual int32_t NextSeeAlso() { return 0; }
  virtual void SetNextSeeAlso(int32_t number) {}
  virtual int32_t MessageNumber() = 0;
  virtual void GetOrigAddress(NetAddress& address) = 0;
  virtual void GetDestAddress(NetAddress& address) = 0;
  // The zone of the node that reads the area, for the variant whose headers hold no zones
  // (*.MSG): a message that names its zone nowhere is taken to be from this one. The other
  // variants store whole addresses and ignore it.
  virtual void SetDefaultZone(uint16_t zone) {}
  virtual bool IsLocal() { return HasAttributeBit(attr::kLocal); }
  virtual bool IsCrash() { return HasAttributeBit(attr::kCrash); }
  virtual bool IsKillSent() { return HasAttributeBit(attr::kKillSent); }
  virtual bool IsSent() { return HasAttributeBit(attr::kSent); }
  virtual bool IsFileAttached() { return HasAttributeBit(attr::kFileAttached); }
  virtual bool IsReceiptRequested() { return HasAttributeBit(attr::kReceiptRequested); }
  virtual bool IsAuditRequested() { return HasAttributeBit(attr::kAuditRequested); }
  virtual bool IsReceipt() { return HasAttributeBit(attr::kIsReceipt); }
  virtual bool IsFileRequest() { return HasAttributeBit(attr::kFileRequest); }
  virtual bool IsReceived() { return HasAttributeBit(attr::kReceived); }
  virtual bool IsPrivate() { return HasAttributeBit(attr::kPrivate); }
  virtual bool IsDeleted() = 0;
  virtual bool IsEchoed() = 0;
  // False when the loaded message may still have been being written by another program while
  // it was read (it changed since, or was written a moment ago): a scan must come back to it.
  // Bases that other programs write only under a lock always answer true.
  virtual bool MessageSettled() { return true; }
  // The file of the current message when LoadHeader found it damaged (shorter than a header,
  // unreadable, not a regular file) and the message reads empty; empty otherwise. Only the
  // variant that keeps each message in a file of its own tells.
  virtual std::string DamagedMessageFile() { return {}; }

  // --- Positioning, numbering and housekeeping ----------------------------------------
  virtual int32_t Location() = 0;
  virtual void SetLocation(int32_t location) = 0;
  virtual void LoadHeader() = 0;
  virtual void StartReading() = 0;
  virtual void StartNewMessage() = 0;
  virtual void SeekFrom(int32_t number) = 0;
  virtual void SeekNext() = 0;
  virtual void SeekPrevious() = 0;
  // A hint: these messages will be loaded next, in this order. Variants that pay for each
  // message they open read them ahead; the others ignore it.
  virtual void WillLoad(std::span<const int32_t> numbers) {}
  virtual bool Found() = 0;
  virtual void FindAddressedFirst(std::string_view name, std::string_view alias) {}
  virtual void FindAddressedNext() {}
  virtual bool AddressedFound() { return false; }
  virtual int32_t HighNumber() = 0;
  virtual void SetMailKind(MailKind kind) = 0;
  virtual uint16_t SubArea() { return 0; }
  virtual void RewriteHeader() = 0;
  virtual void DeleteMessage() = 0;
  virtual void SetEchoed(bool on) {}
  virtual int32_t ActiveCount() = 0;
  virtual int32_t GetLastRead(uint32_t user) = 0;
  virtual void SetLastRead(uint32_t user, int32_t number) = 0;
  virtual int32_t DisplayNumber() { return MessageNumber(); }
  // Position of the next text byte in the variant's own measure; callers only store it and
  // hand it back to SetTextPosition for the same message.
  virtual int32_t TextPosition() { return textOrigin_ + static_cast<int32_t>(textIndex_); }
  // Moves the reading point; does not clear the end-of-text flag.
  virtual void SetTextPosition(int32_t position);
  // Number of the highest existing message (moves the current message); 0 when none.
  int32_t HighActiveNumber();

 protected:
  // The one pair of hooks behind the eleven attribute setters and queries: each variant keeps
  // the flags (given as attr:: bits) in its own header. By default a flag is never set and
  // setting it changes nothing.
  virtual void SetAttributeBit(uint16_t bit, bool on) {}
  virtual bool HasAttributeBit(uint16_t bit) { return false; }

  // Records an operation's outcome in the status word and returns it.
  uint16_t SetStatus(uint16_t code) { return status_ = code; }
  // What the variant's own status codes mean; the I/O codes are told by IoReason.
  virtual std::string OwnStatusReason(uint16_t code) const { return {}; }
  uint16_t status_ = 0;

  // The default text reader's window: the current message's text bytes, the TextPosition of
  // their first byte, and the reading state. Variants fill it at StartReading.
  void SetTextWindow(std::string text, int32_t origin);
  // The window over bytes the variant holds itself, unchanged until its next LoadHeader,
  // StartReading or ClearTextWindow: nothing is copied.
  void ShowTextWindow(std::string_view text, int32_t origin);
  void ClearTextWindow();

  std::string_view text_;
  size_t textIndex_ = 0;
  int32_t textOrigin_ = 0;
  bool textEnded_ = false;
  bool wrapped_ = false;

 private:
  std::string textStorage_;  // the window's bytes when SetTextWindow gave them
  // Lines that cannot be shown in place in the window (cut, or with bytes to skip) are built here.
  char lineBuffer_[256];
};

using MessageBaseHandle = std::unique_ptr<MessageBase>;

// Why an area could not be opened (or, after opening, locked): the variant's status code and
// its reason. A letter that names no variant has code 0.
struct OpenFailure {
  uint16_t code = 0;
  std::string reason;
};
// The failure as it follows a "cannot access" line in the log or on the console.
std::string DescribeOpenFailure(const OpenFailure& failure);
// The base's present status as an OpenFailure.
OpenFailure FailureOf(const MessageBase& base);

// The directory or base path of an area id: after its letter and any board number.
std::string AreaLocation(std::string_view areaId);

// Picks the variant by the first letter of the area id (its kind's row in base_kinds.h, in
// either case) and hands it characters 2 to 129 of the id. False for any other letter; the
// handle may stay empty when a variant cannot be made.
bool MakeMessageBase(std::string_view areaId, MessageBaseHandle& handle);
// MakeMessageBase, then Open; false (and an empty handle) when either fails, with the reason
// in *failure when one is given.
bool OpenMessageArea(std::string_view areaId, MessageBaseHandle& handle,
                     OpenFailure* failure = nullptr);
// As OpenMessageArea for a caller that will write: a missing area is created first (200
// messages, 10 days), and the area is mended (MessageBase::Mend); one that cannot be written
// to is given up with the reason.
bool OpenOrCreateMessageArea(std::string_view areaId, MessageBaseHandle& handle,
                             OpenFailure* failure = nullptr);
// Close and dispose; false for an empty handle or when Close failed.
bool CloseMessageArea(MessageBaseHandle& handle);
void DisposeMessageBase(MessageBaseHandle& handle);

}  // namespace vm
