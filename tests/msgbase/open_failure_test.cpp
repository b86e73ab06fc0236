// Why an area cannot be opened: each variant tells a missing directory, a permission refused,
// a damaged base header and a lock held by another program apart, by code and by reason.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "msgbase/message_base.h"
#include "platform/file.h"
#include "platform/io_result.h"
#include "support/child_process.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

enum class Cause { MissingDirectory, Permission, DamagedHeader, LockHeld };

struct Case {
  char letter;
  Cause cause;
  uint16_t code;
};

// The variants' locators under one directory, and the file whose bytes make each damaged or
// locked (empty where the variant keeps no base header or lock).
struct Variant {
  std::string locator;
  std::string headerFile;
};

const std::map<char, Variant>& Variants() {
  static const std::map<char, Variant> variants{
      {'J', {"jam/base", "jam/base.jhr"}},
      {'S', {"squish/base", "squish/base.SQD"}},
      {'F', {"fido", ""}},
      {'T', {"text/file.txt", ""}},
  };
  return variants;
}

const Case kCases[] = {
    {'J', Cause::MissingDirectory, io::kPathNotFound},
    {'J', Cause::Permission, io::kAccessDenied},
    {'J', Cause::DamagedHeader, 1001},
    {'J', Cause::LockHeld, io::kLockViolation},
    {'S', Cause::MissingDirectory, io::kPathNotFound},
    {'S', Cause::Permission, io::kAccessDenied},
    {'S', Cause::DamagedHeader, 1001},
    {'S', Cause::LockHeld, io::kLockViolation},
    {'F', Cause::MissingDirectory, 500},
    {'F', Cause::Permission, io::kAccessDenied},
    {'T', Cause::MissingDirectory, io::kPathNotFound},
    {'T', Cause::Permission, io::kAccessDenied},
};

// Opens the area and, where the variant locks, takes the lock, as the queue runner does.
OpenFailure OpenAndLock(const std::string& areaId) {
  MessageBaseHandle base;
  OpenFailure failure;
  if (!OpenMessageArea(areaId, base, &failure)) return failure;
  if (!base->Lock()) failure = FailureOf(*base);
  CloseMessageArea(base);
  return failure;
}

// The code of opening as a user who may not read the files: root reads anything, so a root
// test runs the open in a child that has become nobody.
uint16_t OpenWithoutRights(const std::string& areaId) {
  if (geteuid() != 0) return OpenAndLock(areaId).code;
  int status = test::InChild([&] {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(255);
    _exit(OpenAndLock(areaId).code & 0xFF);
  });
  return WIFEXITED(status) ? static_cast<uint16_t>(WEXITSTATUS(status)) : 0xFFFF;
}

class OpenFailureTest : public ::testing::Test {
 protected:
  // Nobody may pass through the scratch directory, but not into the bases.
  void SetUp() override { chmod(dir_.path().c_str(), 0755); }

  // Case i's own base, in a directory of its own.
  std::string Folder(size_t i) const { return "c" + std::to_string(i) + "/"; }
  std::string AreaId(size_t i, std::string_view folder) const {
    return kCases[i].letter + dir_.path() + "/" + std::string(folder) +
           Variants().at(kCases[i].letter).locator;
  }
  std::string AreaId(size_t i) const { return AreaId(i, Folder(i)); }
  std::string HeaderFile(size_t i) const {
    return dir_ / (Folder(i) + Variants().at(kCases[i].letter).headerFile);
  }

  void MakeBase(size_t i) const {
    if (kCases[i].letter == 'T') {
      dir_.WriteFile(Folder(i) + Variants().at('T').locator, "text\r\n");
      return;
    }
    MessageBaseHandle base;
    ASSERT_TRUE(OpenOrCreateMessageArea(AreaId(i), base));
    CloseMessageArea(base);
  }

  // A wrong signature (JAM) or an impossible header length (Squish).
  void Damage(size_t i) const {
    File file;
    ASSERT_TRUE(file.Open(HeaderFile(i), OpenMode::ReadWrite));
    ASSERT_TRUE(file.WriteAt(0, "\xFF\xFF\xFF\xFF", 4));
  }

  // The base's own directory, or the text file, loses every right.
  void TakeRights(size_t i) const {
    const std::string& locator = Variants().at(kCases[i].letter).locator;
    const bool inFolder = kCases[i].letter == 'J' || kCases[i].letter == 'S';
    std::string target =
        dir_ / (Folder(i) + (inFolder ? locator.substr(0, locator.find('/')) : locator));
    ASSERT_EQ(chmod(target.c_str(), 0), 0);
  }

  ScopedTempDir dir_;
};

TEST_F(OpenFailureTest, EachCauseHasItsOwnCodeAndReason) {
  std::vector<OpenFailure> results(std::size(kCases));
  std::vector<File> holders(std::size(kCases));
  std::vector<std::thread> waits;
  for (size_t i = 0; i < std::size(kCases); ++i) {
    MakeBase(i);
    switch (kCases[i].cause) {
      case Cause::MissingDirectory: results[i] = OpenAndLock(AreaId(i, Folder(i) + "gone/")); break;
      case Cause::DamagedHeader:
        Damage(i);
        results[i] = OpenAndLock(AreaId(i));
        break;
      case Cause::LockHeld:
        // The lock attempts wait out their retries side by side.
        ASSERT_TRUE(holders[i].Open(HeaderFile(i), OpenMode::ReadWrite));
        ASSERT_TRUE(holders[i].LockRange(0, 1, 1));
        waits.emplace_back([&, i] { results[i] = OpenAndLock(AreaId(i)); });
        break;
      case Cause::Permission: {
        TakeRights(i);
        uint16_t code = OpenWithoutRights(AreaId(i));
        results[i] = {code, IoReason(code)};
        break;
      }
    }
  }
  for (std::thread& wait : waits) wait.join();

  std::map<char, std::set<uint16_t>> codes;
  std::map<char, std::set<std::string>> reasons;
  for (size_t i = 0; i < std::size(kCases); ++i) {
    const Case& c = kCases[i];
    SCOPED_TRACE(std::string(1, c.letter) + " cause " + std::to_string(static_cast<int>(c.cause)));
    EXPECT_EQ(results[i].code, c.code);
    EXPECT_FALSE(results[i].reason.empty());
    EXPECT_TRUE(codes[c.letter].insert(results[i].code).second) << "code told twice";
    EXPECT_TRUE(reasons[c.letter].insert(results[i].reason).second) << "reason told twice";
  }
}

TEST(OpenFailure, DescribedAfterTheCannotAccessLine) {
  EXPECT_EQ(DescribeOpenFailure({io::kPathNotFound, IoReason(io::kPathNotFound)}),
            Cp866(": нет каталога (код 3)"));
  EXPECT_EQ(DescribeOpenFailure({1001, ""}), Cp866(": код 1001"));
  MessageBaseHandle base;
  OpenFailure failure{7, "x"};
  EXPECT_FALSE(OpenMessageArea("Q/anything", base, &failure));
  EXPECT_EQ(DescribeOpenFailure(failure), Cp866(": неизвестный тип базы"));
}

}  // namespace
}  // namespace vm
