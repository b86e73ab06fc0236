// The pieces a decoding test needs: settings, run state, a fake console, a run log in a
// temporary directory, and a session over them.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "config/area_table.h"
#include "config/settings.h"
#include "decode/decode_session.h"
#include "memory_base.h"
#include "platform/run_log.h"
#include "support/fake_console.h"
#include "support/platform_temp_dir.h"

namespace vm::test {

class RecordingDialogs : public DecodeDialogs {
 public:
  std::string answers;  // 'y' or 'n' per question; none left answers No
  std::vector<std::string> questions;
  std::vector<std::string> errors;
  bool AskYesNo(std::string_view question) override {
    questions.emplace_back(question);
    if (answers.empty()) return false;
    const char answer = answers[0];
    answers.erase(0, 1);
    return answer == 'y';
  }
  void ShowError(std::string_view message) override { errors.emplace_back(message); }
  void BeginProgress(std::string_view, int32_t) override {}
  void StepProgress() override {}
  void EndProgress() override {}
  bool AbortKeyPressed() override { return false; }
};

struct DecodeFixture {
  DecodeFixture() {
    std::filesystem::create_directories(dir / "out");
    log.SetPath((dir / "run.log").string());
    area.tag = "RU.FILES";
    area.areaId = "FC:\\FIDO\\FILES";
  }

  DecodeSession Unattended() { return DecodeSession{settings, state, console, log, nullptr}; }
  DecodeSession Windowed() { return DecodeSession{settings, state, console, log, &dialogs}; }

  std::string OutDir() const { return (dir / "out").string(); }
  std::string ReadOut(const std::string& name) const {
    std::ifstream in(dir / "out" / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string LogText() const {
    std::ifstream in(dir / "run.log", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  ScopedTempDir scratch;
  const std::filesystem::path dir = scratch.path();
  Settings settings;
  DecodeRunState state;
  FakeConsole console;
  RunLog log;
  RecordingDialogs dialogs;
  AreaEntry area;
  MemoryBase base;
};

}  // namespace vm::test
