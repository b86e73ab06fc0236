#include "app/failure_report.h"

#include <gtest/gtest.h>

#include "app/run_context.h"
#include "platform/host_path.h"
#include "support/fake_console.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

class FailureReportTest : public ::testing::Test {
 protected:
  FailureReportTest() : run(console, "/opt/veldmark", CommandLine({"/Decode", "RU.FILES"})) {
    run.paths.ProgramDir = ProgramPathFromHost(node.path()) + "/";
    run.settings.NAME = "Ivan Petrov";
    run.failures.Prepare(run);
  }

  std::string Report() const { return node.ReadFile("VELDMARK.DBG"); }

  ScopedTempDir node;
  FakeConsole console{"kk"};
  RunContext run;
};

const std::string kRequest =
    "При работе программы Veldmark произошла неисправимая ошибка. Пожалуйста,\n"
    "пошлите файл VELDMARK.DBG по указанному адресу:\n";

TEST_F(FailureReportTest, ExceptionAddsItsBlockAndWaitsForAKey) {
  run.failures.ReportException(run, "boom");
  std::string report = Report();
  EXPECT_EQ(report.rfind("Veldmark v1.61.40 Win32b \r\nNAME               = \"Ivan Petrov\"", 0),
            0u);
  const std::string tail = "--- Exception info\r\nMessage = boom\r\n---\r\n";
  ASSERT_GE(report.size(), tail.size());
  EXPECT_EQ(report.substr(report.size() - tail.size()), tail);
  EXPECT_EQ(Cp866ToUtf8(console.output).rfind(kRequest, 0), 0u);
  EXPECT_EQ(console.KeysLeft(), 1u);
}

TEST_F(FailureReportTest, RunErrorListsTheCommandLineAndDoesNotWait) {
  run.failures.ReportRunError(run, 203, "std::bad_alloc");
  std::string report = Report();
  const std::string tail = "---\r\n" + Cp866("Ошибка") +
                           " 203 (std::bad_alloc)\r\n/opt/veldmark\r\n/Decode\r\nRU.FILES\r\n";
  ASSERT_GE(report.size(), tail.size());
  EXPECT_EQ(report.substr(report.size() - tail.size()), tail);
  EXPECT_EQ(Cp866ToUtf8(console.output).rfind(kRequest, 0), 0u);
  EXPECT_EQ(console.KeysLeft(), 2u);
}

TEST_F(FailureReportTest, OnlyTheFirstFailureIsReported) {
  run.failures.ReportException(run, "first");
  std::string output = console.output;
  run.failures.ReportRunError(run, 203, "std::bad_alloc");
  run.failures.ReportException(run, "second");
  EXPECT_EQ(console.output, output);
  EXPECT_NE(Report().find("Message = first\r\n---\r\n"), std::string::npos);
  EXPECT_EQ(Report().find("203"), std::string::npos);
}

TEST_F(FailureReportTest, AnUnwritableReportStillTellsTheUser) {
  run.paths.ProgramDir = "/no/such/directory/";
  run.failures.ReportException(run, "boom");
  EXPECT_EQ(Cp866ToUtf8(console.output).rfind(kRequest, 0), 0u);
}

}  // namespace
}  // namespace vm
