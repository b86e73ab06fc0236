// libFuzzer entry point for the Hudson reader: the input becomes the five files of a base,
// one board of which is opened, scanned both ways, read line by line, and written to once.
//
// Input: byte 0 flags (bit 0: the index one byte long, so that the file check fails; bit 1:
// ECHOMAIL.BBS present), byte 1 the number of header records n, byte 2 the board (modulo
// 200, plus 1); then MSGINFO.BBS (406 bytes), MSGIDX.BBS (3 n), MSGTOIDX.BBS (36 n),
// MSGHDR.BBS (187 n), each filled with zeros where the input ends, and the rest as MSGTXT.BBS.
//
// Build (from the repository root):
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc -Itests \
//     tests/fuzz/hudson_fuzz.cpp src/msgbase/message_base.cpp src/msgbase/*/*.cpp \
//     src/text/*.cpp src/platform/*.cpp -o /tmp/hudson_fuzz
//   mkdir -p /tmp/hudson_corpus && /tmp/hudson_fuzz /tmp/hudson_corpus -max_total_time=300
//   -max_len=65536
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "msgbase/message_base.h"

namespace {

constexpr size_t kPrefix = 3;

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

const std::string& Directory() {
  static const std::string dir = [] {
    char name[] = "/tmp/hudson-fuzz-XXXXXX";
    return std::string(mkdtemp(name) ? name : "/tmp");
  }();
  return dir;
}

// The next `size` bytes of the input as one file, zero-filled past its end.
std::string Take(std::string_view& rest, size_t size) {
  std::string bytes(rest.substr(0, size));
  rest.remove_prefix(bytes.size());
  bytes.resize(size, '\0');
  return bytes;
}

void ReadCurrent(vm::MessageBase& base) {
  base.LoadHeader();
  (void)base.FromName();
  (void)base.Subject();
  (void)base.DateText();
  (void)base.IsDeleted();
  vm::NetAddress address;
  base.GetOrigAddress(address);
  base.StartReading();
  int32_t middle = 0;
  for (int lines = 0; !base.TextEnded() && lines < 2000; ++lines) {
    if (lines == 3) middle = base.TextPosition();
    base.NextLine(lines % 2 ? 79 : 255);
  }
  base.StartReading();
  base.SetTextPosition(middle);
  base.NextLine(255);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kPrefix) return 0;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const uint8_t flags = static_cast<uint8_t>(input[0]);
  const size_t records = static_cast<uint8_t>(input[1]);
  const int board = static_cast<uint8_t>(input[2]) % 200 + 1;
  std::string_view rest = input.substr(kPrefix);

  const std::string& dir = Directory();
  WriteFile(dir + "/MSGINFO.BBS", Take(rest, 406));
  WriteFile(dir + "/MSGIDX.BBS", Take(rest, records * 3 + (flags & 1)));
  WriteFile(dir + "/MSGTOIDX.BBS", Take(rest, records * 36));
  WriteFile(dir + "/MSGHDR.BBS", Take(rest, records * 187));
  WriteFile(dir + "/MSGTXT.BBS", rest);
  unlink((dir + "/NETMAIL.BBS").c_str());
  unlink((dir + "/LASTREAD.BBS").c_str());
  if (flags & 2)
    WriteFile(dir + "/ECHOMAIL.BBS", "\1");
  else
    unlink((dir + "/ECHOMAIL.BBS").c_str());

  char locator[8];
  std::snprintf(locator, sizeof locator, "H%03d", board);
  vm::MessageBaseHandle area;
  if (!vm::OpenMessageArea(locator + dir, area)) return 0;
  (void)area->ActiveCount();
  (void)area->GetLastRead(1);
  int count = 0;
  for (area->SeekFrom(0); area->Found() && count < 300; area->SeekNext(), ++count)
    ReadCurrent(*area);
  (void)area->HighActiveNumber();
  for (count = 0; area->Found() && count < 50; area->SeekPrevious(), ++count) ReadCurrent(*area);
  area->SeekFrom(1);
  if (area->Found()) {
    area->LoadHeader();
    area->DeleteMessage();
  }
  area->StartNewMessage();
  area->SetMailKind(vm::MailKind::Netmail);
  area->SetEchoed(true);
  area->SetDestAddress({2, 5020, 1, 3});
  area->SetToName("All");
  area->PutLine("text");
  area->WriteMessage();
  area->SetLastRead(2, area->MessageNumber());
  vm::CloseMessageArea(area);
  return 0;
}
