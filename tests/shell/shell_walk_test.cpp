// The whole shell on the fake backend: a directory with a text file holding two postings is
// scanned from the directory panel, both found files are selected and decoded, the
// information window is opened, and the quit question ends the run.
#include <gtest/gtest.h>

#include <csignal>

#include "config/area_table.h"
#include "config/settings.h"
#include "decode/posting_builder.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/run_log.h"
#include "shell/shell.h"
#include "state/run_state.h"
#include "support/fake_console.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"
#include "tui/fake_backend.h"
#include "tui/keys.h"

namespace vm::shell {
namespace {

namespace key = tui::key;

std::string Bytes(size_t size, unsigned seed) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 131 + seed * 7 + i / 7) & 0xFF);
  return data;
}

std::string Shown(const tui::CellBuffer& screen, int y, int x, int width) {
  std::string shown;
  for (unsigned char c : screen.RowText(y, x, width)) AppendUtf8(shown, Cp866DisplayChar(c));
  return shown;
}

struct ShellWalk : ::testing::Test {
  ShellWalk() : startDir(CurrentDirectory()) {
    std::string text;
    for (const auto& [data, name, lines] : {std::tuple{alpha, "alpha.bin", 40}, std::tuple{beta, "beta.bin", 40}})
      for (const test::Lines& section : test::UuSections(data, name, lines))
        for (const std::string& line : section) text += line + "\r\n";
    dir.WriteFile("post.txt", text);
    dir.WriteFile("other.txt", "nothing encoded here\r\n");
    dir.MakeDirectory("sub");
    ChangeDirectory(ProgramPathFromHost(dir.path()));
    settings.address = NetAddress{2, 5020, 9999, 0};
  }
  ~ShellWalk() override { ChangeDirectory(startDir); }

  void Run() {
    const ShellContext context{settings, areas, state, paths, console, log};
    RunShellWindow(backend, context, 0);
  }

  const std::string alpha = Bytes(1000, 1);
  const std::string beta = Bytes(3000, 2);  // two sections of 40 lines
  ScopedTempDir dir;
  std::string startDir;
  Settings settings;
  AreaTable areas;
  RunState state;
  ProgramPaths paths;
  FakeConsole console;
  RunLog log;
  tui::FakeBackend backend;
};

TEST_F(ShellWalk, ScanSelectDecodeInformQuit) {
  backend.PushKeys("post");  // quick search: the cursor goes to post.txt
  backend.PushSnapshot();
  backend.PushKey(key::kEnter);  // "scan this file?"
  backend.PushKey(key::kEnter);  // Yes
  backend.PushWait();            // the scan
  backend.PushKey(key::kDown);
  backend.PushKey(' ');
  backend.PushKey(' ');
  backend.PushSnapshot();
  backend.PushKey(key::F(5));
  backend.PushWait();  // the decode
  backend.PushSnapshot();
  backend.PushKey(key::F(3));  // on beta.bin, where the second Space left the cursor
  backend.PushSnapshot();
  backend.PushKey(key::kEsc);
  backend.PushKey(key::kEsc);  // the quit question
  backend.PushSnapshot();
  backend.PushKey(key::kEnter);  // Yes
  Run();

  EXPECT_EQ(backend.EventsLeft(), 0u);
  EXPECT_EQ(dir.ReadFile("ALPHA.BIN"), alpha);
  EXPECT_EQ(dir.ReadFile("BETA.BIN"), beta);
  ASSERT_EQ(backend.snapshots.size(), 5u);

  const tui::CellBuffer& searching = backend.snapshots[0];
  EXPECT_EQ(Shown(searching, 22, 0, 40), "║post                                  ║");
  EXPECT_EQ(searching.At(1, 6).attr, 0x30) << "post.txt under the cursor";
  EXPECT_EQ(Shown(searching, 6, 0, 14), "║post     txt│");

  const tui::CellBuffer& selected = backend.snapshots[1];
  EXPECT_EQ(Shown(selected, 1, 40, 40), "╔════════════╤══post.txt═══════════════╗");
  EXPECT_EQ(Shown(selected, 4, 40, 40), "║alpha    bin│  │[■■■■■■■■■100%■■■■■■■]║");
  EXPECT_EQ(Shown(selected, 5, 40, 40), "║beta     bin│  │[■■■■■■■■■100%■■■■■■■]║");
  EXPECT_EQ(Shown(selected, 22, 40, 40), "║2 файл(ов) выбрано                    ║");
  EXPECT_EQ(selected.At(41, 4).attr, 0x1E);

  const tui::CellBuffer& decoded = backend.snapshots[2];
  EXPECT_EQ(decoded.At(41, 4).attr, 0x1B) << "decoded files are unselected";
  EXPECT_EQ(Shown(decoded, 5, 0, 14), "║ALPHA    BIN│") << "the directory was read again";

  const tui::CellBuffer& info = backend.snapshots[3];
  EXPECT_EQ(Shown(info, 6, 14, 52),
            "╔════════════════════ BETA.BIN ════════════════════╗");
  EXPECT_EQ(Shown(info, 9, 14, 16), "║ Файл POST.TXT ");
  EXPECT_EQ(Shown(info, 13, 14, 30), "║ Тип:     UU                 ");

  EXPECT_NE(Shown(backend.snapshots[4], 11, 18, 44).find("Вы уверены что хотите выйти?"),
            std::string::npos);
}

TEST_F(ShellWalk, EnterOnDirectoriesAndTheExitRowAndAnEndSignal) {
  backend.PushKey(key::kDown);  // "sub" (after "..")
  backend.PushKey(key::kEnter);
  backend.PushSnapshot();
  backend.PushKey(key::kEnter);  // ".." back out
  backend.PushSnapshot();
  tui::Event end(tui::EventKind::Signal);
  end.signal = SIGTERM;
  backend.Push(end);
  Run();
  ASSERT_EQ(backend.snapshots.size(), 2u);
  EXPECT_EQ(Shown(backend.snapshots[0], 3, 0, 14), "║..          │");
  EXPECT_EQ(Shown(backend.snapshots[0], 4, 0, 14), "║            │") << "sub is empty";
  EXPECT_EQ(Shown(backend.snapshots[1], 22, 0, 6), "║SUB  ") << "the cursor is back on sub";
  EXPECT_EQ(CurrentDirectory(), ProgramPathFromHost(dir.path()));
}

}  // namespace
}  // namespace vm::shell
