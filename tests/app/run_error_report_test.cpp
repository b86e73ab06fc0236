// Run-time errors of the whole program: the fault probe runs the program's own start-up and
// then fails in the way its command word names; the report must be the one /Debug lists,
// followed by the error and the command line, printed and written once, and the program must
// end with code 2 at once, whatever its stdin is.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>

#include "support/e2e_program.h"
#include "text/cp866.h"

namespace vm {
namespace {

const std::string kBanner = " Veldmark v1.61.40 Win32b        Сборка для Linux\n\n";
const std::string kRequest =
    "При работе программы Veldmark произошла неисправимая ошибка. Пожалуйста,\n"
    "пошлите файл VELDMARK.DBG по указанному адресу:\n"
    "  автору Veldmark, в конференцию поддержки программы\n"
    "\n";

ProgramRun RunProbe(const E2eNode& node, const std::string& fault,
                    std::optional<std::string> input) {
  ProgramRunOptions options = NodeRunOptions(node, std::move(input));
  // The sanitizers must leave the fatal signals to the program, and let a request no
  // allocator can grant fail as an allocation failure.
  options.environment["ASAN_OPTIONS"] =
      "allocator_may_return_null=1:handle_segv=0:handle_sigbus=0:handle_sigfpe=0:"
      "handle_sigill=0:handle_abort=0";
  options.timeLimitSeconds = 20;
  return RunProgramFile(VELDMARK_FAULT_PROBE, {fault, "RU.FILES"}, options);
}

TEST(RunErrorReport, EachFaultIsReportedOnceWithTheListingAndTheCommandLine) {
  E2eNode node({"AREA MSG NETMAIL netmail", "REPORTAREA netmail"});
  ASSERT_EQ(RunInNode(node, {"/Debug"}).exitCode, 0);
  const std::string listing = Cp866ToUtf8(node.Read("VELDMARK.DBG"));
  const std::string commandLine = std::string(VELDMARK_FAULT_PROBE) + "\r\n";

  // A signal's report puts the terminal in order first: the probe marks that on stdout. With
  // two faults at once the second waits, so terminal, file and console see one report.
  const std::string kRestored = "terminal restored\n";
  const struct {
    const char* fault;
    const char* errorLine;  // a regular expression
    std::string output;
  } kFaults[] = {
      {"/Segv", "Ошибка 216 \\(SIGSEGV\\) в 00000000:00000010", kBanner + kRestored + kRequest},
      {"/Divide", "Ошибка 200 \\(SIGFPE\\) в [0-9A-F]{8}:[0-9A-F]{8}",
       kBanner + kRestored + kRequest},
      {"/NoMemory", "Ошибка 203 \\(std::bad_alloc\\)", kBanner + kRequest},
      {"/Abort", "Ошибка 217 \\(SIGABRT\\)", kBanner + kRestored + kRequest},
      {"/Threads", "Ошибка 216 \\(SIGSEGV\\) в 00000000:00000010", kBanner + kRestored + kRequest},
  };
  for (const auto& [fault, errorLine, output] : kFaults) {
    for (const std::optional<std::string>& input :
         {std::optional<std::string>(""), std::optional<std::string>()}) {
      SCOPED_TRACE(std::string(fault) + (input ? " with a pipe" : " with /dev/null"));
      std::remove((node.path() + "/VELDMARK.DBG").c_str());
      auto started = std::chrono::steady_clock::now();
      ProgramRun run = RunProbe(node, fault, input);
      EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
      EXPECT_EQ(run.exitCode, 2);
      EXPECT_EQ(run.output, output);

      std::string report = Cp866ToUtf8(node.Read("VELDMARK.DBG"));
      ASSERT_EQ(report.rfind(listing + "---\r\n", 0), 0u) << report;
      std::string rest = report.substr(listing.size() + 5);
      size_t lineEnd = rest.find("\r\n");
      ASSERT_NE(lineEnd, std::string::npos) << rest;
      EXPECT_TRUE(std::regex_match(rest.substr(0, lineEnd), std::regex(errorLine))) << rest;
      EXPECT_EQ(rest.substr(lineEnd + 2), commandLine + fault + "\r\nRU.FILES\r\n");
      EXPECT_EQ(report.find("---", listing.size() + 1), std::string::npos);  // one report
    }
  }
}

// A symbolic link placed at VELDMARK.DBG never makes a report overwrite the file it points to:
// the report replaces the link, whichever way it is written.
TEST(RunErrorReport, ALinkAtTheReportIsReplacedAndItsTargetKeepsItsBytes) {
  E2eNode node;
  ScopedTempDir elsewhere;
  elsewhere.WriteFile("precious", "21 bytes of sysop's\r\n");
  const std::string report = node.path() + "/VELDMARK.DBG";
  for (const char* fault : {"/Segv", "/NoMemory", "/Debug"}) {
    SCOPED_TRACE(fault);
    std::filesystem::remove(report);
    std::filesystem::create_symlink(elsewhere / "precious", report);
    ProgramRun run = std::string(fault) == "/Debug" ? RunInNode(node, {fault})
                                                    : RunProbe(node, fault, std::nullopt);
    EXPECT_EQ(run.exitCode, std::string(fault) == "/Debug" ? 0 : 2) << run.output;
    EXPECT_EQ(elsewhere.ReadFile("precious"), "21 bytes of sysop's\r\n");
    EXPECT_FALSE(std::filesystem::is_symlink(report));
    EXPECT_EQ(node.Read("VELDMARK.DBG").rfind("Veldmark v1.61.40", 0), 0u);
  }
}

}  // namespace
}  // namespace vm
