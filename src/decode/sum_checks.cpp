#include "decode/sum_checks.h"

#include "decode/section_decoders.h"
#include "text/checksums.h"

namespace vm {
namespace {

// A batch goes to the worker once it holds this much text and data: large enough that
// handing it over costs nothing beside the checksums, small enough that the last batch of a
// file, which is checked while nothing else runs, stays short.
constexpr size_t kBatchBytes = 256 * 1024;

// Both chains at once: they are independent, so the processor runs them side by side.
void SumTogether(uint16_t& a, const unsigned char* p, size_t n, uint16_t& b, const unsigned char* q,
                 size_t m) {
  const size_t common = n < m ? n : m;
  uint16_t x = a, y = b;
  for (size_t i = 0; i < common; ++i) {
    x = BsdSumAdd(x, p[i]);
    y = BsdSumAdd(y, q[i]);
  }
  a = BsdSumAdd(x, p + common, n - common);
  b = BsdSumAdd(y, q + common, m - common);
}

}  // namespace

void SectionSumChecks::Batch::Clear() {
  sections.clear();
  text.clear();
  data.clear();
  claims.clear();
}

void SectionSumChecks::Batch::Check() {
  const auto* text8 = reinterpret_cast<const unsigned char*>(text.data());
  size_t textStart = 0, dataStart = 0, claimsStart = 0;
  for (Pending& pending : sections) {
    uint16_t sectionSum = 0;
    SumTogether(sectionSum, text8 + textStart, pending.textEnd - textStart, fileSum,
                data.data() + dataStart, pending.dataEnd - dataStart);
    const uint64_t sectionLength = pending.textEnd - textStart;
    fileLength += pending.dataEnd - dataStart;
    uint8_t& flags = pending.section.flags;
    for (size_t c = claimsStart; c < pending.claimsEnd; ++c) {
      const SumClaim& claim = claims[c];
      if (claim.entireFile) {
        if (claim.sum != fileSum) flags |= decode_flag::kFileCrc;
        if (claim.length < 0 || static_cast<uint64_t>(claim.length) != fileLength)
          flags |= decode_flag::kFileLength;
      } else if (claim.length < 0 || static_cast<uint64_t>(claim.length) != sectionLength) {
        flags |= decode_flag::kSectionLength;
      } else if (claim.sum != sectionSum) {
        flags |= decode_flag::kSectionCrc;
      }
    }
    textStart = pending.textEnd;
    dataStart = pending.dataEnd;
    claimsStart = pending.claimsEnd;
  }
}

void SectionSumChecks::StartFile() {
  // What an abandoned file left behind is dropped unchecked.
  WaitForWorker();
  checking_.Clear();
  filling_.Clear();
  done_.clear();
  filling_.fileSum = 0;
  filling_.fileLength = 0;
}

void SectionSumChecks::Add(const CheckedSection& section, std::string_view text,
                           std::span<const unsigned char> data, std::span<const SumClaim> claims) {
  filling_.text.append(text);
  filling_.data.insert(filling_.data.end(), data.begin(), data.end());
  filling_.claims.insert(filling_.claims.end(), claims.begin(), claims.end());
  filling_.sections.push_back(
      {section, filling_.text.size(), filling_.data.size(), filling_.claims.size()});
  if (filling_.text.size() + filling_.data.size() >= kBatchBytes) Submit();
}

std::vector<CheckedSection> SectionSumChecks::Take(bool all) {
  if (all) {
    WaitForWorker();
    // The last, partly filled batch is checked here: there is nothing to run beside it.
    if (!filling_.sections.empty()) {
      filling_.Check();
      for (const Pending& pending : filling_.sections) done_.push_back(pending.section);
      filling_.Clear();
    }
  }
  std::vector<CheckedSection> taken;
  taken.swap(done_);
  return taken;
}

// The full batch goes to the worker once the one before it is checked, so that the file's
// checksum runs on in order. Clear() keeps a batch's checksum and length, which
// WaitForWorker() sets before the batch is checked.
void SectionSumChecks::Submit() {
  WaitForWorker();
  std::swap(checking_, filling_);
  filling_.Clear();
  {
    std::lock_guard lock(mutex_);
    busy_ = true;
  }
  if (!worker_.joinable())
    worker_ = std::jthread([this](std::stop_token stop) { WorkerLoop(stop); });
  wake_.notify_all();
}

// Collects the worker's batch, if any, and carries its checksum over to the batch being
// filled.
void SectionSumChecks::WaitForWorker() {
  {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return !busy_; });
  }
  if (checking_.sections.empty()) return;
  for (const Pending& pending : checking_.sections) done_.push_back(pending.section);
  filling_.fileSum = checking_.fileSum;
  filling_.fileLength = checking_.fileLength;
  checking_.Clear();
}

void SectionSumChecks::WorkerLoop(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (!wake_.wait(lock, stop, [this] { return busy_; })) return;
    lock.unlock();
    checking_.Check();
    lock.lock();
    busy_ = false;
    wake_.notify_all();
  }
}

}  // namespace vm
