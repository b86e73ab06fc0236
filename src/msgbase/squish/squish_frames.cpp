// Frames of the .SQD file and the two chains through them: the message chain in index order
// and the chain of free frames left by deleted messages. Everything here runs under the
// base's lock, after SurveyChains found the message chain to be the index; every frame is
// read back and checked before a link in it is changed. A free chain that does not hold
// together is given up rather than followed.
#include "msgbase/squish/squish_base.h"

namespace vm {

using namespace squish;

bool SquishBase::ReadFrame(uint32_t offset, FrameHeader& frame) {
  // Frames live between the base header and the end of the file; any other offset is a
  // damaged link (and writing there would overwrite the base header).
  if (offset < FirstFrameOffset()) return false;
  int64_t size = sqd_.Size();
  if (size < 0 || uint64_t{offset} + base_.frameHeaderSize > static_cast<uint64_t>(size))
    return false;
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
  return size >= 0 && uint64_t{offset} + base_.frameHeaderSize + frame.frameLength <=
                          static_cast<uint64_t>(size);
}

bool SquishBase::ReadFreeList() {
  freeList_.clear();
  freeListRead_ = true;
  uint32_t prev = 0;
  uint32_t offset = base_.firstFree;
  while (offset != 0 && freeList_.size() < kFreeListCapacity) {
    FrameHeader frame;
    // Each frame must point back at the one before it; this also catches every loop.
    if (!ReadFrameOfType(offset, kFrameFree, frame) || frame.prev != prev) {
      freeList_.clear();
      return false;
    }
    freeList_.push_back({offset, frame.frameLength});
    prev = offset;
    offset = frame.next;
  }
  if (offset == 0 && prev != base_.lastFree) {
    // One frame beyond the tail the header names: a frame was appended to the chain and the
    // process killed before the header followed. The header catches up.
    if (freeList_.size() < 2 || freeList_[freeList_.size() - 2].offset != base_.lastFree) {
      freeList_.clear();
      return false;
    }
    base_.lastFree = prev;
  }
  return true;
}

void SquishBase::DropFreeChain() {
  // Free frames hold no messages: a chain of them that does not hold together is given up,
  // its frames left unused, rather than followed by us or by other programs.
  base_.firstFree = base_.lastFree = 0;
  freeList_.clear();
  freeListRead_ = true;
}

bool SquishBase::TakeFreeFrame(size_t entry) {
  uint32_t offset = freeList_[entry].offset;
  FrameHeader frame, prev, next;
  if (!ReadFrameOfType(offset, kFrameFree, frame) || !FrameFits(offset, frame)) return false;
  if (frame.prev == offset || frame.next == offset ||
      (frame.prev != 0 && frame.prev == frame.next)) {
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
  if (!freeListRead_ && !ReadFreeList()) DropFreeChain();
  // The smallest free frame strictly larger than needed; the first of equal ones.
  size_t best = freeList_.size();
  for (size_t i = 0; i < freeList_.size(); ++i) {
    if (freeList_[i].length > needed &&
        (best == freeList_.size() || freeList_[i].length < freeList_[best].length)) {
      best = i;
    }
  }
  if (best < freeList_.size()) {
    Place place{freeList_[best].offset, freeList_[best].length, false};
    if (TakeFreeFrame(best)) return place;
    // The chain is not what we read.
    DropFreeChain();
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

// Takes the frame at offset out of the message chain, where prev and next are its neighbours
// in the index (0 at the ends), and hands it to the free chain. The index no longer holds the
// frame when this is called. The neighbours' links go first, then the base header with the
// chain's ends and the counts, and only then is the frame marked free: a link of the message
// chain never leads to a free frame, and a kill at any point leaves what SurveyChains finishes.
uint16_t SquishBase::UnlinkFrame(uint32_t offset, uint32_t prev, uint32_t next) {
  FrameHeader frame, neighbour;
  if (!ReadFrameOfType(offset, kFrameNormal, frame)) return kDamaged;
  if (prev != 0) {
    if (!ReadFrameOfType(prev, kFrameNormal, neighbour)) return kDamaged;
    if (neighbour.next != next) {
      neighbour.next = next;
      if (!WriteFrameHeader(prev, neighbour)) return IoCode(sqd_.LastError(), true);
    }
  } else {
    base_.firstFrame = next;
  }
  if (next != 0) {
    if (!ReadFrameOfType(next, kFrameNormal, neighbour)) return kDamaged;
    if (neighbour.prev != prev) {
      neighbour.prev = prev;
      if (!WriteFrameHeader(next, neighbour)) return IoCode(sqd_.LastError(), true);
    }
  } else {
    base_.lastFrame = prev;
  }
  uint16_t rc = WriteBaseHeader();
  if (rc != 0) return rc;
  return AddToFreeChain(offset, frame);
}

// Appends a frame that no chain holds to the free chain: the frame itself first, then the
// old tail's link to it, then the base header (ReadFreeList accepts a tail one frame beyond
// the header's).
uint16_t SquishBase::AddToFreeChain(uint32_t offset, FrameHeader frame) {
  FrameHeader tail;
  bool tailSound = base_.lastFree == 0
                       ? base_.firstFree == 0
                       : ReadFrameOfType(base_.lastFree, kFrameFree, tail) && tail.next == 0;
  if (!tailSound) DropFreeChain();
  frame.type = kFrameFree;
  frame.prev = base_.lastFree;
  frame.next = 0;
  if (!WriteFrameHeader(offset, frame)) return IoCode(sqd_.LastError(), true);
  if (base_.lastFree != 0) {
    tail.next = offset;
    if (!WriteFrameHeader(base_.lastFree, tail)) return IoCode(sqd_.LastError(), true);
  } else {
    base_.firstFree = offset;
  }
  base_.lastFree = offset;
  if (freeListRead_ && freeList_.size() < kFreeListCapacity)
    freeList_.push_back({offset, frame.frameLength});
  return WriteBaseHeader();
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
  uint64_t uid = NextUniqueNumber();
  if (uid > INT32_MAX) return kDamaged;

  FillDates();
  Place place = FindFrame(needed);
  if (place.offset == 0) return 101;
  // The whole frame goes to disk before anything links to it; then the old last frame and
  // the base header link it in, and the index, last, makes it a message. Killed before the
  // index is written, the frame is one that SurveyChains takes out again.
  uint16_t rc = WriteNewFrame(place, needed, text);
  uint32_t offset = static_cast<uint32_t>(place.offset);
  if (rc == 0) rc = LinkAtChainEnd(offset, last);
  if (rc == 0) rc = IndexNewMessage(offset, uid);
  if (rc != 0) return rc;

  TrimToMaxMessages();
  position_ = index_.size();
  frameLoaded_ = false;
  return 0;
}

uint64_t SquishBase::NextUniqueNumber() const {
  // Unique numbers only grow, even when a damaged header forgot the last one given out.
  // Message numbers are signed 32-bit to the rest of the program: a larger one could never
  // be found again, so the caller refuses it.
  uint64_t uid = base_.uid == 0 ? 1 : base_.uid;
  if (!index_.empty() && index_.back().umsgid >= uid) uid = uint64_t{index_.back().umsgid} + 1;
  return uid;
}

uint16_t SquishBase::WriteNewFrame(const Place& place, uint32_t needed, const std::string& text) {
  FrameHeader frame;
  frame.prev = base_.lastFrame;
  frame.frameLength = place.frameLength;
  frame.msgLength = needed;
  std::string bytes(base_.frameHeaderSize, '\0');
  auto frameBytes = EncodeFrameHeader(frame);
  bytes.replace(0, frameBytes.size(), reinterpret_cast<const char*>(frameBytes.data()),
                frameBytes.size());
  auto headerBytes = EncodeMessageHeader(header_);
  bytes.append(reinterpret_cast<const char*>(headerBytes.data()), headerBytes.size());
  bytes.append(text);
  if (!sqd_.WriteAt(place.offset, bytes.data(), bytes.size())) {
    uint16_t rc = IoCode(sqd_.LastError(), true);
    WriteBaseHeader();  // a free frame already taken out of its chain stays out of it
    return rc;
  }
  if (place.atEnd) base_.endFrame = static_cast<uint32_t>(place.offset + bytes.size());
  return 0;
}

uint16_t SquishBase::LinkAtChainEnd(uint32_t offset, FrameHeader& last) {
  if (base_.lastFrame != 0) {
    last.next = offset;
    if (!WriteFrameHeader(base_.lastFrame, last)) {
      uint16_t rc = IoCode(sqd_.LastError(), true);
      WriteBaseHeader();
      return rc;
    }
  } else {
    base_.firstFrame = offset;
  }
  base_.lastFrame = offset;
  return WriteBaseHeader();
}

uint16_t SquishBase::IndexNewMessage(uint32_t offset, uint64_t uid) {
  index_.push_back(IndexRecord{offset, static_cast<uint32_t>(uid), IndexHash()});
  MarkIndexChanged(index_.size() - 1);
  uint16_t rc = WriteIndex();
  if (rc != 0) return rc;
  base_.uid = static_cast<uint32_t>(uid + 1);
  return WriteBaseHeader();
}

void SquishBase::TrimToMaxMessages() {
  if (base_.maxMsg == 0 || base_.maxMsg <= base_.skipMsg) return;
  while (index_.size() > base_.maxMsg) {
    if (DeleteAt(base_.skipMsg) != 0) {
      // The new message is in; what the old one left is finished at the next change.
      surveyed_ = false;
      return;
    }
  }
}

uint16_t SquishBase::DeleteAt(size_t position) {
  // The chains were surveyed: the message's neighbours in the chain are those in the index.
  uint32_t offset = index_[position].offset;
  uint32_t prev = position > 0 ? index_[position - 1].offset : 0;
  uint32_t next = position + 1 < index_.size() ? index_[position + 1].offset : 0;
  // The index goes first: from then on no reader finds the message, and its frame is still
  // whole while the links around it change.
  index_.erase(index_.begin() + static_cast<std::ptrdiff_t>(position));
  MarkIndexChanged(position);
  // The current message keeps its place, so that SeekNext after deleting it goes on with the
  // message that followed.
  if (position_ > position) --position_;
  uint16_t rc = WriteIndex();
  if (rc != 0) return rc;
  return UnlinkFrame(offset, prev, next);
}

uint16_t SquishBase::WriteMessage() {
  if (!IsOpen()) return status_ = kNoIndex;
  if (composeTooLong_) return status_ = kTextTooLong;
  bool tookLock = !locked_;
  if (tookLock && !Lock()) return kLockFailed;
  uint16_t rc = PrepareChange();
  if (rc == 0) rc = AppendMessage();
  if (rc != 0) surveyed_ = false;
  if (tookLock) Unlock();
  return status_ = rc;
}

uint16_t SquishBase::Mend() {
  if (!IsOpen()) return status_ = kNoIndex;
  bool tookLock = !locked_;
  if (tookLock && !Lock()) return status_;
  uint16_t rc = PrepareChange();
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
  uint16_t rc = PrepareChange();
  if (rc == 0) {
    // Look the message up again: the index was re-read under the lock.
    size_t position = FindPosition(uid);
    if (position < index_.size()) rc = DeleteAt(position);
  }
  if (rc != 0) surveyed_ = false;
  status_ = rc;
  if (tookLock) Unlock();
}

void SquishBase::RewriteHeader() {
  if (!IsOpen() || !frameLoaded_) return;
  bool tookLock = !locked_;
  if (tookLock && !Lock()) return;
  uint16_t rc = PrepareChange();
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
  if (rc != 0) surveyed_ = false;
  status_ = rc;
  if (tookLock) Unlock();
}

}  // namespace vm
