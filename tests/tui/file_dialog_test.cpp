// The file dialog on the fake backend: what it lists, what OK does with the typed name (a
// file, a directory, a wildcard, a name without extension), picking from the list.
#include "tui/file_dialog.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"
#include "tui/application.h"
#include "tui/fake_backend.h"
#include "tui/keys.h"

namespace vm::tui {
namespace {

struct FileDialogTest : ::testing::Test {
  FileDialogTest() : app(backend, palette), root(ProgramPathFromHost(dir.path())) {
    dir.WriteFile("b.pal", "");
    dir.WriteFile("A.PAL", "");
    dir.WriteFile("notes.txt", "");
    dir.WriteFile(".hidden.pal", "");
    dir.WriteFile("sub/inner.pal", "");
  }

  // Runs the dialog with the keys; the dialog's command and what it chose.
  std::pair<int, std::string> Run(FileDialog& dialog, std::initializer_list<int> keys,
                                  std::string_view typed = {}) {
    backend.PushKeys(typed);
    for (int k : keys) backend.PushKey(k);
    const int end = app.Execute(dialog);
    return {end, dialog.Chosen()};
  }

  ScopedTempDir dir;
  FakeBackend backend;
  Palette palette;
  Application app;
  std::string root;
  const std::string cwd = CurrentDirectory();
};

TEST_F(FileDialogTest, ListsDirectoriesThenTheMatchingFiles) {
  FileDialog dialog("Title", Cp866("~И~мя"), root, "*.pal");
  EXPECT_EQ(dialog.Entries(), (std::vector<std::string>{"..\\", "sub\\", "A.PAL", "b.pal"}));
  EXPECT_EQ(Run(dialog, {key::kEsc}).first, cmd::kCancel);
}

TEST_F(FileDialogTest, WhatOkDoesWithTheName) {
  struct Case {
    const char* typed;
    std::initializer_list<int> keys;
    const char* chosen;  // relative to the directory; empty: the dialog stayed open
  };
  const Case cases[] = {
      {"b.pal", {key::kEnter}, "b.pal"},
      {"new", {key::kEnter}, "new.pal"},  // the wildcard's extension
      {"new.bin", {key::kEnter}, "new.bin"},
      {"sub", {key::kEnter, key::kEsc}, ""},  // a directory is entered
      {"sub", {key::kEnter, 'x', key::kEnter}, "sub/x.pal"},
      {"*.txt", {key::kEnter, key::kEsc}, ""},
      {"", {key::kTab, key::kDown, key::kDown, key::kEnter}, "A.PAL"},  // picked in the list
      {"",
       {key::kTab, key::kDown, key::kEnter, key::kTab, key::kDown, key::kEnter},
       "sub/inner.pal"},
  };
  for (const Case& c : cases) {
    FileDialog dialog("Title", Cp866("~И~мя"), root, "*.pal");
    const auto [end, chosen] = Run(dialog, c.keys, c.typed);
    if (*c.chosen == '\0') {
      EXPECT_EQ(end, cmd::kCancel) << c.typed;
    } else {
      EXPECT_EQ(end, cmd::kOk) << c.typed;
      EXPECT_EQ(chosen, root + "/" + c.chosen) << c.typed;
    }
  }
  EXPECT_EQ(CurrentDirectory(), cwd) << "the dialog never changes the current directory";
}

TEST_F(FileDialogTest, AWildcardChangesTheListAndDotDotLeads) {
  FileDialog dialog("Title", Cp866("~И~мя"), root + "/sub", "*.pal");
  backend.PushKeys("..");
  backend.PushKey(key::kEnter);
  backend.PushKeys("*.txt");
  backend.PushKey(key::kEnter);
  Run(dialog, {key::kEsc});
  EXPECT_EQ(dialog.Directory(), root);
  EXPECT_EQ(dialog.Entries(), (std::vector<std::string>{"..\\", "sub\\", "notes.txt"}));
}

}  // namespace
}  // namespace vm::tui
