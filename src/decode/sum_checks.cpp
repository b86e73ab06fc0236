#include "decode/sum_checks.h"

#include "decode/section_decoders.h"
#include "text/checksums.h"

namespace vm {
namespace {

// A batch goes to the worker once it holds this much text and data: large enough that
// handing it over costs nothing beside the checksums, small enough that the last batch of a
// file, which is checked while nothing else runs, stays short.
constexpr size_t kBatchBytes = 256 * 1024;
// Batches that may wait for the worker before decoding waits for it in turn.
constexpr size_t kMostQueued = 8;

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

void SectionSumChecks::Check(Batch& batch, Chain& chain, std::vector<CheckedSection>& done) {
  const auto* text8 = reinterpret_cast<const unsigned char*>(batch.text.data());
  size_t textStart = 0, dataStart = 0, claimsStart = 0;
  for (Pending& pending : batch.sections) {
    uint16_t sectionSum = 0;
    SumTogether(sectionSum, text8 + textStart, pending.textEnd - textStart, chain.sum,
                batch.data.data() + dataStart, pending.dataEnd - dataStart);
    const uint64_t sectionLength = pending.textEnd - textStart;
    chain.length += pending.dataEnd - dataStart;
    uint8_t& flags = pending.section.flags;
    for (size_t c = claimsStart; c < pending.claimsEnd; ++c) {
      const SumClaim& claim = batch.claims[c];
      if (claim.entireFile) {
        if (claim.sum != chain.sum) flags |= decode_flag::kFileCrc;
        if (claim.length < 0 || static_cast<uint64_t>(claim.length) != chain.length)
          flags |= decode_flag::kFileLength;
      } else if (claim.length < 0 || static_cast<uint64_t>(claim.length) != sectionLength) {
        flags |= decode_flag::kSectionLength;
      } else if (claim.sum != sectionSum) {
        flags |= decode_flag::kSectionCrc;
      }
    }
    done.push_back(pending.section);
    textStart = pending.textEnd;
    dataStart = pending.dataEnd;
    claimsStart = pending.claimsEnd;
  }
}

void SectionSumChecks::StartFile() {
  std::unique_lock lock(mutex_);
  // What an abandoned file left behind is dropped unchecked.
  queued_.clear();
  WaitUntilChecked(lock);
  done_.clear();
  chain_ = Chain{};
  filling_.Clear();
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
  std::unique_lock lock(mutex_);
  if (all) {
    WaitUntilChecked(lock);
    // The last, partly filled batch is checked here: there is nothing to run beside it.
    Check(filling_, chain_, done_);
    filling_.Clear();
  }
  std::vector<CheckedSection> taken;
  taken.swap(done_);
  return taken;
}

void SectionSumChecks::Submit() {
  std::unique_lock lock(mutex_);
  if (queued_.size() >= kMostQueued) {
    waiting_ = true;
    waiterWake_.wait(lock, [this] { return queued_.size() < kMostQueued; });
    waiting_ = false;
  }
  queued_.push_back(std::move(filling_));
  filling_ = Batch{};
  if (!spare_.empty()) {
    filling_ = std::move(spare_.back());
    spare_.pop_back();
  }
  const bool wake = workerIdle_;
  lock.unlock();
  if (!worker_.joinable())
    worker_ = std::jthread([this](std::stop_token stop) { WorkerLoop(stop); });
  else if (wake)
    workerWake_.notify_one();
}

void SectionSumChecks::WaitUntilChecked(std::unique_lock<std::mutex>& lock) {
  waiting_ = true;
  waiterWake_.wait(lock, [this] { return queued_.empty() && !checking_; });
  waiting_ = false;
}

void SectionSumChecks::WorkerLoop(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  for (;;) {
    workerIdle_ = true;
    const bool work = workerWake_.wait(lock, stop, [this] { return !queued_.empty(); });
    workerIdle_ = false;
    if (!work || stop.stop_requested()) return;
    Batch batch = std::move(queued_.front());
    queued_.pop_front();
    checking_ = true;
    if (waiting_) waiterWake_.notify_one();  // room in the queue
    std::vector<CheckedSection> done;
    lock.unlock();
    Check(batch, chain_, done);
    batch.Clear();
    lock.lock();
    done_.insert(done_.end(), done.begin(), done.end());
    spare_.push_back(std::move(batch));
    checking_ = false;
    if (waiting_) waiterWake_.notify_one();
  }
}

}  // namespace vm
