// The "sum -r/size" checks of UU and XX sections. A BSD checksum is a serial chain of two
// steps per byte, and a file needs two of them (each section's text and the whole file's
// data), so the checks run on a second thread in batches of sections while the next sections
// are decoded. Results come back in the order the sections were added.
#pragma once

#include <condition_variable>
#include <cstdint>
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
    // The file's checksum and length before the batch, then after it once checked.
    uint16_t fileSum = 0;
    uint64_t fileLength = 0;
    void Clear();
    void Check();
  };

  void Submit();
  void WaitForWorker();
  void WorkerLoop(std::stop_token stop);

  Batch filling_;
  Batch checking_;  // handed to the worker; owned by it while busy_
  std::vector<CheckedSection> done_;

  std::mutex mutex_;
  std::condition_variable_any wake_;
  bool busy_ = false;
  // Last, so that it is stopped and joined before the members it uses go.
  std::jthread worker_;
};

}  // namespace vm
