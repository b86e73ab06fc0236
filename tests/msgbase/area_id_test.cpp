// Area ids as the program's files and settings spell them, and the table of base kinds they
// are read by.
#include "msgbase/area_id.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <typeinfo>

#include "msgbase/base_kinds.h"
#include "msgbase/message_base.h"

namespace vm {
namespace {

struct Spelled {
  std::string text;
  BaseKind kind;
  bool lowerCase;
  std::string board;
  std::string location;
};

// Ids as the settings readers write them into the area table and so into AREAS.LST, as
// QUEUE.LST and VELDMARK.DUP hold them (upper-cased), as the shell opens a text file, and as
// old or hand-edited files may hold them.
const Spelled kSpelled[] = {
    {"FC:\\FIDO\\NETMAIL", BaseKind::Fido, false, "", "C:\\FIDO\\NETMAIL"},
    {"fc:\\fido\\netmail", BaseKind::Fido, true, "", "c:\\fido\\netmail"},
    {"FC:\\My Files\\Net Mail", BaseKind::Fido, false, "", "C:\\My Files\\Net Mail"},
    {"F", BaseKind::Fido, false, "", ""},
    {"SC:\\FIDO\\SQ\\RU.UUE", BaseKind::Squish, false, "", "C:\\FIDO\\SQ\\RU.UUE"},
    {"s/var/spool/fido/sq/ru", BaseKind::Squish, true, "", "/var/spool/fido/sq/ru"},
    {"JC:\\FIDO\\JAM\\BIN", BaseKind::Jam, false, "", "C:\\FIDO\\JAM\\BIN"},
    {"j\\\x8F\xA0\xAF\xAA\xA0\\base", BaseKind::Jam, true, "", "\\\x8F\xA0\xAF\xAA\xA0\\base"},
    {"H001C:\\FIDO\\HUDSON\\", BaseKind::Hudson, false, "001", "C:\\FIDO\\HUDSON\\"},
    {"H200/srv/fido/hudson", BaseKind::Hudson, false, "200", "/srv/fido/hudson"},
    {"h 12C:\\HUDSON", BaseKind::Hudson, true, " 12", "C:\\HUDSON"},
    {"H12", BaseKind::Hudson, false, "12", ""},
    {"H", BaseKind::Hudson, false, "", ""},
    // A one-digit board before a drive: kept as written; the base refuses the board on opening.
    {"H1C:\\FIDO", BaseKind::Hudson, false, "1C:", "\\FIDO"},
    {"T/home/fido/in/post with blanks.txt", BaseKind::TextFile, false, "",
     "/home/fido/in/post with blanks.txt"},
};

TEST(AreaId, EverySpellingReadsAndWritesBackByteForByte) {
  for (const Spelled& s : kSpelled) {
    SCOPED_TRACE(s.text);
    const std::optional<AreaId> id = AreaId::Parse(s.text);
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(id->kind, s.kind);
    EXPECT_EQ(id->lowerCaseLetter, s.lowerCase);
    EXPECT_EQ(id->board, s.board);
    EXPECT_EQ(id->location, s.location);
    EXPECT_EQ(id->Format(), s.text);
    EXPECT_EQ(id->Locator(), s.text.substr(1));
    EXPECT_EQ(AreaLocation(s.text), s.location);
  }
}

TEST(AreaId, TextsThatNameNoKindAreRefused) {
  for (std::string text :
       {std::string(), std::string("X:\\FIDO"), std::string("E"), std::string("1C:\\FIDO"),
        std::string(" FC:\\FIDO"), std::string("\x80:\\FIDO"), std::string("\0F", 2)}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(AreaId::Parse(text).has_value());
    // The location of such a text is still all after its first character.
    EXPECT_EQ(AreaLocation(text), text.substr(std::min<size_t>(1, text.size())));
    MessageBaseHandle base;
    EXPECT_FALSE(MakeMessageBase(text, base));
  }
}

TEST(AreaId, BoardsAreWrittenInTheKindsWidth) {
  EXPECT_EQ(AreaId::OnBoard(BaseKind::Hudson, 1, "C:\\FIDO\\HUDSON\\").Format(),
            "H001C:\\FIDO\\HUDSON\\");
  EXPECT_EQ(AreaId::OnBoard(BaseKind::Hudson, 200, "/srv/hudson").Format(), "H200/srv/hudson");
  EXPECT_EQ(AreaId::OnBoard(BaseKind::Hudson, 1234, "").Format(), "H234");
  EXPECT_EQ(AreaId::OnBoard(BaseKind::Jam, 7, "C:\\JAM\\A").Format(), "JC:\\JAM\\A");
  EXPECT_EQ(AreaId::Of(BaseKind::Hudson, "007C:\\H").board, "007");
  EXPECT_EQ(AreaId::Of(BaseKind::Squish, "C:\\SQ\\RU").Format(), "SC:\\SQ\\RU");
}

// Each enumerator having its row is checked where the table is compiled; here, that the rows
// tell the kinds apart and that each makes its own variant.
TEST(BaseKinds, LettersAndKeywordsAreUniqueAndEachRowMakesItsVariant) {
  std::set<char> letters;
  std::set<std::string_view> keywords;
  for (const BaseKindRow& row : BaseKinds()) {
    SCOPED_TRACE(row.letter);
    EXPECT_TRUE(row.letter >= 'A' && row.letter <= 'Z');
    EXPECT_TRUE(letters.insert(row.letter).second);
    if (!row.keyword.empty()) {
      EXPECT_TRUE(keywords.insert(row.keyword).second);
      EXPECT_EQ(KindOfKeyword(row.keyword), &row);
    }
    EXPECT_FALSE(row.name.empty());
    EXPECT_EQ(&RowOf(row.kind), &row);
    EXPECT_EQ(KindOfLetter(row.letter), &row);
    EXPECT_EQ(KindOfLetter(static_cast<char>(row.letter - 'A' + 'a')), &row);
    MessageBaseHandle made = row.make();
    ASSERT_NE(made, nullptr);
    MessageBaseHandle base;
    ASSERT_TRUE(MakeMessageBase(std::string(1, row.letter) + "x", base));
    EXPECT_EQ(typeid(*base), typeid(*made));
  }
  EXPECT_EQ(KindOfKeyword("msg"), nullptr) << "type words are matched as upper-cased";
  EXPECT_EQ(KindOfKeyword(""), nullptr);
}

}  // namespace
}  // namespace vm
