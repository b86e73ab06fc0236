// The shell's response to keys, each key handled and the whole screen drawn and presented on
// the fake backend; the time per key must stay well under one frame (16 ms). Two walks:
//   - 500 keys over an area of 2,998 found files (a text file of one-section postings,
//     scanned once beforehand) and a directory of 1,000 entries: scrolling, paging,
//     selecting and switching panels;
//   - 500 keys over a directory of 20,000 entries: paging and quick searches, among them one
//     that matches nothing and so tries every entry; the re-read (Ctrl+R) is timed apart.
//
//   bench_shell_keys [WORKDIR]   (default: /tmp/veldmark_shell_bench)
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "best_timing.h"
#include "config/area_table.h"
#include "config/settings.h"
#include "decode_corpus.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/run_log.h"
#include "quiet_console.h"
#include "shell/main_window.h"
#include "shell/shell_menu.h"
#include "state/run_state.h"
#include "tui/application.h"
#include "tui/fake_backend.h"
#include "tui/keys.h"

namespace fs = std::filesystem;
using namespace vm;
namespace key = vm::tui::key;

namespace {

constexpr int kFoundFiles = 2998;  // as many as a scan gathers (the catalogue is full at 3,000)
constexpr int kSmallDirectory = 1000;
constexpr int kLargeDirectory = 20000;
constexpr int kKeys = 500;

void MakeFiles(const fs::path& dir, int count, const char* prefix) {
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%05d.dat", prefix, i);
    std::ofstream(dir / name) << i;
  }
}

// The area of found files: one text file of postings, and files up to `entries` with "..".
void MakeAreaDirectory(const fs::path& dir) {
  std::ofstream post(dir / "post.txt", std::ios::binary);
  for (int i = 0; i < kFoundFiles; ++i) {
    const bench::CorpusFile file{std::string("f").append(std::to_string(i)).append(".bin"),
                                 bench::CorpusBytes(90, i)};
    for (const auto& section : bench::UuSections(file, 100))
      for (const std::string& line : section) post << line << "\r\n";
  }
  MakeFiles(dir, kSmallDirectory - 2, "n");
}

// Quits through the question: Esc, then Enter on Yes.
void PushQuit(tui::FakeBackend& backend) {
  backend.PushKey(key::kEsc);
  backend.PushKey(key::kEnter);
}

// The shell's main window on the fake backend, its directory panel in `directory`.
struct BenchShell {
  explicit BenchShell(const fs::path& directory)
      : context{settings, areas, state, paths, console, log}, app(backend, palette) {
    shell::SetUpMenuBar(app.Menu(), settings.externalUtilities);
    shell::SetUpStatusLine(app.Status(), settings.externalUtilities);
    window.emplace(app, context, ProgramPathFromHost(directory.string()));
    app.SetMainView(&*window);
    app.SetAfterEvent([this] { window->Refresh(); });
  }

  // Runs the keys (then quits) and returns the milliseconds per key.
  double Walk(const std::vector<int>& pattern) {
    for (int i = 0; i < kKeys; ++i)
      backend.PushKey(pattern[static_cast<size_t>(i) % pattern.size()]);
    PushQuit(backend);
    const int presentsBefore = backend.presents;
    const double cpuStart = bench::CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    app.Run();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    const double cpu = (bench::CpuSeconds() - cpuStart) * 1000;
    std::printf("%d keys, %d screens drawn, %.1f ms in all, %.3f ms per key (%.3f ms processor)\n",
                kKeys, backend.presents - presentsBefore, took.count(), took.count() / kKeys,
                cpu / kKeys);
    return took.count() / kKeys;
  }

  Settings settings;
  AreaTable areas;
  RunState state;
  ProgramPaths paths;
  QuietConsole console;
  RunLog log;
  const shell::ShellContext context;
  tui::FakeBackend backend;
  tui::Palette palette;
  tui::Application app;
  std::optional<shell::MainWindow> window;
};

double Milliseconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

bool AreaWalk(const fs::path& dir) {
  MakeAreaDirectory(dir);
  BenchShell shell(dir);
  shell.window->ReadDirectory();
  // Open the text file from the directory panel and scan it: not measured.
  shell.backend.PushKeys("post");
  shell.backend.PushKey(key::kEnter);
  shell.backend.PushKey(key::kEnter);
  shell.backend.PushWait();
  PushQuit(shell.backend);
  shell.app.Run();
  const int found = shell.window->Areas().Cursor().count - 1;
  const int listed = shell.window->Directory().Cursor().count;
  std::printf("found files %d, directory entries %d\n", found, listed);
  shell.Walk({key::kDown, key::kDown, key::kPgDn, ' ', key::kDown, key::kPgUp, key::kEnd, key::kUp,
              key::kHome, key::kTab});
  return found == kFoundFiles && listed == kSmallDirectory;
}

bool LargeDirectoryWalk(const fs::path& dir) {
  MakeFiles(dir, kLargeDirectory - 1, "n");
  BenchShell shell(dir);
  const double read = Milliseconds([&] { shell.window->ReadDirectory(); });
  const double reread = Milliseconds([&] { shell.window->RereadDirectory(); });
  const int listed = shell.window->Directory().Cursor().count;
  std::printf("directory entries %d, read in %.1f ms, read again in %.1f ms\n", listed, read,
              reread);
  // Searches for n1234*.* and n1999*.*; "z" matches nothing and tries every entry; Backspace
  // ends each search.
  shell.Walk({key::kPgDn,
              'n',
              '1',
              '2',
              '3',
              '4',
              'z',
              key::kBackspace,
              key::kBackspace,
              key::kBackspace,
              key::kBackspace,
              key::kBackspace,
              key::kEnd,
              'n',
              '1',
              '9',
              '9',
              '9',
              key::kBackspace,
              key::kBackspace,
              key::kBackspace,
              key::kBackspace,
              key::kBackspace,
              key::kDown,
              key::kHome});
  return listed == kLargeDirectory;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path root = argc > 1 ? fs::path(argv[1]) : fs::path("/tmp/veldmark_shell_bench");
  fs::remove_all(root);
  fs::create_directories(root / "area");
  fs::create_directories(root / "large");
  const bool areaOk = AreaWalk(root / "area");
  const bool largeOk = LargeDirectoryWalk(root / "large");
  fs::remove_all(root);
  return areaOk && largeOk ? 0 : 1;
}
