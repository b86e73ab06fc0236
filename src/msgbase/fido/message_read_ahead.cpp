#include "msgbase/fido/message_read_ahead.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "msgbase/fido/msg_numbering.h"

namespace vm {

MessageFileRead ReadMessageFile(const std::string& hostPath, const MessageFileLayout& layout) {
  MessageFileRead read;
  if (!read.file.OpenHost(hostPath, OpenMode::Read)) {
    read.error = read.file.LastError();
    return read;
  }
  read.state = read.file.State();
  if (read.state.size < 0) {
    read.error = read.file.LastError() != 0 ? read.file.LastError() : EIO;
    return read;
  }
  const size_t wanted = std::min(static_cast<size_t>(read.state.size), layout.limit);
  read.bytes = std::make_unique_for_overwrite<char[]>(wanted);
  read.size = read.file.ReadAt(0, read.bytes.get(), wanted);
  read.error = read.file.LastError();
  read.textEnd = layout.textStart;
  if (read.size > layout.textStart) {
    const char* text = read.bytes.get() + layout.textStart;
    const void* zero = std::memchr(text, '\0', read.size - layout.textStart);
    read.textEnd =
        zero ? layout.textStart + static_cast<size_t>(static_cast<const char*>(zero) - text)
             : read.size;
  }
  return read;
}

void MessageReadAhead::Queue(std::vector<Request> files) {
  if (files.empty()) return;
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    for (Request& file : files)
      slots_.push_back(Slot{nextId_++, file.number, std::move(file.hostPath), State::Waiting, {}});
    wake = workerIdle_;
  }
  if (!worker_.joinable())
    worker_ = std::jthread([this](std::stop_token stop) { WorkerLoop(stop); });
  else if (wake)
    workerWake_.notify_one();
}

size_t MessageReadAhead::Queued() {
  std::lock_guard lock(mutex_);
  return slots_.size();
}

std::optional<MessageFileRead> MessageReadAhead::Take(int32_t number) {
  std::unique_lock lock(mutex_);
  auto found = std::find_if(slots_.begin(), slots_.end(),
                            [number](const Slot& slot) { return slot.number == number; });
  if (found == slots_.end()) return std::nullopt;
  // A file being read when its slot goes is let go by the worker when it is done.
  while (slots_.begin() != found) PopFront();
  // Only this thread removes slots, so the front stays the one waited for.
  if (slots_.front().state != State::Done) {
    takerWaiting_ = true;
    takerWake_.wait(lock, [&] { return slots_.front().state == State::Done; });
    takerWaiting_ = false;
  }
  MessageFileRead read = std::move(slots_.front().read);
  const bool full = heldBytes_ >= kMostHeldBytes;
  PopFront();
  // The worker may be waiting for room.
  if (full && heldBytes_ < kMostHeldBytes && workerIdle_) workerWake_.notify_one();
  lock.unlock();
  const bool unchanged =
      read.file.IsOpen() && read.state.links > 0 && read.file.State() == read.state;
  if (!unchanged) return std::nullopt;
  return read;
}

void MessageReadAhead::Drop() {
  std::lock_guard lock(mutex_);
  while (!slots_.empty()) PopFront();
}

void MessageReadAhead::PopFront() {
  if (slots_.front().state == State::Done) heldBytes_ -= slots_.front().read.size;
  slots_.pop_front();
}

void MessageReadAhead::WorkerLoop(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  for (;;) {
    auto waiting = slots_.end();
    workerIdle_ = true;
    const bool work = workerWake_.wait(lock, stop, [&] {
      waiting = std::find_if(slots_.begin(), slots_.end(),
                             [](const Slot& slot) { return slot.state == State::Waiting; });
      return waiting != slots_.end() && heldBytes_ < kMostHeldBytes;
    });
    workerIdle_ = false;
    if (!work || stop.stop_requested()) return;
    waiting->state = State::Reading;
    const uint64_t id = waiting->id;
    const std::string path = waiting->path;
    lock.unlock();
    MessageFileRead read = ReadMessageFile(path, layout_);
    lock.lock();
    auto slot =
        std::find_if(slots_.begin(), slots_.end(), [id](const Slot& s) { return s.id == id; });
    if (slot == slots_.end()) continue;  // dropped meanwhile
    heldBytes_ += read.size;
    slot->read = std::move(read);
    slot->state = State::Done;
    if (takerWaiting_) takerWake_.notify_one();
  }
}

void ReadAheadPolicy::Announce(std::span<const int32_t> numbers) {
  Stop();
  for (int32_t number : numbers)
    if (announced_.empty() || announced_.back() != number) announced_.push_back(number);
  Loaded(0, false);
}

void ReadAheadPolicy::Loaded(int32_t loaded, bool wasReadAhead) {
  size_t queued = reader_.Queued();
  std::vector<MessageReadAhead::Request> more;
  if (!announced_.empty()) {
    if (announcedQueued_ == announced_.size() && queued == 0) {
      Stop();  // the announced messages are done
      return;
    }
    if (queued > kAhead / 2) return;
    for (; announcedQueued_ < announced_.size() && queued + more.size() < kAhead;
         ++announcedQueued_)
      more.push_back({announced_[announcedQueued_], pathOf_(announced_[announcedQueued_])});
    reader_.Queue(std::move(more));
    return;
  }
  const bool inOrder = lastLoaded_ > 0 && lastLoaded_ < MsgNumbering::kHighest &&
                       loaded == numbering_.NextAfter(lastLoaded_);
  lastLoaded_ = loaded;
  if (!inOrder) return;
  // In order again after a jump: what was queued belongs to the old place.
  if (!wasReadAhead && queued > 0) {
    reader_.Drop();
    queued = 0;
  }
  if (queued > kAhead / 2) return;
  if (lastQueued_ < loaded || queued == 0) lastQueued_ = loaded;
  while (queued + more.size() < kAhead && lastQueued_ < MsgNumbering::kHighest) {
    const int32_t next = numbering_.NextAfter(lastQueued_);
    if (next <= lastQueued_) break;
    more.push_back({next, pathOf_(next)});
    lastQueued_ = next;
  }
  reader_.Queue(std::move(more));
}

void ReadAheadPolicy::Stop() {
  reader_.Drop();
  announced_.clear();
  announcedQueued_ = 0;
  lastLoaded_ = 0;
  lastQueued_ = 0;
}

}  // namespace vm
