// The "sum -r/size" checks of UU and XX sections. A BSD checksum is a serial chain of two
// steps per byte, and a file needs two of them (each section's text and the whole file's
// data), so the checks run on a second thread in batches of sections while the next sections
// are decoded; a few batches may wait for it, so that decoding seldom waits for the checks.
// Results come back in the order the sections were added.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vm {

// One "sum -r/size SUM/LENGTH section|entire ..." line: what the poster computed over the
// section's text or the file's data. A value that could not be read is -1, which never
// matches.
struct SumClaim {
  bool entireFile = false;
  int64_t sum = -1;
  int64_t length = -1;
};

// A section whose checks are done: the decoder's own flags with those of the checks added.
struct CheckedSection {
  int32_t number = 0;
  int32_t message = 0;
  uint8_t flags = 0;
};

class SectionSumChecks {
 public:
  SectionSumChecks() = default;
  SectionSumChecks(const SectionSumChecks&) = delete;
  SectionSumChecks& operator=(const SectionSumChecks&) = delete;

  // A new file: its data checksum and length start at zero; nothing is pending.
  void StartFile();
  // Queues a decoded section: its text as the checksum reads it (each line with a line feed),
  // its decoded bytes, and the claims of its sum lines.
  void Add(const CheckedSection& section, std::string_view text,
           std::span<const unsigned char> data, std::span<const SumClaim> claims);
  // The sections checked so far and not yet taken, in order. With `all`, waits for every
  // queued section.
  std::vector<CheckedSection> Take(bool all);

 private:
  struct Pending {
    CheckedSection section;
    size_t textEnd = 0;  // offsets into the batch's text and data
    size_t dataEnd = 0;
    size_t claimsEnd = 0;
  };
  struct Batch {
    std::vector<Pending> sections;
    std::string text;
    std::vector<unsigned char> data;
    std::vector<SumClaim> claims;
    void Clear();
  };
  // The file's checksum and length so far: the chain runs through the batches in order.
  struct Chain {
    uint16_t sum = 0;
    uint64_t length = 0;
  };
  // Checks the batch's sections, carrying the chain on, and notes them as done.
  static void Check(Batch& batch, Chain& chain, std::vector<CheckedSection>& done);

  void Submit();
  // Waits until the worker has checked every batch handed to it; the lock is held.
  void WaitUntilChecked(std::unique_lock<std::mutex>& lock);
  void WorkerLoop(std::stop_token stop);

  Batch filling_;

  std::mutex mutex_;
  // Batches handed over, oldest first; the worker checks them one after the other, and
  // owns the chain while it has any.
  std::deque<Batch> queued_;
  bool checking_ = false;
  Chain chain_;
  std::vector<CheckedSection> done_;
  std::vector<Batch> spare_;  // checked batches, cleared, for reuse
  bool workerIdle_ = false;
  bool waiting_ = false;  // the decoding side waits for the worker
  std::condition_variable_any workerWake_;
  std::condition_variable waiterWake_;
  // Last, so that it is stopped and joined before the members it uses go.
  std::jthread worker_;
};

}  // namespace vm
