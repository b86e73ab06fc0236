// Frames of the .SQD file and the two chains through them: the message chain in index order
// and the chain of free frames left by deleted messages. Everything here runs under the
// base's lock; every frame is read back and checked before a link in it is changed, so a
// damaged chain makes the operation refuse instead of spreading the damage.
#include "msgbase/squish/squish_base.h"

namespace vm {

using namespace squish;

bool SquishBase::ReadFrame(uint32_t offset, FrameHeader& frame) {
  // Frames live between the base header and the end of the file; any other offset is a
  // damaged link (and writing there would overwrite the base header).
  if (offset < FirstFrameOffset()) return false;
  int64_t size = sqd_.Size();
  if (size < 0 || uint64_t{offset} + base_.frameHeaderSize > static_cast<uint64_t>(size)) return false;
  uint8_t bytes[kFrameHeaderSize];
  if (sqd_.ReadAt(offset, bytes, sizeof bytes) != sizeof bytes) return false;
  frame = DecodeFrameHeader(bytes);
  return frame.id == kFrameId;
}

bool SquishBase::ReadFrameOfType(uint32_t offset, uint16_t type, FrameHeader& frame) {
  // Types other than normal and free (3 is "being updated" by another program) are damage.
  return ReadFrame(offset, frame) && frame.type == type;
}

bool SquishBase::WriteFrameHeader(uint32_t offset, const FrameHeader& frame) {
  auto bytes = EncodeFrameHeader(frame);
  return sqd_.WriteAt(offset, bytes.data(), bytes.size());
}

bool SquishBase::MessageFits(uint32_t offset, const FrameHeader& frame) const {
  // The message header, control information and text must lie inside the frame and the
  // file; a length beyond them would read the next frame or past the end.
  if (frame.msgLength < kMessageHeaderSize) return false;
  if (frame.ctrlLength > frame.msgLength - kMessageHeaderSize) return false;
  if (frame.msgLength > frame.frameLength) return false;
  int64_t size = sqd_.Size();
  return size >= 0 &&
         uint64_t{offset} + base_.frameHeaderSize + frame.msgLength <= static_cast<uint64_t>(size);
}

bool SquishBase::FrameFits(uint32_t offset, const FrameHeader& frame) const {
  // A frame reused for a new message must lie wholly inside the file.
  int64_t size = sqd_.Size();
  return size >= 0 &&
         uint64_t{offset} + base_.frameHeaderSize + frame.frameLength <= static_cast<uint64_t>(size);
}

void SquishBase::ReadFreeList() {
  freeList_.clear();
  freeListRead_ = true;
  freeChainDamaged_ = false;
  uint32_t prev = 0;
  uint32_t offset = base_.firstFree;
  while (offset != 0 && freeList_.size() < kFreeListCapacity) {
    FrameHeader frame;
    // Each frame must point back at the one before it; this also catches every loop.
    if (!ReadFrameOfType(offset, kFrameFree, frame) || frame.prev != prev) {
      freeChainDamaged_ = true;
      break;
    }
    freeList_.push_back({offset, frame.frameLength});
    prev = offset;
    offset = frame.next;
  }
  if (offset == 0 && prev != base_.lastFree) freeChainDamaged_ = true;
  if (freeChainDamaged_) freeList_.clear();
}

bool SquishBase::TakeFreeFrame(size_t entry) {
  uint32_t offset = freeList_[entry].offset;
  FrameHeader frame, prev, next;
  if (!ReadFrameOfType(offset, kFrameFree, frame) || !FrameFits(offset, frame)) return false;
  if (frame.prev == offset || frame.next == offset || (frame.prev != 0 && frame.prev == frame.next)) {
    return false;
  }
  if (frame.prev == 0 ? base_.firstFree != offset
                      : !ReadFrameOfType(frame.prev, kFrameFree, prev) || prev.next != offset) {
    return false;
  }
  if (frame.next == 0 ? base_.lastFree != offset
                      : !ReadFrameOfType(frame.next, kFrameFree, next) || next.prev != offset) {
    return false;
  }
  if (frame.prev != 0) {
    prev.next = frame.next;
    if (!WriteFrameHeader(frame.prev, prev)) return false;
  } else {
    base_.firstFree = frame.next;
  }
  if (frame.next != 0) {
    next.prev = frame.prev;
    if (!WriteFrameHeader(frame.next, next)) return false;
  } else {
    base_.lastFree = frame.prev;
  }
  freeList_.erase(freeList_.begin() + static_cast<std::ptrdiff_t>(entry));
  return true;
}

SquishBase::Place SquishBase::FindFrame(uint32_t needed) {
  if (!freeListRead_) ReadFreeList();
  if (!freeChainDamaged_) {
    // The smallest free frame strictly larger than needed; the first of equal ones.
    size_t best = freeList_.size();
    for (size_t i = 0; i < freeList_.size(); ++i) {
      if (freeList_[i].length > needed && (best == freeList_.size() || freeList_[i].length < freeList_[best].length)) {
        best = i;
      }
    }
    if (best < freeList_.size()) {
      Place place{freeList_[best].offset, freeList_[best].length, false};
      if (TakeFreeFrame(best)) return place;
      // The chain is not what we read: leave it alone until the next lock.
      freeChainDamaged_ = true;
      freeList_.clear();
    }
  }
  // At the real end of the file rather than the header's: bytes past a lagging end may
  // belong to a frame the header lost, and an end beyond the file would leave a hole.
  int64_t size = sqd_.Size();
  if (size < 0) return Place{};
  uint64_t at = static_cast<uint64_t>(size);
  if (at < FirstFrameOffset()) at = FirstFrameOffset();
  // Frame offsets are 32-bit; a base that large takes no more.
  if (at + base_.frameHeaderSize + needed > UINT32_MAX) return Place{};
  return Place{at, needed, true};
}

uint16_t SquishBase::AppendMessage() {
  std::string text = compose_;
  text.push_back('\0');
  uint32_t needed = static_cast<uint32_t>(kMessageHeaderSize + text.size());

  // The tail of the message chain must be sound before anything is written.
  FrameHeader last;
  if (base_.lastFrame != 0) {
    if (!ReadFrameOfType(base_.lastFrame, kFrameNormal, last) || last.next != 0) return kDamaged;
  } else if (base_.firstFrame != 0) {
    return kDamaged;
  }

  // Unique numbers only grow, even when a damaged header forgot the last one given out.
  // Message numbers are signed 32-bit to the rest of the program: a larger one could never
  // be found again.
  uint64_t uid = base_.uid == 0 ? 1 : base_.uid;
  if (!index_.empty() && index_.back().umsgid >= uid) uid = uint64_t{index_.back().umsgid} + 1;
  if (uid > INT32_MAX) return kDamaged;

  FillDates();
  Place place = FindFrame(needed);
  if (place.offset == 0) return 101;
  uint32_t offset = static_cast<uint32_t>(place.offset);

  FrameHeader frame;
  frame.prev = base_.lastFrame;
  frame.frameLength = place.frameLength;
  frame.msgLength = needed;
  // Frame, message header and text go to disk before the frame is linked in, so a failed
  // write leaves both chains as they were.
  std::string bytes(base_.frameHeaderSize, '\0');
  auto frameBytes = EncodeFrameHeader(frame);
  bytes.replace(0, frameBytes.size(), reinterpret_cast<const char*>(frameBytes.data()), frameBytes.size());
  auto headerBytes = EncodeMessageHeader(header_);
  bytes.append(reinterpret_cast<const char*>(headerBytes.data()), headerBytes.size());
  bytes.append(text);
  if (!sqd_.WriteAt(offset, bytes.data(), bytes.size())) {
    uint16_t rc = IoCode(sqd_.LastError(), true);
    Flush();  // a free frame already taken out of its chain stays out of it
    return rc;
  }
  if (place.atEnd) base_.endFrame = static_cast<uint32_t>(place.offset + bytes.size());

  if (base_.lastFrame != 0) {
    last.next = offset;
    if (!WriteFrameHeader(base_.lastFrame, last)) {
      uint16_t rc = IoCode(sqd_.LastError(), true);
      Flush();
      return rc;
    }
  } else {
    base_.firstFrame = offset;
  }
  base_.lastFrame = offset;

  index_.push_back(IndexRecord{offset, static_cast<uint32_t>(uid), IndexHash()});
  MarkIndexChanged(index_.size() - 1);
  base_.uid = static_cast<uint32_t>(uid + 1);

  if (base_.maxMsg > 0 && base_.maxMsg > base_.skipMsg) {
    while (index_.size() > base_.maxMsg) {
      if (DeleteAt(base_.skipMsg) != 0) break;  // a damaged old message stays; the new one is in
    }
  }
  position_ = index_.size();
  frameLoaded_ = false;
  return Flush();
}

uint16_t SquishBase::DeleteAt(size_t position) {
  uint32_t offset = index_[position].offset;
  FrameHeader frame, prev, next, lastFree;
  // The frame's neighbours must point back at it and the chain ends must be where the base
  // header says; the free chain's tail must be a free frame. Nothing is written otherwise.
  if (!ReadFrameOfType(offset, kFrameNormal, frame)) return kDamaged;
  if (frame.prev == offset || frame.next == offset || (frame.prev != 0 && frame.prev == frame.next)) {
    return kDamaged;
  }
  if (frame.prev == 0 ? base_.firstFrame != offset
                      : !ReadFrameOfType(frame.prev, kFrameNormal, prev) || prev.next != offset) {
    return kDamaged;
  }
  if (frame.next == 0 ? base_.lastFrame != offset
                      : !ReadFrameOfType(frame.next, kFrameNormal, next) || next.prev != offset) {
    return kDamaged;
  }
  if (base_.lastFree == 0 ? base_.firstFree != 0
                          : !ReadFrameOfType(base_.lastFree, kFrameFree, lastFree) || lastFree.next != 0) {
    return kDamaged;
  }

  if (frame.prev != 0) {
    prev.next = frame.next;
    if (!WriteFrameHeader(frame.prev, prev)) return IoCode(sqd_.LastError(), true);
  } else {
    base_.firstFrame = frame.next;
  }
  if (frame.next != 0) {
    next.prev = frame.prev;
    if (!WriteFrameHeader(frame.next, next)) return IoCode(sqd_.LastError(), true);
  } else {
    base_.lastFrame = frame.prev;
  }
  frame.type = kFrameFree;
  frame.prev = base_.lastFree;
  frame.next = 0;
  if (!WriteFrameHeader(offset, frame)) return IoCode(sqd_.LastError(), true);
  if (base_.lastFree != 0) {
    lastFree.next = offset;
    if (!WriteFrameHeader(base_.lastFree, lastFree)) return IoCode(sqd_.LastError(), true);
  } else {
    base_.firstFree = offset;
  }
  base_.lastFree = offset;
  if (freeListRead_ && !freeChainDamaged_ && freeList_.size() < kFreeListCapacity) {
    freeList_.push_back({offset, frame.frameLength});
  }

  index_.erase(index_.begin() + static_cast<std::ptrdiff_t>(position));
  MarkIndexChanged(position);
  // The current message keeps its place, so that SeekNext after deleting it goes on with the
  // message that followed.
  if (position_ > position) --position_;
  return 0;
}

uint16_t SquishBase::WriteMessage() {
  if (!IsOpen()) return status_ = kNoIndex;
  if (composeTooLong_) return status_ = kTextTooLong;
  bool tookLock = !locked_;
  if (tookLock && !Lock()) return status_ = kLockFailed;
  uint16_t rc = stateError_ != 0 ? stateError_ : AppendMessage();
  if (tookLock) Unlock();
  return status_ = rc;
}

void SquishBase::DeleteMessage() {
  if (!IsOpen()) {
    status_ = kNoIndex;
    return;
  }
  if (MessageNumber() < 0) return;
  uint32_t uid = index_[position_ - 1].umsgid;
  bool tookLock = !locked_;
  if (tookLock && !Lock()) return;
  uint16_t rc = stateError_;
  if (rc == 0) {
    // Look the message up again: the index was re-read under the lock.
    size_t position = FindPosition(uid);
    if (position < index_.size()) {
      rc = DeleteAt(position);
      uint16_t flushed = Flush();
      if (rc == 0) rc = flushed;
    }
  }
  status_ = rc;
  if (tookLock) Unlock();
}

void SquishBase::RewriteHeader() {
  if (!IsOpen() || !frameLoaded_) return;
  bool tookLock = !locked_;
  if (tookLock && !Lock()) return;
  uint16_t rc = stateError_;
  size_t position = rc == 0 ? FindPosition(frameUid_) : index_.size();
  if (rc == 0 && position == index_.size()) rc = kDamaged;  // the message is gone meanwhile
  if (rc == 0) {
    // Only the message header is written: the frame links on disk may have changed since
    // LoadHeader (another program appending after this message), and ours would undo that.
    uint32_t offset = index_[position].offset;
    FrameHeader frame;
    if (!ReadFrameOfType(offset, kFrameNormal, frame) || !MessageFits(offset, frame)) {
      rc = kDamaged;
    } else {
      auto bytes = EncodeMessageHeader(header_);
      if (!sqd_.WriteAt(uint64_t{offset} + base_.frameHeaderSize, bytes.data(), bytes.size())) {
        rc = IoCode(sqd_.LastError(), true);
      } else {
        index_[position].hash = IndexHash();
        MarkIndexChanged(position);
        rc = Flush();
      }
    }
  }
  status_ = rc;
  if (tookLock) Unlock();
}

}  // namespace vm
