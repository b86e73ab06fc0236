#include "app/command_line.h"

#include <gtest/gtest.h>

#include "app/mode_arguments.h"
#include "platform/fatal.h"
#include "platform/host_path.h"
#include "support/platform_temp_dir.h"
#include "text/cp866.h"

namespace vm {
namespace {

TEST(CommandLine, CommandsAndSwitchesIgnoreCaseAndOneLeadingMark) {
  CommandLine line({"-all", "/anyway", "scanall", "--Del"});
  EXPECT_EQ(line.CommandWord(), "ALL");
  EXPECT_TRUE(line.ParamPresent("-AnyWay"));
  EXPECT_TRUE(line.ParamPresent("/ScanAll"));
  EXPECT_TRUE(line.ParamPresent("ALL"));
  EXPECT_FALSE(line.ParamPresent("-Del"));  // only one mark is removed: "-DEL" is not "DEL"
  EXPECT_TRUE(line.ParamPresent("--Del"));
  EXPECT_EQ(CommandLine({"/All"}).CommandWord(), CommandLine({"all"}).CommandWord());
  EXPECT_EQ(CommandLine({Cp866("/область")}).CommandWord(), Cp866("ОБЛАСТЬ"));
}

TEST(CommandLine, QuestionMarkInAnyForm) {
  EXPECT_TRUE(CommandLine({"?"}).ParamPresent("?"));
  EXPECT_TRUE(CommandLine({"/?"}).ParamPresent("?"));
  EXPECT_TRUE(CommandLine({"/Encode", "-?"}).ParamPresent("?"));
  EXPECT_EQ(CommandLine({"/Encode", "-?"}).CommandWord(), "ENCODE");
  EXPECT_FALSE(CommandLine({"/Encode", "a?"}).ParamPresent("?"));
}

TEST(CommandLine, WithoutArgumentsOnlyTheEmptyWordIsPresent) {
  CommandLine none({});
  EXPECT_EQ(none.Count(), 0u);
  EXPECT_EQ(none.CommandWord(), "");
  EXPECT_FALSE(none.ParamPresent("?"));
  EXPECT_TRUE(none.ParamPresent("-"));  // compared once with the empty argument 1
  EXPECT_EQ(none.Argument(1), "");
}

TEST(CommandLine, StartLogLineListsEveryArgument) {
  EXPECT_EQ(CommandLine({"/Decode", "RU.TEST"}).StartLogLine(),
            Cp866("Запуск с параметрами: /Decode RU.TEST "));
  EXPECT_EQ(CommandLine({}).StartLogLine(), Cp866("Запуск с параметрами: "));
}

// The argument checks of /Encode and /Open against a table of two areas.
class ModeArgumentsTest : public ::testing::Test {
 protected:
  ModeArgumentsTest() {
    settings.ADDRESS = "2:5020/100";
    settings.address = settings.lastParsedAddress = NetAddress{2, 5020, 100, 0};
    areas.At(areas.FindOrCreate("NETMAIL")).areaId = "FC:\\NETMAIL";
    areas.At(areas.FindOrCreate("RU.FILES")).areaId = "JC:\\RUFILES";
    dir.WriteFile("Файл.zip", "data");
    file = ProgramPathFromHost(dir / "Файл.zip");
  }

  EncodeRequest Encode(std::vector<std::string> arguments, EncodeFlags defaults = kEncodeUu) {
    arguments.insert(arguments.begin(), "/Encode");
    return CheckEncodeArguments(CommandLine(std::move(arguments)), settings, areas, "/start",
                                defaults);
  }
  OpenRequest Open(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "/Open");
    return CheckOpenArguments(CommandLine(std::move(arguments)), settings, areas);
  }
  template <typename Check>
  std::string FatalMessage(Check check) {
    try {
      check();
    } catch (const FatalStop& stop) {
      return stop.Message();
    }
    return "";
  }

  Settings settings;
  AreaTable areas;
  ScopedTempDir dir;
  std::string file;
};

TEST_F(ModeArgumentsTest, EncodeWithOnlyDelPostsToTheOwnAddress) {
  EncodeRequest request =
      Encode({file, "uu", "ru.files", "Ivan Petrov", "-Del"}, kSendImmediately | kPrivate);
  EXPECT_EQ(request.area, 2);
  EXPECT_EQ(request.destination, "2:5020/100");
  EXPECT_EQ(request.recipient, "Ivan Petrov");
  // The encoding and the three switches are set or cleared; other default bits stay.
  EXPECT_EQ(request.flags, kEncodeUu | kDeleteAfterSending | kPrivate);
  EXPECT_EQ(request.postedName, Cp866("ФАЙЛ.ZIP"));
  EXPECT_EQ(request.filePath, file);  // absolute: not joined to the start directory
}

TEST_F(ModeArgumentsTest, EncodeTypesSwitchesAndAddresses) {
  EXPECT_EQ(Encode({file, "Text", "NETMAIL", "All", "1/2", "-Immed", "-NoTxtHead"}).flags,
            kSendImmediately | kNoTemplate);
  EXPECT_EQ(Encode({file, "XX", "NETMAIL", "All"}, kEncodeMime).flags, kEncodeXx);
  EXPECT_EQ(Encode({file, "mime", "NETMAIL", "All"}).flags, kEncodeMime);
  EXPECT_EQ(Encode({file, "UU", "NETMAIL", "All", "1/2"}).destination, "2:1/2");
  EXPECT_EQ(Encode({file, "UU", "NETMAIL", "All", "3:4/5.6"}).destination, "3:4/5.6");
  // No address at all, as the help text promises: the own one.
  EXPECT_EQ(Encode({file, "UU", "NETMAIL", "All"}).destination, "2:5020/100");
}

TEST_F(ModeArgumentsTest, EncodeStopsOnTheFirstBadArgument) {
  EXPECT_EQ(FatalMessage([&] {
              Encode({"no-such.zip", "ZIP", "nowhere", "All"});
            }),
            Cp866("Файл NO-SUCH.ZIP не найден"));
  EXPECT_EQ(FatalMessage([&] {
              Encode({ProgramPathFromHost(dir.path()), "UU", "NETMAIL", "x"});
            }),
            Cp866("Файл ") + UpCaseCp866(ProgramPathFromHost(dir.path())) + Cp866(" не найден"));
  EXPECT_EQ(FatalMessage([&] {
              Encode({file, "ZIP", "Ru.Nowhere", "All"});
            }),
            Cp866("Конференция Ru.Nowhere не найдена"));
  EXPECT_EQ(FatalMessage([&] {
              Encode({file, "zip", "NETMAIL", "All"});
            }),
            Cp866("Неизвестный тип: zip"));
  EXPECT_EQ(FatalMessage([&] {
              Encode({file, "UU", "NETMAIL", "All", "Petrov"});
            }),
            Cp866("Неправильный адрес!"));
}

TEST_F(ModeArgumentsTest, OpenSplitsNameWordsFromTheAddress) {
  OpenRequest request = Open({"NetMail", "Ivan", "Petrov", "2:5020/200", "ignored"});
  EXPECT_EQ(request.area, 1);
  EXPECT_EQ(request.recipient, "Ivan Petrov");
  EXPECT_EQ(request.destination, "2:5020/200");

  request = Open({"netmail"});
  EXPECT_FALSE(request.recipient.has_value());
  EXPECT_FALSE(request.destination.has_value());

  request = Open({"netmail", "201"});  // a name must not begin with a digit
  EXPECT_EQ(request.recipient, "");
  EXPECT_EQ(request.destination, "2:5020/201");

  request = Open({"netmail", "Sysop"});
  EXPECT_EQ(request.recipient, "Sysop");
  EXPECT_FALSE(request.destination.has_value());
}

TEST_F(ModeArgumentsTest, OpenStopsOnAnUnknownAreaOrABadAddress) {
  EXPECT_EQ(FatalMessage([&] { Open({Cp866("ру.нет")}); }), Cp866("Область РУ.НЕТ не найдена"));
  EXPECT_EQ(FatalMessage([&] {
              Open({"NETMAIL", "Ivan", "2:x"});
            }),
            Cp866("Неправильный адрес \"куда\""));
  EXPECT_EQ(FatalMessage([&] { FindAreaOrStop(CommandLine({"/Decode"}), areas); }),
            Cp866("Область  не найдена"));
}

}  // namespace
}  // namespace vm
