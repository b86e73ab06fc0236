// Message files read ahead of the reader on a second thread. A scan or a decode of a *.MSG
// area opens and reads thousands of small files one after another, and the system calls cost
// about as much as the work on their text; read ahead, they overlap with it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "platform/file.h"

namespace vm {

class MsgNumbering;

// How message files are read: up to `limit` bytes, the text beginning after the header.
struct MessageFileLayout {
  size_t limit = 0;
  size_t textStart = 0;
};

// One message file as read: the file stays open so that its deletion can be noticed.
struct MessageFileRead {
  File file;
  FileState state;  // when it was read
  std::unique_ptr<char[]> bytes;
  size_t size = 0;
  size_t textEnd = 0;  // the first zero byte of the text, or the end of what was read
  int error = 0;       // errno of the open or the read; 0 when the bytes are the whole file
};

// Opens the file and reads it whole (up to the layout's limit), and finds where its text
// ends.
MessageFileRead ReadMessageFile(const std::string& hostPath, const MessageFileLayout& layout);

class MessageReadAhead {
 public:
  explicit MessageReadAhead(const MessageFileLayout& layout) : layout_(layout) {}
  MessageReadAhead(const MessageReadAhead&) = delete;
  MessageReadAhead& operator=(const MessageReadAhead&) = delete;

  struct Request {
    int32_t number;
    std::string hostPath;
  };
  // Queues files to be read, in the order they will be asked for.
  void Queue(std::vector<Request> files);
  // Files queued and not yet taken.
  size_t Queued();
  // The file of the message when it is queued, after waiting for it to be read; the files
  // queued before it are dropped. Nothing, and the queue as it was, when it is not queued.
  // Nothing either when the file was read ahead but has changed, or gone, since: the reader
  // may come much later than the reading ahead (a user paging through messages).
  std::optional<MessageFileRead> Take(int32_t number);
  // Forgets everything queued: the files may have changed (a write of our own).
  void Drop();

 private:
  enum class State : uint8_t { Waiting, Reading, Done };
  struct Slot {
    uint64_t id;
    int32_t number;
    std::string path;
    State state = State::Waiting;
    MessageFileRead read;
  };

  void WorkerLoop(std::stop_token stop);
  // Removes the first slot; the lock is held.
  void PopFront();

  // Files read and not taken may hold this much before the worker waits: messages may be
  // large.
  static constexpr size_t kMostHeldBytes = 4 << 20;

  const MessageFileLayout layout_;
  size_t heldBytes_ = 0;
  std::deque<Slot> slots_;
  uint64_t nextId_ = 0;
  std::mutex mutex_;
  // Each side is woken only while it waits: most files are read before they are asked for,
  // and a wake-up that nobody waits for would still cost a system call.
  std::condition_variable_any workerWake_;
  std::condition_variable takerWake_;
  bool workerIdle_ = false;
  bool takerWaiting_ = false;
  // Last, so that it is stopped and joined before the members it uses go.
  std::jthread worker_;
};

// Which message files of an area to read ahead of its reader: the messages announced, else,
// while messages are loaded in order, the ones that follow the last one loaded. The queue is
// topped up in bursts, so that the reading thread is woken once per burst.
class ReadAheadPolicy {
 public:
  ReadAheadPolicy(MessageReadAhead& reader, const MsgNumbering& numbering,
                  std::function<std::string(int32_t)> pathOf)
      : reader_(reader), numbering_(numbering), pathOf_(std::move(pathOf)) {}

  // The messages that will be loaded next, in this order.
  void Announce(std::span<const int32_t> numbers);
  // A message was loaded (wasReadAhead: it came from the queue).
  void Loaded(int32_t loaded, bool wasReadAhead);
  // Forgets what was queued and announced: messages are written or deleted, or the area is
  // opened again.
  void Stop();

 private:
  static constexpr size_t kAhead = 64;

  MessageReadAhead& reader_;
  const MsgNumbering& numbering_;
  std::function<std::string(int32_t)> pathOf_;
  // The messages announced and how many of them were queued, or (with none announced) the
  // last message loaded and the last one queued.
  std::vector<int32_t> announced_;
  size_t announcedQueued_ = 0;
  int32_t lastLoaded_ = 0;
  int32_t lastQueued_ = 0;
};

}  // namespace vm
