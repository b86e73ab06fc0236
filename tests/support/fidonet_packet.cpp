#include "fidonet_packet.h"

#include <algorithm>

#include "text/little_endian.h"

namespace vm {
namespace {

// Packet header (58 bytes).
constexpr size_t kHeaderSize = 58;
constexpr size_t kOrigNode = 0;
constexpr size_t kDestNode = 2;
constexpr size_t kYear = 4;
constexpr size_t kMonth = 6;  // 0-based
constexpr size_t kDay = 8;
constexpr size_t kHour = 10;
constexpr size_t kMinute = 12;
constexpr size_t kSecond = 14;
constexpr size_t kPacketType = 18;
constexpr size_t kOrigNet = 20;
constexpr size_t kDestNet = 22;
constexpr size_t kPassword = 26;  // 8 bytes, zero-filled
constexpr size_t kQOrigZone = 34;
constexpr size_t kQDestZone = 36;
constexpr size_t kCapWordCopy = 40;  // byte-swapped copy of the capability word
constexpr size_t kCapWord = 44;
constexpr size_t kOrigZone = 46;
constexpr size_t kDestZone = 48;
constexpr size_t kOrigPoint = 50;
constexpr size_t kDestPoint = 52;
constexpr uint16_t kCapType2Plus = 0x0001;

// Packed message: fixed part, then the NUL-terminated date, names, subject and body.
constexpr size_t kMsgFixedSize = 34;
constexpr size_t kMsgOrigNode = 2;
constexpr size_t kMsgDestNode = 4;
constexpr size_t kMsgOrigNet = 6;
constexpr size_t kMsgDestNet = 8;
constexpr size_t kMsgAttribute = 10;
constexpr size_t kMsgCost = 12;
constexpr size_t kMsgDateTime = 14;  // 20 bytes, NUL-terminated
constexpr size_t kMsgDateTimeSize = 20;

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void PutZeroTerminated(std::string& out, std::string_view text, size_t maxLength) {
  out += text.substr(0, std::min(text.size(), maxLength));
  out += '\0';
}

// Reads a NUL-terminated string at pos; false when no NUL follows within the bytes.
bool GetZeroTerminated(std::string_view in, size_t& pos, std::string& text) {
  size_t end = in.find('\0', pos);
  if (end == std::string_view::npos) return false;
  text = std::string(in.substr(pos, end - pos));
  pos = end + 1;
  return true;
}

std::string TwoDigits(int n) {
  std::string s = std::to_string(n % 100);
  return s.size() < 2 ? "0" + s : s;
}

std::string Net3D(const NetAddress& a) {
  return std::to_string(a.zone) + ":" + std::to_string(a.net) + "/" + std::to_string(a.node);
}

}  // namespace

std::string FidoDateTimeText(const DateTime& t) {
  const char* month = t.month >= 1 && t.month <= 12 ? kMonths[t.month - 1] : "???";
  return TwoDigits(t.day) + " " + month + " " + TwoDigits(t.year) + "  " + TwoDigits(t.hour) + ":" +
         TwoDigits(t.minute) + ":" + TwoDigits(t.second);
}

std::string WritePacket(const Packet& packet) {
  std::string out(kHeaderSize, '\0');
  PutLe16(out, kOrigNode, packet.orig.node);
  PutLe16(out, kDestNode, packet.dest.node);
  PutLe16(out, kYear, static_cast<uint16_t>(packet.created.year));
  PutLe16(out, kMonth, static_cast<uint16_t>(packet.created.month - 1));
  PutLe16(out, kDay, static_cast<uint16_t>(packet.created.day));
  PutLe16(out, kHour, static_cast<uint16_t>(packet.created.hour));
  PutLe16(out, kMinute, static_cast<uint16_t>(packet.created.minute));
  PutLe16(out, kSecond, static_cast<uint16_t>(packet.created.second));
  PutLe16(out, kPacketType, 2);
  PutLe16(out, kOrigNet, packet.orig.net);
  PutLe16(out, kDestNet, packet.dest.net);
  out.replace(kPassword, std::min<size_t>(packet.password.size(), 8), packet.password, 0, 8);
  PutLe16(out, kQOrigZone, packet.orig.zone);
  PutLe16(out, kQDestZone, packet.dest.zone);
  PutLe16(out, kCapWordCopy, static_cast<uint16_t>(kCapType2Plus << 8));
  PutLe16(out, kCapWord, kCapType2Plus);
  PutLe16(out, kOrigZone, packet.orig.zone);
  PutLe16(out, kDestZone, packet.dest.zone);
  PutLe16(out, kOrigPoint, packet.orig.point);
  PutLe16(out, kDestPoint, packet.dest.point);

  for (const PacketMessage& m : packet.messages) {
    std::string fixed(kMsgFixedSize, '\0');
    PutLe16(fixed, 0, 2);
    PutLe16(fixed, kMsgOrigNode, m.orig.node);
    PutLe16(fixed, kMsgDestNode, m.dest.node);
    PutLe16(fixed, kMsgOrigNet, m.orig.net);
    PutLe16(fixed, kMsgDestNet, m.dest.net);
    PutLe16(fixed, kMsgAttribute, m.attribute);
    PutLe16(fixed, kMsgCost, m.cost);
    fixed.replace(kMsgDateTime, std::min<size_t>(m.dateTime.size(), kMsgDateTimeSize - 1),
                  m.dateTime, 0, kMsgDateTimeSize - 1);
    out += fixed;
    PutZeroTerminated(out, m.toName, 35);
    PutZeroTerminated(out, m.fromName, 35);
    PutZeroTerminated(out, m.subject, 71);
    PutZeroTerminated(out, m.body, std::string::npos);
  }
  out += std::string(2, '\0');
  return out;
}

std::optional<Packet> ReadPacket(std::string_view bytes) {
  // A packet is at least its header and the terminating zero word.
  if (bytes.size() < kHeaderSize + 2 || GetLe16(bytes, kPacketType) != 2) return std::nullopt;
  Packet packet;
  packet.orig = {GetLe16(bytes, kQOrigZone), GetLe16(bytes, kOrigNet), GetLe16(bytes, kOrigNode),
                 0};
  packet.dest = {GetLe16(bytes, kQDestZone), GetLe16(bytes, kDestNet), GetLe16(bytes, kDestNode),
                 0};
  uint16_t cap = GetLe16(bytes, kCapWord);
  uint16_t capCopy = GetLe16(bytes, kCapWordCopy);
  if ((cap & kCapType2Plus) && capCopy == static_cast<uint16_t>((cap >> 8) | (cap << 8))) {
    packet.orig.zone = GetLe16(bytes, kOrigZone);
    packet.dest.zone = GetLe16(bytes, kDestZone);
    packet.orig.point = GetLe16(bytes, kOrigPoint);
    packet.dest.point = GetLe16(bytes, kDestPoint);
  }
  packet.created = {GetLe16(bytes, kYear), GetLe16(bytes, kMonth) + 1, GetLe16(bytes, kDay),
                    GetLe16(bytes, kHour), GetLe16(bytes, kMinute),    GetLe16(bytes, kSecond)};
  std::string_view password = bytes.substr(kPassword, 8);
  packet.password = std::string(password.substr(0, password.find('\0')));

  size_t pos = kHeaderSize;
  for (;;) {
    // Each message starts with the word 2; the word 0 ends the packet.
    if (pos + 2 > bytes.size()) return std::nullopt;
    uint16_t type = GetLe16(bytes, pos);
    if (type == 0) break;
    if (type != 2 || pos + kMsgFixedSize > bytes.size()) return std::nullopt;
    PacketMessage m;
    m.orig.net = GetLe16(bytes, pos + kMsgOrigNet);
    m.orig.node = GetLe16(bytes, pos + kMsgOrigNode);
    m.dest.net = GetLe16(bytes, pos + kMsgDestNet);
    m.dest.node = GetLe16(bytes, pos + kMsgDestNode);
    m.attribute = GetLe16(bytes, pos + kMsgAttribute);
    m.cost = GetLe16(bytes, pos + kMsgCost);
    // The date field is fixed at 20 bytes in the packet, NUL-terminated within it.
    std::string_view date = bytes.substr(pos + kMsgDateTime, kMsgDateTimeSize);
    m.dateTime = std::string(date.substr(0, date.find('\0')));
    pos += kMsgFixedSize;
    if (!GetZeroTerminated(bytes, pos, m.toName) || !GetZeroTerminated(bytes, pos, m.fromName) ||
        !GetZeroTerminated(bytes, pos, m.subject) || !GetZeroTerminated(bytes, pos, m.body))
      return std::nullopt;
    packet.messages.push_back(std::move(m));
  }
  return packet;
}

std::string EchomailBody(std::string_view area, const std::vector<std::string>& kludges,
                         std::string_view text, const NetAddress& origin) {
  std::string body = "AREA:" + std::string(area) + "\r";
  for (const std::string& k : kludges) body += "\x01" + k + "\r";
  body += text;
  if (!body.empty() && body.back() != '\r') body += '\r';
  body += "---\r * Origin: test (" + FormatNetAddress(origin) + ")\r";
  body += "SEEN-BY: " + std::to_string(origin.net) + "/" + std::to_string(origin.node) + "\r";
  return body;
}

std::string NetmailBody(const NetAddress& orig, const NetAddress& dest,
                        const std::vector<std::string>& kludges, std::string_view text) {
  std::string body = "\x01INTL " + Net3D(dest) + " " + Net3D(orig) + "\r";
  if (orig.point != 0)
    body +=
        "\x01"
        "FMPT " +
        std::to_string(orig.point) + "\r";
  if (dest.point != 0) body += "\x01TOPT " + std::to_string(dest.point) + "\r";
  for (const std::string& k : kludges) body += "\x01" + k + "\r";
  body += text;
  return body;
}

std::vector<std::string> BodyLines(std::string_view body) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < body.size()) {
    size_t end = body.find('\r', pos);
    if (end == std::string_view::npos) end = body.size();
    lines.emplace_back(body.substr(pos, end - pos));
    pos = end + 1;
    if (pos < body.size() && body[pos] == '\n') ++pos;
  }
  return lines;
}

std::optional<std::string> KludgeValue(std::string_view body, std::string_view keyword) {
  for (const std::string& line : BodyLines(body)) {
    if (line.size() <= keyword.size() + 1 || line[0] != '\x01') continue;
    if (line.compare(1, keyword.size(), keyword) != 0) continue;
    char separator = line[keyword.size() + 1];
    if (separator != ':' && separator != ' ') continue;
    size_t value = line.find_first_not_of(' ', keyword.size() + 2);
    return value == std::string::npos ? std::string() : line.substr(value);
  }
  return std::nullopt;
}

std::vector<std::string> TextLines(std::string_view body) {
  std::vector<std::string> lines;
  for (const std::string& line : BodyLines(body)) {
    if (!line.empty() && line[0] == '\x01') continue;
    if (line.rfind("AREA:", 0) == 0 || line.rfind("SEEN-BY:", 0) == 0) continue;
    lines.push_back(line);
  }
  return lines;
}

}  // namespace vm
