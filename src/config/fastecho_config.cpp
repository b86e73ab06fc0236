#include "config/fastecho_config.h"

#include <algorithm>
#include <cerrno>

#include "config/area_source.h"
#include "config/config_lines.h"
#include "msgbase/area_id.h"
#include "platform/fatal.h"
#include "platform/file.h"
#include "platform/host_path.h"
#include "text/cp866.h"
#include "text/little_endian.h"
#include "text/text_helpers.h"

namespace vm {
namespace {

// The fixed part (CONFIG) at the start of the file.
constexpr size_t kFixedSize = 0x1224;
constexpr size_t kRevision = 0x0000;    // 16-bit
constexpr size_t kNodeCount = 0x0006;   // 16-bit
constexpr size_t kAreaCount = 0x0008;   // 16-bit
constexpr size_t kNetmailDir = 0x000C;  // zero-terminated, 56 bytes
constexpr size_t kHudsonDir = 0x0044;   // zero-terminated, 56 bytes
constexpr size_t kPathWidth = 56;
constexpr size_t kAkaCount = 0x0CB2;        // 8-bit
constexpr size_t kAreaRecordSize = 0x1216;  // 16-bit
constexpr size_t kNodeRecordSize = 0x121E;  // 16-bit
constexpr size_t kExtensionSize = 0x1220;   // 32-bit, the block between CONFIG and the nodes
constexpr uint16_t kFirstRevision = 6;

// The extension block: records of a 6-byte header (16-bit type, 32-bit data size) and data.
constexpr size_t kExtensionHeaderSize = 6;
constexpr uint16_t kOwnAddressesType = 7;
constexpr size_t kOwnAddressSize = 42;  // zone, net, node, point (16-bit each), domain, ...

// One area record; records may be longer than this in later versions.
constexpr size_t kAreaSize = 190;
constexpr size_t kAreaTag = 0x00;  // zero-terminated, 52 bytes
constexpr size_t kAreaTagWidth = 52;
constexpr size_t kAreaBoard = 0x34;        // 16-bit
constexpr size_t kAreaAka = 0x3C;          // 8-bit
constexpr size_t kAreaFlags = 0x3E;        // 16-bit: storage in bits 0-3, kind in bits 4-7
constexpr size_t kAreaPath = 0x52;         // zero-terminated, 56 bytes
constexpr size_t kAreaDescription = 0x8A;  // zero-terminated, 52 bytes
constexpr size_t kAreaDescriptionWidth = 52;

constexpr uint16_t kBoardDeleted = 0x8000;
constexpr uint16_t kHighestHudsonBoard = 200;
constexpr uint8_t kHighestStorage = 3;  // JAM; 7 is a passed-through area

// The largest file read: 65535 areas and as many nodes, with records of the usual sizes, take
// a few tens of megabytes at most; a larger file is no configuration (and walking it would
// take long).
constexpr size_t kMaxFastEchoConfig = size_t{64} << 20;

// A zero-terminated text in a field of `width` bytes; a field without its zero ends at its
// width.
std::string Text(const uint8_t* p, size_t width) {
  const uint8_t* end = std::find(p, p + width, 0);
  return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(end - p));
}

bool ReadExactly(const ReadAtFunction& readAt, uint64_t offset, void* buffer, size_t size) {
  return readAt(offset, buffer, size) == size;
}

// Walks the extension block record by record and reads the own addresses from the record of
// type 7: entries 0 to the stored count, as far as the record holds them.
std::vector<NetAddress> ReadOwnAddresses(const ReadAtFunction& readAt, uint64_t fileSize,
                                         uint32_t extensionSize, uint8_t akaCount) {
  std::vector<NetAddress> akas;
  // A block said to run past the end of the file is walked only as far as the file goes.
  uint64_t end = std::min<uint64_t>(kFixedSize + uint64_t{extensionSize}, fileSize);
  uint64_t pos = kFixedSize;
  while (pos + kExtensionHeaderSize <= end) {
    uint8_t header[kExtensionHeaderSize];
    if (!ReadExactly(readAt, pos, header, sizeof header)) break;
    uint16_t type = GetLe16(header, 0);
    uint64_t dataStart = pos + kExtensionHeaderSize;
    uint64_t dataSize = GetLe32(header, 2);
    // A record running past the block is damaged, and so is everything after it.
    if (dataSize > end - dataStart) break;
    if (type == kOwnAddressesType) {
      size_t count = std::min<uint64_t>(size_t{akaCount} + 1, dataSize / kOwnAddressSize);
      for (size_t i = 0; i < count; ++i) {
        uint8_t entry[8];
        if (!ReadExactly(readAt, dataStart + i * kOwnAddressSize, entry, sizeof entry)) break;
        akas.push_back(
            {GetLe16(entry, 0), GetLe16(entry, 2), GetLe16(entry, 4), GetLe16(entry, 6)});
      }
      break;
    }
    pos = dataStart + dataSize;
  }
  return akas;
}

// The area record, or false when it is deleted or has no base of its own.
bool ParseArea(const uint8_t* record, FastEchoArea& area) {
  uint16_t board = GetLe16(record, kAreaBoard);
  uint16_t flags = GetLe16(record, kAreaFlags);
  area.storage = static_cast<uint8_t>(flags & 0x0F);
  area.kind = static_cast<uint8_t>((flags >> 4) & 0x0F);
  if ((board & kBoardDeleted) != 0 || area.storage > kHighestStorage) return false;
  // A Hudson area must name a board the base has.
  if (area.storage == 0 && (board == 0 || board > kHighestHudsonBoard)) return false;
  area.board = board;
  area.tag = Text(record + kAreaTag, kAreaTagWidth);
  area.akaIndex = record[kAreaAka];
  area.path = Text(record + kAreaPath, kPathWidth);
  area.description = Text(record + kAreaDescription, kAreaDescriptionWidth);
  return !area.tag.empty();
}

std::string AreaIdOf(const FastEchoArea& area, const FastEchoConfig& config) {
  switch (area.storage) {
    case 0:
      return AreaId::OnBoard(BaseKind::Hudson, area.board, WithTrailingSlash(config.hudsonDir))
          .Format();
    case 1: return AreaId::Of(BaseKind::Fido, WithoutTrailingSlash(area.path)).Format();
    case 2: return AreaId::Of(BaseKind::Squish, area.path).Format();
    default: return AreaId::Of(BaseKind::Jam, area.path).Format();
  }
}

}  // namespace

FastEchoConfig ParseFastEchoConfig(uint64_t fileSize, const ReadAtFunction& readAt) {
  FastEchoConfig config;
  uint8_t fixed[kFixedSize] = {};
  size_t got = readAt(0, fixed, std::min<uint64_t>(fileSize, kFixedSize));
  if (got >= 2 && GetLe16(fixed, kRevision) < kFirstRevision) {
    config.status = FastEchoConfig::Status::OldRevision;
    return config;
  }
  if (got < kFixedSize) {
    config.status = FastEchoConfig::Status::Truncated;
    return config;
  }
  config.netmailDir = Text(fixed + kNetmailDir, kPathWidth);
  config.hudsonDir = Text(fixed + kHudsonDir, kPathWidth);
  uint32_t extensionSize = GetLe32(fixed, kExtensionSize);
  config.akas = ReadOwnAddresses(readAt, fileSize, extensionSize, fixed[kAkaCount]);

  // Records shorter than the fields we read are stepped as if they had the usual size.
  uint64_t step = std::max<uint64_t>(GetLe16(fixed, kAreaRecordSize), kAreaSize);
  uint64_t nodesSize = uint64_t{GetLe16(fixed, kNodeCount)} * GetLe16(fixed, kNodeRecordSize);
  uint64_t start = kFixedSize + uint64_t{extensionSize} + nodesSize;
  uint16_t areaCount = GetLe16(fixed, kAreaCount);
  for (uint64_t i = 0; i < areaCount; ++i) {
    uint64_t offset = start + i * step;
    // The list ends at the first record that the file does not hold whole.
    if (offset > fileSize || fileSize - offset < kAreaSize) break;
    uint8_t record[kAreaSize];
    if (!ReadExactly(readAt, offset, record, sizeof record)) break;
    FastEchoArea area;
    if (ParseArea(record, area)) config.areas.push_back(std::move(area));
  }
  return config;
}

void ApplyFastEchoConfig(const FastEchoConfig& config, AreaReaderContext& context) {
  context.fastEchoNetmailDir = config.netmailDir;
  for (const FastEchoArea& area : config.areas) {
    std::string areaId = AreaIdOf(area, config);
    FoundArea found;
    found.tag = area.tag;
    found.areaId = areaId;
    found.netmail = area.kind == 1 ? 1 : 0;
    if (context.settings.USEID) found.displayName = area.description;
    if (area.akaIndex < config.akas.size()) found.address = config.akas[area.akaIndex];
    TakeArea(context, found, AreaSource::FastEcho);
  }
}

void ReadFastEchoConfig(std::string_view path, AreaReaderContext& context) {
  std::string shownPath = UpCaseCp866(path);
  File file;
  if (!file.Open(path, OpenMode::Read))
    FatalExit(Cp866("Файл ") + shownPath +
              UnreadableFileReason(file.LastError(), kMaxFastEchoConfig) + ".");
  int64_t size = file.Size();
  if (size > static_cast<int64_t>(kMaxFastEchoConfig))
    FatalExit(Cp866("Файл ") + shownPath + UnreadableFileReason(EFBIG, kMaxFastEchoConfig) + ".");
  FastEchoConfig config = ParseFastEchoConfig(size < 0 ? 0 : static_cast<uint64_t>(size),
                                              [&file](uint64_t offset, void* buffer, size_t count) {
                                                return file.ReadAt(offset, buffer, count);
                                              });
  switch (config.status) {
    case FastEchoConfig::Status::OldRevision:
      FatalExit(Cp866("Это старый FASTECHO.CFG. Необходим файл версии 6 или старше"));
    case FastEchoConfig::Status::Truncated:
      FatalExit(Cp866("Файл ") + shownPath + Cp866(" повреждён: он короче записи настроек."));
    case FastEchoConfig::Status::Ok: break;
  }
  ApplyFastEchoConfig(config, context);
}

void AddFastEchoNetmail(AreaReaderContext& context) {
  if (context.settings.FASTECHOCFG.empty() || context.fastEchoNetmailDir.empty()) return;
  std::string areaId =
      AreaId::Of(BaseKind::Fido, WithoutTrailingSlash(context.fastEchoNetmailDir)).Format();
  if (context.areas.FindAreaByAreaId(areaId) != 0) return;
  AreaEntry entry;
  entry.tag = "NETMAIL";
  entry.displayName = "FastEcho NetMail";
  entry.areaId = areaId;
  entry.netmail = 1;
  entry.exclude = 0;
  entry.SectionsPerDay = kUnlimited;
  entry.HistoryDays = kUnlimited;
  entry.sendMode = SendMode::Parallel;
  if (context.areas.Append(std::move(entry)) == 0) WarnTableFull(context, "NETMAIL");
}

}  // namespace vm
