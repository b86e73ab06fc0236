// The shell's response to keys: a scripted walk of 500 key presses over an area of 2,998
// found files (a text file of one-section postings, scanned once beforehand) and a directory
// of 1,000 entries, each key handled and the whole screen drawn and presented, on the fake
// backend. The time per key must stay well under one frame (16 ms).
//
//   bench_shell_keys [WORKDIR]   (default: /tmp/veldmark_shell_bench)
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

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
constexpr int kDirectoryEntries = 1000;
constexpr int kKeys = 500;

void MakeDirectory(const fs::path& dir) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream post(dir / "post.txt", std::ios::binary);
  for (int i = 0; i < kFoundFiles; ++i) {
    const bench::CorpusFile file{std::string("f").append(std::to_string(i)).append(".bin"),
                                 bench::CorpusBytes(90, i)};
    for (const auto& section : bench::UuSections(file, 100))
      for (const std::string& line : section) post << line << "\r\n";
  }
  // 999 more entries: the list holds 1,000 with "..".
  for (int i = 0; i < kDirectoryEntries - 2; ++i)
    std::ofstream(dir / std::string("file").append(std::to_string(i)).append(".dat")) << i;
}

// Quits through the question: Esc, then Enter on Yes.
void PushQuit(tui::FakeBackend& backend) {
  backend.PushKey(key::kEsc);
  backend.PushKey(key::kEnter);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::path("/tmp/veldmark_shell_bench");
  MakeDirectory(dir);
  ChangeDirectory(ProgramPathFromHost(dir.string()));

  Settings settings;
  AreaTable areas;
  RunState state;
  ProgramPaths paths;
  QuietConsole console;
  RunLog log;
  const shell::ShellContext context{settings, areas, state, paths, console, log};

  tui::FakeBackend backend;
  tui::Palette palette;
  tui::Application app(backend, palette);
  shell::SetUpMenuBar(app.Menu(), settings.externalUtilities);
  shell::SetUpStatusLine(app.Status(), settings.externalUtilities);
  shell::MainWindow window(app, context);
  app.SetMainView(&window);
  app.SetAfterEvent([&window] { window.Refresh(); });
  window.ReadDirectory();

  // Open the text file from the directory panel and scan it: not measured.
  backend.PushKeys("post");
  backend.PushKey(key::kEnter);
  backend.PushKey(key::kEnter);
  backend.PushWait();
  PushQuit(backend);
  app.Run();
  const int found = window.Areas().Cursor().count - 1;
  const int listed = window.Directory().Cursor().count;

  // The walk: scrolling, paging, selecting and switching over both lists.
  const int pattern[] = {key::kDown, key::kDown, key::kPgDn, ' ',        key::kDown,
                         key::kPgUp, key::kEnd,  key::kUp,   key::kHome, key::kTab};
  for (int i = 0; i < kKeys; ++i) backend.PushKey(pattern[i % std::size(pattern)]);
  PushQuit(backend);
  const int presentsBefore = backend.presents;
  const auto start = std::chrono::steady_clock::now();
  app.Run();
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  const int presents = backend.presents - presentsBefore;

  std::printf("found files %d, directory entries %d\n", found, listed);
  std::printf("%d keys, %d screens drawn, %.1f ms in all, %.3f ms per key\n", kKeys, presents,
              took.count(), took.count() / kKeys);
  fs::remove_all(dir);
  return found == kFoundFiles && listed == kDirectoryEntries ? 0 : 1;
}
