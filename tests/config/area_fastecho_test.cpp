// FASTECHO.CFG, built byte by byte.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "config/area_test_node.h"
#include "config/fastecho_builder.h"
#include "config/fastecho_config.h"
#include "platform/fatal.h"

namespace vm {
namespace {

using fetest::FastEchoBuilder;
using fetest::Put16;
using fetest::Put32;

class FastEchoTest : public ::testing::Test {
 protected:
  AreaTestNode node;
  AreaTestContext t;
  FastEchoBuilder fe;

  void Read() {
    std::string path = node.Write("FE/FASTECHO.CFG", fe.Build());
    t.settings.FASTECHOCFG = UpCaseCp866(path);
    ReadFastEchoConfig(path, t.context);
  }
  std::string ReadExpectingStop(const std::string& bytes) {
    try {
      ReadFastEchoConfig(node.Write("BAD.CFG", bytes), t.context);
    } catch (const FatalStop& stop) {
      return stop.Message();
    }
    return "";
  }
};

TEST_F(FastEchoTest, AreasOfEveryStorageType) {
  fe.areas = {
      {"RU.MSG", 0x4000, 1, 1, 0, "C:\\FE\\RU.MSG\\", "Messages"},
      {"RU.SQUISH", 0x4000, 0, 2, 0, "C:\\FE\\SQ\\RU", "Squish base"},
      {"RU.JAM", 0x4000, 5, 3, 0, "C:\\FE\\JAM\\RU", ""},
      {"RU.HUDSON", 12, 0, 0, 0, "", "Hudson board"},
      {"RU.PASSED", 0x4000, 0, 7, 0, "", ""},
      {"RU.DELETED", 0x8000, 0, 1, 0, "C:\\FE\\DEL", ""},
      {"NETMAIL.FE", 0x4000, 0, 1, 1, "C:\\FE\\NETMAIL\\", ""},
      {"RU.NOBOARD", 0x4000, 0, 0, 0, "", ""},
  };
  Read();
  ASSERT_EQ(t.areas.Count(), 5);
  const AreaEntry& msg = t.Area("RU.MSG");
  EXPECT_EQ(msg.areaId, "FC:\\FE\\RU.MSG");
  EXPECT_EQ(msg.displayName, "RU.MSG");
  EXPECT_EQ(msg.address, (NetAddress{2, 5020, 1, 7}));
  EXPECT_EQ(msg.SectionsPerDay, kUnlimited);
  EXPECT_EQ(msg.HistoryDays, 0u);
  EXPECT_EQ(msg.netmail, 0);
  EXPECT_EQ(t.Area("RU.SQUISH").areaId, "SC:\\FE\\SQ\\RU");
  EXPECT_EQ(t.Area("RU.SQUISH").address, (NetAddress{2, 5020, 1, 0}));
  EXPECT_EQ(t.Area("RU.JAM").areaId, "JC:\\FE\\JAM\\RU");
  EXPECT_TRUE(t.Area("RU.JAM").address.IsEmpty());  // no own address number 5
  EXPECT_EQ(t.Area("RU.HUDSON").areaId, "H012C:\\FE\\HUDSON\\");
  EXPECT_EQ(t.Area("NETMAIL.FE").netmail, 1);
  EXPECT_EQ(t.areas.FindArea("RU.PASSED"), 0);
  EXPECT_EQ(t.areas.FindArea("RU.DELETED"), 0);
  EXPECT_EQ(t.areas.FindArea("RU.NOBOARD"), 0);

  // The netmail directory is an area already, so no FastEcho netmail area is added.
  AddFastEchoNetmail(t.context);
  EXPECT_EQ(t.areas.Count(), 5);
}

TEST_F(FastEchoTest, DescriptionsAsNamesLongerRecordsAndTheNetmailArea) {
  t.settings.USEID = true;
  fe.areaRecordSize = 300;
  fe.nodeCount = 3;
  fe.nodeRecordSize = 77;
  fe.areas = {{"RU.ONE", 0x4000, 0, 1, 0, "C:\\ONE", "The first area, described at length here"},
              {"RU.TWO", 0x4000, 0, 3, 0, "C:\\TWO", ""}};
  Read();
  EXPECT_EQ(t.Area("RU.ONE").displayName, "The first area, described at length he");
  EXPECT_EQ(t.Area("RU.TWO").displayName, "RU.TWO");
  EXPECT_EQ(t.Area("RU.TWO").areaId, "JC:\\TWO");

  AddFastEchoNetmail(t.context);
  ASSERT_EQ(t.areas.Count(), 3);
  const AreaEntry& netmail = t.areas.At(3);
  EXPECT_EQ(netmail.tag, "NETMAIL");
  EXPECT_EQ(netmail.displayName, "FastEcho NetMail");
  EXPECT_EQ(netmail.areaId, "FC:\\FE\\NETMAIL");
  EXPECT_EQ(netmail.netmail, 1);
  EXPECT_EQ(netmail.SectionsPerDay, kUnlimited);
  EXPECT_EQ(netmail.HistoryDays, kUnlimited);
}

TEST_F(FastEchoTest, OwnAddressesAsFarAsTheRecordHoldsThem) {
  // The count byte says three, the record holds two; with no type-7 record there are none.
  fe.akaCountField = 2;
  fe.areas = {{"A", 0x4000, 1, 1, 0, "C:\\A", ""}, {"B", 0x4000, 2, 1, 0, "C:\\B", ""}};
  Read();
  EXPECT_EQ(t.Area("A").address, (NetAddress{2, 5020, 1, 7}));
  EXPECT_TRUE(t.Area("B").address.IsEmpty());

  FastEchoBuilder noAkas = fe;
  noAkas.akas.clear();
  FastEchoConfig parsed = ParseFastEchoConfig(
      noAkas.Build().size(), [bytes = noAkas.Build()](uint64_t at, void* out, size_t n) {
        size_t got = at < bytes.size() ? std::min(n, bytes.size() - at) : 0;
        std::memcpy(out, bytes.data() + at, got);
        return got;
      });
  EXPECT_TRUE(parsed.akas.empty());
  EXPECT_EQ(parsed.areas.size(), 2u);
}

TEST_F(FastEchoTest, OldTruncatedAndMissingFilesStop) {
  std::string old = Cp866("Это старый FASTECHO.CFG. Необходим файл версии 6 или старше");
  fe.revision = 5;
  EXPECT_EQ(ReadExpectingStop(fe.Build()), old);
  EXPECT_EQ(ReadExpectingStop(std::string("\x05\x00", 2)), old);
  fe.revision = 6;
  std::string full = fe.Build();
  std::string truncated = ReadExpectingStop(full.substr(0, 0x1000));
  EXPECT_NE(truncated.find(Cp866("повреждён")), std::string::npos);
  EXPECT_EQ(ReadExpectingStop(""), truncated);

  std::string missing = node.Path("fe/none.cfg");
  try {
    ReadFastEchoConfig(missing, t.context);
    FAIL();
  } catch (const FatalStop& stop) {
    EXPECT_EQ(stop.Message(), Cp866("Файл ") + UpCaseCp866(missing) + Cp866(" не найден."));
  }
}

TEST_F(FastEchoTest, DamagedRecordListsEndCleanly) {
  fe.areas = {{"A", 0x4000, 0, 1, 0, "C:\\A", ""},
              {"B", 0x4000, 0, 1, 0, "C:\\B", ""},
              {"C", 0x4000, 0, 1, 0, "C:\\C", ""}};
  std::string full = fe.Build();
  // Cut inside the last record: the two whole ones are read.
  ReadFastEchoConfig(node.Write("CUT.CFG", full.substr(0, full.size() - 10)), t.context);
  EXPECT_EQ(t.areas.Count(), 2);

  // Counts and sizes beyond anything the file holds.
  struct Damage {
    size_t offset;
    uint32_t value;
    int areasLeft;
  };
  for (Damage damage : {Damage{0x0008, 65535, 3},  // area count
                        Damage{0x0006, 65535, 0},  // node count ...
                        Damage{0x121E, 65535, 0},  // ... or node record size
                        Damage{0x1216, 65535, 1},  // area record size
                        Damage{0x1216, 3, 3}}) {   // too small: stepped as 190
    std::string bytes = full;
    Put16(bytes, damage.offset, damage.value);
    AreaTestContext fresh;
    ReadFastEchoConfig(node.Write("DAMAGED.CFG", bytes), fresh.context);
    EXPECT_EQ(fresh.areas.Count(), damage.areasLeft) << damage.offset << " " << damage.value;
  }

  std::string bytes = full;
  Put32(bytes, 0x1220, 0xFFFFFFF0u);
  AreaTestContext fresh;
  ReadFastEchoConfig(node.Write("HUGE.CFG", bytes), fresh.context);
  EXPECT_EQ(fresh.areas.Count(), 0);
  // An extension record claiming more than the block holds ends the address search.
  bytes = full;
  Put32(bytes, 0x1224 + 2, 0x7FFFFFFF);
  ReadFastEchoConfig(node.Write("BADEXT.CFG", bytes), fresh.context);
  EXPECT_EQ(fresh.areas.Count(), 3);
  EXPECT_TRUE(fresh.Area("A").address.IsEmpty());
}

TEST_F(FastEchoTest, RandomBytesNeverCrash) {
  std::mt19937 random(1234);
  for (int round = 0; round < 100; ++round) {
    std::string bytes = fe.Build();
    bytes.resize(random() % (bytes.size() + 2000));
    for (int flips = 0; flips < 30 && !bytes.empty(); ++flips)
      bytes[random() % bytes.size()] = static_cast<char>(random());
    AreaTestContext fresh;
    try {
      ReadFastEchoConfig(node.Write("RANDOM.CFG", bytes), fresh.context);
    } catch (const FatalStop&) {
    }
    EXPECT_LE(fresh.areas.Count(), AreaTable::kCapacity);
  }
}

}  // namespace
}  // namespace vm
