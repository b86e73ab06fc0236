// Encoding speed: posting a 100 MB file as UU in 120-line sections into a JAM area and into a
// *.MSG area (queue, encoders, checksums, messages and the queue saved after every section),
// against uuencode of the same file into a file, in the same run.
//
//   bench_encode_speed [WORKDIR [MEGABYTES [jam|msg]]]
//                                        (defaults: /tmp/veldmark_encode_bench, 100, both)
//
// Given a base kind, only that posting runs (for a profiler), without the other contenders.
// Prints the times (best of five rounds, each running every contender once) and the ratios
// uuencode time / ours; targets: JAM at least 0.5, *.MSG at least 0.25 (exit code 1 when
// missed). uuencode runs before and after each posting, and a round's ratio is taken against
// the mean of those two: a shared virtual machine speeds up and slows down by half within a
// minute, and contenders timed apart would compare the machine's moods. The ratio printed is
// the median of the five rounds', and each round's follows. For *.MSG it also times the bare
// creation of as many files of a section's size, the floor that the file system sets, and prints
// the posting's time against it. Every posting is checked to have written the expected number of
// messages. Beside the elapsed time of a posting, its processor time (user and system) shows how
// much of it was this process's work rather than waiting for the disk. The postings take their
// MSGID serials in blocks from a record flushed to the disk, as a run does, but from one of the
// benchmark's own, new for each run: the user's machine-wide record holds the serials of every
// earlier run, and a few dozen runs of this benchmark in a day take it to the day's lead ahead of
// the clock, where every serial waits for the clock.
//
// Every round writes into directories of its own, and every uuencode run into a file of its
// own, left in place until the next run of the benchmark removes them at its start: ext4 without a
// journal passes over the inodes freed in the last minutes (up to five) one by one when it makes a
// file in the same group, so a round right after the removal of another one's 18,000 files would
// time that removal. Runs a few minutes apart, or in work directories of their own, time the
// postings alone.

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <vector>

#include "config/area_table.h"
#include "config/settings.h"
#include "encode/queue_runner.h"
#include "encode/send_queue.h"
#include "msgbase/message_base.h"
#include "quiet_console.h"
#include "state/msgid_serial.h"
#include "state/queue_file.h"

namespace fs = std::filesystem;
using namespace vm;

namespace {

constexpr int kLinesPerSection = 120;
constexpr int kRounds = 5;

void MakeInput(const fs::path& file, size_t bytes) {
  if (fs::exists(file) && fs::file_size(file) == bytes) return;
  std::mt19937_64 random(42);
  std::ofstream out(file, std::ios::binary);
  std::vector<uint64_t> block(1 << 16);
  for (size_t written = 0; written < bytes;) {
    for (uint64_t& v : block) v = random();
    const size_t n = std::min(bytes - written, block.size() * sizeof(uint64_t));
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(n));
    written += n;
  }
}

struct Timing {
  double elapsed = 1e9;
  double processor = 1e9;  // user and system time of this process
};

double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Keeps the best of the rounds, and returns this run's time. Each contender starts with the
// disk idle: what the one before wrote is on the disk first, so that no one's flush waits for
// another's data.
double Time(Timing& best, const std::function<void()>& run) {
  ::sync();
  const auto start = std::chrono::steady_clock::now();
  const double processorStart = ProcessorSeconds();
  run();
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  best.processor = std::min(best.processor, ProcessorSeconds() - processorStart);
  best.elapsed = std::min(best.elapsed, elapsed);
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Posts the file into the area as the command line does (/Encode ... -Immed); returns the
// messages written.
int32_t Post(const fs::path& work, const fs::path& file, const std::string& areaId) {
  Settings settings;
  settings.NAME = "Bench";
  settings.ADDRESS = "2:5020/100";
  settings.address = NetAddress{2, 5020, 100, 0};
  AreaTable areas;
  AreaEntry area;
  area.tag = "BENCH";
  area.areaId = areaId;
  area.SectionsLeftToday = kUnlimited;
  areas.Append(area);
  ProgramPaths paths{
      work.string() + "/", work.string(), work.string() + "/", work.string() + "/", {}};
  RunState state;
  state.serials.KeepRecordIn(paths.ProgramDir + kMsgIdReservationFile);
  QuietConsole console;

  EnqueueRequest request;
  request.path = file.string();
  request.areaId = areaId;
  request.templatePath = (work / "veldmark.tpl").string();
  request.fromName = "Bench";
  request.toName = "All";
  request.fromAddress = "2:5020/100";
  request.flags = kEncodeUu | kSendImmediately;
  request.linesPerSection = kLinesPerSection;
  request.allowance = static_cast<int32_t>(kUnlimited);
  EnqueueFile(state.queue, request, QueueContext{settings, console, {}});
  QueueProgressFile progress(paths);
  QueueRun run{state,
               areas,
               settings,
               paths,
               console,
               CalendarDate{2026, 1, 1},
               [&] { progress.Save(state); }};
  ProcessQueue(run);

  MessageBaseHandle base;
  if (!OpenMessageArea(areaId, base)) return 0;
  const int32_t count = base->ActiveCount();
  CloseMessageArea(base);
  return count;
}

// The bare cost of what a *.MSG posting cannot avoid: one new file per section, of a
// section's size, written by one write, in a new directory (as the posting's is). Measured
// beside the postings, as the file system's speed at creating files varies.
void CreateFiles(const fs::path& dir, int32_t count, size_t size) {
  fs::create_directories(dir);
  const std::string bytes(size, 'x');
  for (int32_t n = 1; n <= count; ++n) {
    const std::string name = (dir / (std::to_string(n) + ".msg")).string();
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
      std::fprintf(stderr, "cannot write %s\n", name.c_str());
    if (fd >= 0) ::close(fd);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path work = argc > 1 ? argv[1] : "/tmp/veldmark_encode_bench";
  const size_t megabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 100;
  const std::string only = argc > 3 ? argv[3] : "";
  fs::create_directories(work);
  const fs::path input = work / "input.bin";
  MakeInput(input, megabytes * 1000 * 1000);
  std::ofstream(work / "veldmark.tpl") << "@SECTION\r\n";
  const int64_t capacity = int64_t{kLinesPerSection} * 45;
  const int32_t sections = static_cast<int32_t>((fs::file_size(input) + capacity - 1) / capacity);

  // Each uuencode run writes a new file, as each posting writes into new directories: writing
  // over the last run's output would time the freeing of its blocks too.
  const fs::path uuDir = work / "uuencoded";
  int uuRuns = 0;
  // A section's message: its lines of 61 characters and a line end, and about 200 bytes of
  // header, header line and sum lines.
  const size_t sectionBytes = kLinesPerSection * 62 + 200;
  Timing best[4];
  std::vector<double> ratios[2];  // JAM's and *.MSG's, a round each
  const auto timeUuencode = [&] {
    const std::string command = "uuencode '" + input.string() + "' input.bin > '" +
                                (uuDir / (std::to_string(++uuRuns) + ".uue")).string() + "'";
    return Time(best[0], [&] {
      if (std::system(command.c_str()) != 0) std::fprintf(stderr, "uuencode failed\n");
    });
  };
  const auto roundDir = [&](int round) { return work / ("round" + std::to_string(round)); };
  for (int round = 0; round < kRounds; ++round) fs::remove_all(roundDir(round));
  fs::remove_all(uuDir);
  fs::remove(work / "input.uue");  // of an older benchmark
  fs::remove(work / kMsgIdReservationFile);
  fs::create_directories(uuDir);
  for (int round = 0; round < kRounds; ++round) {
    const fs::path dir = roundDir(round);
    double uuBefore = only.empty() ? timeUuencode() : 0;
    const struct {
      const char* dir;
      char letter;
    } areas[] = {{"jam", 'J'}, {"msg", 'F'}};
    for (int a = 0; a < 2; ++a) {
      if (!only.empty() && only != areas[a].dir) continue;
      fs::create_directories(dir / areas[a].dir);
      const std::string areaId =
          areas[a].letter + (dir / areas[a].dir / (areas[a].letter == 'J' ? "bench" : "")).string();
      int32_t written = 0;
      const double posting = Time(best[a + 1], [&] { written = Post(work, input, areaId); });
      if (written != sections) {
        std::fprintf(stderr, "%s: %d messages written, %d expected\n", areas[a].dir, written,
                     sections);
        return 2;
      }
      if (!only.empty()) continue;
      const double uuAfter = timeUuencode();
      ratios[a].push_back((uuBefore + uuAfter) / 2 / posting);
      uuBefore = uuAfter;
    }
    if (only.empty()) Time(best[3], [&] { CreateFiles(dir / "files", sections, sectionBytes); });
  }
  const double uu = best[0].elapsed;
  std::printf("%zu MB as UU, %d sections of %d lines\n", megabytes, sections, kLinesPerSection);
  if (!only.empty()) {
    const Timing& posting = best[only == "jam" ? 1 : 2];
    std::printf("veldmark into %s: %.3f s (processor %.3f s), %.1f us per section\n", only.c_str(),
                posting.elapsed, posting.processor, posting.elapsed * 1e6 / sections);
    return 0;
  }
  const double jam = Median(ratios[0]), msg = Median(ratios[1]);
  std::printf("uuencode to a file   %8.3f s\n", uu);
  std::printf("veldmark into JAM    %8.3f s (processor %.3f s)  uuencode/ours %.3f (target 0.5)\n",
              best[1].elapsed, best[1].processor, jam);
  std::printf("veldmark into *.MSG  %8.3f s (processor %.3f s)  uuencode/ours %.3f (target 0.25)\n",
              best[2].elapsed, best[2].processor, msg);
  for (int a = 0; a < 2; ++a) {
    std::printf("%s rounds:", a == 0 ? "JAM  " : "*.MSG");
    for (double ratio : ratios[a]) std::printf(" %.3f", ratio);
    std::printf("\n");
  }
  std::printf("creating the files   %8.3f s; *.MSG posting / creating them %.2f\n", best[3].elapsed,
              best[2].elapsed / best[3].elapsed);
  std::printf("per section: uuencode %.1f us, JAM %.1f us, *.MSG %.1f us\n", uu * 1e6 / sections,
              best[1].elapsed * 1e6 / sections, best[2].elapsed * 1e6 / sections);
  return jam >= 0.5 && msg >= 0.25 ? 0 : 1;
}
