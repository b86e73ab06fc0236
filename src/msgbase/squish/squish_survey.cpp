// Checking a Squish base under the lock before it is changed.
//
// The message chain must be the index, link for link: the base header's first and last frame
// are the index's first and last, and each frame's links lead to its index neighbours. Our own
// changes write in an order that keeps the index leading only to whole messages (see
// squish_frames.cpp); a process killed between two of those writes leaves at most one frame
// that the index does not hold, still linked from one or both sides into the place between
// two index neighbours where it stood: a message being deleted whose index record is gone, or
// a new one whose index record was never written. Its unlinking is finished here. Any other
// disagreement is damage, and the change is refused with kDamaged before anything is written.
//
// Message frames must also lie inside the file and not overlap one another, or a new frame
// could be written over a message. A free chain that does not hold together, or whose frames
// overlap messages or each other, is given up.
#include <algorithm>
#include <optional>

#include "msgbase/squish/squish_base.h"

namespace vm {

using namespace squish;

namespace {

struct Extent {
  uint64_t begin;
  uint64_t end;
};

// Sorts the extents; false when two of them overlap.
bool SortDisjoint(std::vector<Extent>& extents) {
  std::sort(extents.begin(), extents.end(),
            [](const Extent& a, const Extent& b) { return a.begin < b.begin; });
  for (size_t i = 1; i < extents.size(); ++i) {
    if (extents[i].begin < extents[i - 1].end) return false;
  }
  return true;
}

// Whether [begin, end) overlaps one of the sorted, disjoint extents.
bool Overlaps(const std::vector<Extent>& extents, uint64_t begin, uint64_t end) {
  auto after = std::lower_bound(extents.begin(), extents.end(), end,
                                [](const Extent& e, uint64_t at) { return e.begin < at; });
  return after != extents.begin() && std::prev(after)->end > begin;
}

}  // namespace

uint16_t SquishBase::PrepareChange() {
  if (surveyed_) return 0;
  // Read again under the lock: a change that failed part-way may have left our copy behind.
  uint16_t rc = Reload();
  if (rc == 0) rc = SurveyChains();
  surveyed_ = rc == 0;
  return rc;
}

uint16_t SquishBase::SurveyChains() {
  const BaseHeader read = base_;
  size_t count = index_.size();
  std::vector<FrameHeader> frames(count);
  std::vector<Extent> messages;
  messages.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    uint32_t offset = index_[i].offset;
    if (!ReadFrameOfType(offset, kFrameNormal, frames[i]) || !FrameFits(offset, frames[i]))
      return kDamaged;
    messages.push_back({offset, uint64_t{offset} + base_.frameHeaderSize + frames[i].frameLength});
  }
  if (!SortDisjoint(messages)) return kDamaged;

  // Each place between index neighbours, and before the first and after the last, is entered
  // by a link from the left (the base header's first frame, or the left neighbour's next) and
  // one from the right (the right neighbour's prev, or the header's last frame).
  struct Stray {
    uint32_t offset, prev, next;
  };
  std::optional<Stray> stray;
  std::vector<Extent> free;
  for (size_t gap = 0; gap <= count; ++gap) {
    uint32_t left = gap > 0 ? index_[gap - 1].offset : 0;
    uint32_t right = gap < count ? index_[gap].offset : 0;
    uint32_t forward = gap > 0 ? frames[gap - 1].next : base_.firstFrame;
    uint32_t backward = gap < count ? frames[gap].prev : base_.lastFrame;
    if (forward == right && backward == left) continue;
    uint32_t offset = forward != right ? forward : backward;
    if (stray || (backward != left && backward != offset)) return kDamaged;
    FrameHeader frame;
    if (!ReadFrameOfType(offset, kFrameNormal, frame) || frame.prev != left ||
        frame.next != right || !FrameFits(offset, frame)) {
      return kDamaged;
    }
    uint64_t end = uint64_t{offset} + base_.frameHeaderSize + frame.frameLength;
    if (Overlaps(messages, offset, end)) return kDamaged;
    stray = Stray{offset, left, right};
    free.push_back({offset, end});  // it joins the free frames below
  }

  bool freeSound = ReadFreeList();
  for (const FreeFrame& f : freeList_) {
    uint64_t end = uint64_t{f.offset} + base_.frameHeaderSize + f.length;
    if (Overlaps(messages, f.offset, end)) freeSound = false;
    free.push_back({f.offset, end});
  }
  if (!freeSound || !SortDisjoint(free)) DropFreeChain();
  // Other programs put new frames at the header's end of file: it must not lag behind a frame
  // that a chain holds, as it does after a new frame was linked in by a process killed before
  // the header followed.
  for (const std::vector<Extent>* extents : {&messages, &free}) {
    for (const Extent& extent : *extents) {
      if (extent.end > base_.endFrame && extent.end <= UINT32_MAX)
        base_.endFrame = static_cast<uint32_t>(extent.end);
    }
  }

  // What the survey mended goes to disk now: a record left twice in the index, the stray
  // frame, the free chain and the counts.
  uint16_t rc = WriteIndex();
  if (rc != 0) return rc;
  if (stray) return UnlinkFrame(stray->offset, stray->prev, stray->next);
  if (!(base_ == read) || read.numMsg != count || read.highMsg != count) return WriteBaseHeader();
  return 0;
}

}  // namespace vm
