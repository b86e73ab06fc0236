#include "encode/section_message.h"

#include <gtest/gtest.h>

#include "posting_fixture.h"

namespace vm {
namespace {

using test::CapturingBase;
using test::EntryFor;
using test::TestData;

class SectionMessageTest : public ::testing::Test {
 protected:
  SectionMessageTest() : environment(settings, serials) {
    environment.clock = [] { return DateTime{2026, 3, 5, 9, 7, 0}; };
    environment.workDirectory = dir / "work";
    dir.WriteFile("A.ZIP", TestData(45 * 2 * 12));
  }

  // Posts section `number` of A.ZIP (12 sections of 2 UU lines) with the template lines.
  SectionMessage Build(const std::vector<std::string>& lines, int32_t number,
                       EncodeFlags flags = kEncodeUu, const std::string& name = "A.ZIP") {
    entry = EntryFor(dir / name, flags, 2, "A.ZIP");
    entry.offset = (number - 1) * 90;
    PostedFile file;
    EXPECT_TRUE(OpenPostedFile(entry, file));
    return BuildSectionMessage(entry, file, lines, false, base, environment);
  }
  std::vector<std::string> Text() const { return base.Lines(base.messages.size() - 1); }
  const MemoryMessage& Message() const { return base.messages.back(); }

  ScopedTempDir dir;
  Settings settings;
  MsgIdSerialSource serials;
  PostingEnvironment environment;
  CapturingBase base;
  QueueEntry entry;
};

TEST_F(SectionMessageTest, DirectivesInTheFirstAndALaterSection) {
  const std::vector<std::string> lines = {"; @SECTION in a comment",
                                          "Hello, %TONAME%!",
                                          "@HEAD This is %NAME%.",
                                          "@INFO not asked for",
                                          "@ID_DIZ not asked for",
                                          "@CUSTOMTEXT",
                                          "@unknown words",
                                          "@section",
                                          "@SECTION",
                                          "@SUBJ %NAME% (%CURRENT%/%TOTAL%)",
                                          "bye"};
  SectionMessage first = Build(lines, 1);
  EXPECT_FALSE(first.finished);
  EXPECT_EQ(first.writeResult, 0);
  std::vector<std::string> text = Text();
  ASSERT_GE(text.size(), 6u);
  EXPECT_EQ(text[0], "Hello, All!");
  EXPECT_EQ(text[1], "This is A.ZIP.");
  EXPECT_EQ(text[2], "section 1 of 12 of file a.zip < uuencoded by Veldmark v1.61.40 >");
  EXPECT_EQ(text[text.size() - 3], "bye");
  EXPECT_EQ(text[text.size() - 2].rfind("\x01MSGID: 2:5020/100 ", 0), 0u);
  EXPECT_EQ(text[text.size() - 2].size(), 19u + 8);
  EXPECT_EQ(text.back(), "\x01PID: Veldmark v1.61.40 Win32b ");
  EXPECT_EQ(std::count_if(text.begin(), text.end(),
                          [](const std::string& line) { return line.rfind("section ", 0) == 0; }),
            1)
      << "one section body, not two";
  EXPECT_EQ(Message().subject, "A.ZIP (1/12)");
  EXPECT_EQ(Message().date, "03-05-26");
  EXPECT_EQ(Message().time, "09:07");
  EXPECT_EQ(entry.offset, 90);

  Build(lines, 12);
  text = Text();
  EXPECT_EQ(text[1], "section 12 of 12 of file a.zip < uuencoded by Veldmark v1.61.40 >");
  EXPECT_EQ(Message().subject, "A.ZIP (12/12)");
}

TEST_F(SectionMessageTest, SubjectTemplateWithoutSectionAndNoTemplate) {
  Build({"@SUBJ", "text only"}, 3);
  EXPECT_EQ(Message().subject, "[3/12] A.ZIP");
  EXPECT_EQ(Text()[0], "text only");

  // A template without a SECTION line posts no section: the file counts as sent.
  EXPECT_TRUE(Build({"text only"}, 3).finished);

  // Without a template: only the body, the bracketed subject and the kludges.
  EXPECT_FALSE(Build({"Hello", "@SECTION"}, 3, kEncodeUu | kNoTemplate).finished);
  EXPECT_EQ(Text()[0].rfind("section 3 of 12", 0), 0u);
  EXPECT_EQ(Message().subject, "[3/12] A.ZIP");
  EXPECT_EQ(Text().back(), "\x01PID: Veldmark v1.61.40 Win32b ");

  base.failWrites = true;
  EXPECT_NE(Build({"@SECTION"}, 1).writeResult, 0);
}

TEST_F(SectionMessageTest, FileIdDizRunsTheArchiverWithTheDirectivesText) {
  settings.archivers.push_back(
      {"ZIP", "cp %1 %3/copied.zip; printf 'line one\\r\\nline two\\r\\n' > %3/%2"});
  const std::vector<std::string> lines = {"@FILE_ID ; true", "@SECTION"};
  Build(lines, 1, kEncodeUu | kInsertFileIdDiz);
  std::vector<std::string> text = Text();
  EXPECT_EQ(text[0], "          line one");
  EXPECT_EQ(text[1], "          line two");
  EXPECT_TRUE(dir.Exists("work/copied.zip"));
  EXPECT_FALSE(dir.Exists("work/file_id.diz"));

  Build(lines, 2, kEncodeUu | kInsertFileIdDiz);  // first section only
  EXPECT_EQ(Text()[0].rfind("section 2", 0), 0u);

  // A file name that a shell would take apart reaches the archiver as one word.
  const std::string hostile = "-$(touch PWNED); 'q' `x`.zip";
  dir.WriteFile(hostile, "data");
  Build(lines, 1, kEncodeUu | kInsertFileIdDiz, hostile);
  EXPECT_EQ(Text()[0], "          line one");
  EXPECT_FALSE(dir.Exists("PWNED"));
  EXPECT_FALSE(dir.Exists("work/PWNED"));
}

TEST_F(SectionMessageTest, TheExampleNodesTemplateActsOnEveryFirstSectionOption) {
  const auto lines = ReadTemplate(VELDMARK_SOURCE_DIR "/examples/node/VELDMARK.TPL");
  ASSERT_TRUE(lines);
  settings.archivers.push_back({"ZIP", "printf 'Example tools\\r\\n' > %3/%2"});
  environment.userText = [] { return std::string("Typed by the sysop."); };
  const auto firstSection = [&](EncodeFlags options) {
    Build(*lines, 1, kEncodeUu | options);
    std::vector<std::string> text = Text();
    return std::vector<std::string>(text.begin(), text.begin() + 4);
  };
  EXPECT_EQ(firstSection(kInsertText | kFileInformation | kInsertFileIdDiz),
            (std::vector<std::string>{"Hello, All!", "", "Typed by the sysop.",
                                      "This is A.ZIP, 1080 bytes in 12 sections."}));
  const std::vector<std::string> text = Text();
  EXPECT_EQ(text[4].rfind("The file is dated ", 0), 0u) << text[4];
  EXPECT_NE(text[4].find("; 2 lines a section."), std::string::npos) << text[4];
  EXPECT_EQ(text[5], "          Example tools");
  EXPECT_EQ(text[6].rfind("section 1 of 12 of file a.zip", 0), 0u);
  // Without the options the first section has the greeting, the head line and the section.
  EXPECT_EQ(firstSection(0),
            (std::vector<std::string>{
                "Hello, All!", "", "This is A.ZIP, 1080 bytes in 12 sections.",
                "section 1 of 12 of file a.zip < uuencoded by Veldmark v1.61.40 >"}));
}

TEST_F(SectionMessageTest, TemplateLinesAreCutAt255) {
  dir.WriteFile("long.tpl", std::string(300, 'x') + "\r\n@SECTION\nlast");
  const auto lines = ReadTemplate(dir / "long.tpl");
  ASSERT_TRUE(lines);
  EXPECT_EQ(*lines, (std::vector<std::string>{std::string(255, 'x'), "@SECTION", "last"}));
  EXPECT_FALSE(ReadTemplate(dir / "missing.tpl"));
}

}  // namespace
}  // namespace vm
