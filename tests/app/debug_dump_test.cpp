#include "app/debug_dump.h"

#include <gtest/gtest.h>

#include "text/cp866.h"

namespace vm {
namespace {

TEST(DebugListing, ListsEverySettingAndArea) {
  ProgramPaths paths;
  paths.TempDir = "/var/tmp/";
  Settings settings;
  settings.NAME = "Ivan Petrov";
  settings.ADDRESS = "2:5020/100";
  settings.akas = {NetAddress{2, 5020, 100, 0}, NetAddress{2, 5020, 100, 7}};
  settings.SHOWHIDDEN = true;
  settings.SORTAREAS = SortAreasMode::Type;
  settings.HUDSONPATH = "C:\\HUDSON\\";
  settings.TERMINATECFG = "C:\\TM\\TM.CFG";
  settings.RECEIVEMODE = ReceiveMode::Advanced;
  settings.ROOT = "C:\\FILES";
  settings.DUPES = DupesPolicy::Delete;
  settings.FILESBBS = FilesBbsMode::Off;
  settings.TEMPPATH = "C:\\OUT\\";
  settings.LINESPERSEC = 200;
  settings.PACKER = "zip %1 %2";
  settings.archivers = {{"zip", "unzip %1"}};
  settings.externalUtilities = {{"~V~iew", "F3", 0x3D00, "less %1", 6}};
  AreaTable areas;
  AreaEntry& mail = areas.At(areas.FindOrCreate("NETMAIL"));
  mail.netmail = 1;
  mail.SectionsPerDay = 10;
  mail.HistoryDays = 30;
  AreaEntry& files = areas.At(areas.FindOrCreate("RU.FILES"));
  files.exclude = 1;
  files.sendMode = SendMode::Sequential;

  EXPECT_EQ(DebugListing(paths, settings, areas),
            Cp866("Veldmark v1.61.40 Win32b \r\n"
                  "NAME               = \"Ivan Petrov\"\r\n"
                  "ADDRESS 2:5020/100\r\n"
                  "  AKA 2:5020/100.0\r\n"
                  "  AKA 2:5020/100.7\r\n"
                  "TEMP               = /var/tmp/\r\n"
                  "SHOWHIDDEN         = yes\r\n"
                  "SORTAREAFILES      = no\r\n"
                  "SORTAREAS          = type\r\n"
                  "HUDSONPATH         = C:\\HUDSON\\\r\n"
                  "FASTECHOCFG        = \r\n"
                  "AREASPATH          = \r\n"
                  "SQUISHPATH         = \r\n"
                  "TERMAILPATH        = C:\\TM\\TM.CFG\r\n"
                  "RECIEVEMODE        = advanced\r\n"
                  "ROOT               = C:\\FILES\r\n"
                  "REPORTAREA         = \r\n"
                  "HEADERLINES        = 2147483647\r\n"
                  "DELETEDECODED      = no\r\n"
                  "DELETEBAD          = no\r\n"
                  "DUPES              = erase\r\n"
                  "FILESBBS           = off\r\n"
                  "ALLFIXFILESBBS     = no\r\n"
                  "TEMPPATH           =C:\\OUT\\\r\n"
                  "LINESPERSEC        = 200\r\n"
                  "HSUBST             = yes\r\n"
                  "HEADERS            = no\r\n"
                  "HIDEARC            = no\r\n"
                  "PACKER             = \"zip %1 %2\"\r\n"
                  "Архиваторы:\r\n"
                  "  ZIP \"unzip %1\"\r\n"
                  "Внешние утилиты:\r\n"
                  "   \"~V~iew\" F3 \"less %1\" 6\r\n"
                  "Параметры областей:\r\n"
                  "  NETMAIL  NetMail = yes  Exclude = no  SectionsPerDay = 10\r\n"
                  "    HistoryLength = 30  Sendmode = parallel\r\n"
                  "  RU.FILES  NetMail = no  Exclude = yes  SectionsPerDay = 65535\r\n"
                  "    HistoryLength = 0  Sendmode = sequental\r\n"));
}

}  // namespace
}  // namespace vm
