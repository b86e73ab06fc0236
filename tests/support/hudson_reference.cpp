#include "support/hudson_reference.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vm::test {
namespace {

// Pascal record fields written one after another: Word and Integer two bytes little-endian,
// Byte one, String[n] a length byte and n characters.
struct Writer {
  std::string bytes;
  void Word(uint16_t v) {
    bytes += static_cast<char>(v & 0xFF);
    bytes += static_cast<char>(v >> 8);
  }
  void Byte(uint8_t v) { bytes += static_cast<char>(v); }
  void String(const std::string& s, size_t n) {
    std::string cut = s.substr(0, n);
    Byte(static_cast<uint8_t>(cut.size()));
    bytes += cut + std::string(n - cut.size(), '\0');
  }
};

struct Reader {
  const std::string& bytes;
  size_t at = 0;
  uint16_t Word() {
    uint16_t v = static_cast<uint8_t>(bytes.at(at)) | static_cast<uint8_t>(bytes.at(at + 1)) << 8;
    at += 2;
    return v;
  }
  uint8_t Byte() { return static_cast<uint8_t>(bytes.at(at++)); }
  std::string String(size_t n) {
    size_t length = std::min<size_t>(Byte(), n);
    std::string s = bytes.substr(at, length);
    at += n;
    return s;
  }
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const std::string& path, const std::string& bytes, std::ios::openmode mode) {
  std::ofstream out(path, std::ios::binary | mode);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string InfoBytes(const HudsonInfo& info) {
  Writer w;
  w.Word(info.lowMsg);
  w.Word(info.highMsg);
  w.Word(info.active);
  for (uint16_t n : info.areaActive) w.Word(n);
  return w.bytes;
}

}  // namespace

void CreateHudsonBase(const std::string& dir) {
  HudsonInfo info;
  info.lowMsg = 1;
  Put(dir + "/MSGINFO.BBS", InfoBytes(info), std::ios::trunc);
  for (const char* name : {"MSGIDX.BBS", "MSGTOIDX.BBS", "MSGHDR.BBS", "MSGTXT.BBS"})
    Put(dir + "/" + name, "", std::ios::trunc);
}

HudsonInfo ReadHudsonInfo(const std::string& dir) {
  std::string bytes = Slurp(dir + "/MSGINFO.BBS");
  Reader r{bytes};
  HudsonInfo info;
  info.lowMsg = r.Word();
  info.highMsg = r.Word();
  info.active = r.Word();
  for (uint16_t& n : info.areaActive) n = r.Word();
  return info;
}

uint16_t AppendHudsonMessage(const std::string& dir, HudsonMessage m) {
  HudsonInfo info = ReadHudsonInfo(dir);
  const size_t startRec = Slurp(dir + "/MSGTXT.BBS").size() / 256;
  std::string records;
  for (size_t from = 0; from < m.text.size(); from += 255) {
    Writer w;
    w.String(m.text.substr(from, 255), 255);
    records += w.bytes;
  }
  m.msgNum = ++info.highMsg;
  ++info.active;
  ++info.areaActive.at(m.area - 1);

  Writer h;
  h.Word(m.msgNum);
  h.Word(0);  // ReplyTo
  h.Word(0);  // SeeAlso
  h.Word(0);  // Extra (times read)
  h.Word(static_cast<uint16_t>(startRec));
  h.Word(static_cast<uint16_t>(records.size() / 256));
  h.Word(m.destNet);
  h.Word(m.destNode);
  h.Word(m.origNet);
  h.Word(m.origNode);
  h.Byte(m.destZone);
  h.Byte(m.origZone);
  h.Word(0);  // Cost
  h.Byte(m.msgAttr);
  h.Byte(m.netAttr);
  h.Byte(m.area);
  h.String(m.time, 5);
  h.String(m.date, 8);
  h.String(m.to, 35);
  h.String(m.from, 35);
  h.String(m.subject, 72);
  Writer idx;
  idx.Word(m.msgNum);
  idx.Byte(m.area);
  Writer to;
  to.String(m.to, 35);

  Put(dir + "/MSGTXT.BBS", records, std::ios::app);
  Put(dir + "/MSGHDR.BBS", h.bytes, std::ios::app);
  Put(dir + "/MSGIDX.BBS", idx.bytes, std::ios::app);
  Put(dir + "/MSGTOIDX.BBS", to.bytes, std::ios::app);
  Put(dir + "/MSGINFO.BBS", InfoBytes(info), std::ios::trunc);
  return m.msgNum;
}

std::vector<HudsonMessage> ReadHudsonMessages(const std::string& dir) {
  const std::string headers = Slurp(dir + "/MSGHDR.BBS");
  const std::string index = Slurp(dir + "/MSGIDX.BBS");
  const std::string toIndex = Slurp(dir + "/MSGTOIDX.BBS");
  const std::string texts = Slurp(dir + "/MSGTXT.BBS");
  std::vector<HudsonMessage> messages;
  for (size_t n = 0; (n + 1) * 187 <= headers.size(); ++n) {
    Reader h{headers, n * 187};
    HudsonMessage m;
    h.Word();  // the header's own number; the index's is the one that tells deletion
    h.Word();
    h.Word();
    h.Word();
    const size_t startRec = h.Word();
    const size_t numRecs = h.Word();
    m.destNet = h.Word();
    m.destNode = h.Word();
    m.origNet = h.Word();
    m.origNode = h.Word();
    m.destZone = h.Byte();
    m.origZone = h.Byte();
    h.Word();
    m.msgAttr = h.Byte();
    m.netAttr = h.Byte();
    m.area = h.Byte();
    m.time = h.String(5);
    m.date = h.String(8);
    m.to = h.String(35);
    m.from = h.String(35);
    m.subject = h.String(72);
    for (size_t r = startRec; r < startRec + numRecs && (r + 1) * 256 <= texts.size(); ++r) {
      Reader t{texts, r * 256};
      m.text += t.String(255);
    }
    Reader i{index, n * 3};
    m.msgNum = i.Word();
    Reader t{toIndex, n * 36};
    m.toIndex = t.String(35);
    messages.push_back(m);
  }
  return messages;
}

std::vector<uint16_t> ReadHudsonList(const std::string& path) {
  const std::string bytes = Slurp(path);
  Reader r{bytes};
  std::vector<uint16_t> entries;
  while (r.at + 2 <= bytes.size()) entries.push_back(r.Word());
  return entries;
}

}  // namespace vm::test
