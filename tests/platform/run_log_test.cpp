#include "platform/run_log.h"

#include <gtest/gtest.h>

#include <regex>

#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

TEST(RunLog, LinesAreStampedCp866WithCrLf) {
  ScopedTempDir tree;
  tree.WriteFile("veldmark.log", "earlier\r\n");
  RunLog log;
  log.SetPath(tree / "veldmark.log");
  log.WriteLogBreak();
  log.WriteLog(Cp866("Запуск с параметрами: /All "));
  log.WriteLog("");
  log.WriteLog(Cp866("Нормальный выход"));

  std::string text = tree.ReadFile("veldmark.log");
  std::string stamp = "\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d ";
  std::regex expected("earlier\r\n\r\n" + stamp + Cp866("Запуск с параметрами: /All ") +
                      "\r\n\r\n" + stamp + Cp866("Нормальный выход") + "\r\n");
  EXPECT_TRUE(std::regex_match(text, expected)) << text;
  int day = std::stoi(text.substr(11, 2)), month = std::stoi(text.substr(14, 2));
  EXPECT_TRUE(day >= 1 && day <= 31 && month >= 1 && month <= 12);
}

TEST(RunLog, FailuresAndDisabledLoggingAreSilent) {
  ScopedTempDir tree;
  RunLog log;
  EXPECT_FALSE(log.Enabled());
  log.WriteLog("nowhere");  // no path: nothing happens
  log.SetPath(tree / "no/such/dir/run.log");
  log.WriteLog("lost");
  log.SetPath(tree.path());  // a directory
  log.WriteLog("lost");
  log.SetPath(tree / "run.log");
  log.Disable();
  log.WriteLog("off");
  log.WriteLogBreak();
  EXPECT_FALSE(tree.Exists("run.log"));
  EXPECT_FALSE(tree.Exists("no"));
}

}  // namespace
}  // namespace vm
