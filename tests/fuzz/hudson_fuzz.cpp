// libFuzzer entry point for the Hudson reader: the input becomes the five files of a base,
// one board of which is opened, scanned both ways, read line by line, and written to once.
//
// Input: byte 0 flags (bit 0: the index one byte long, so that the file check fails; bit 1:
// ECHOMAIL.BBS present), byte 1 the number of header records n, byte 2 the board (modulo
// 200, plus 1); then MSGINFO.BBS (406 bytes), MSGIDX.BBS (3 n), MSGTOIDX.BBS (36 n),
// MSGHDR.BBS (187 n), each filled with zeros where the input ends, and the rest as MSGTXT.BBS.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_base_walk.h"
#include "fuzz/fuzz_scratch.h"
#include "msgbase/message_base.h"

namespace {

constexpr size_t kPrefix = 3;

// The next `size` bytes of the input as one file, zero-filled past its end.
std::string Take(std::string_view& rest, size_t size) {
  std::string bytes(rest.substr(0, size));
  rest.remove_prefix(bytes.size());
  bytes.resize(size, '\0');
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kPrefix) return 0;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const uint8_t flags = static_cast<uint8_t>(input[0]);
  const size_t records = static_cast<uint8_t>(input[1]);
  const int board = static_cast<uint8_t>(input[2]) % 200 + 1;
  std::string_view rest = input.substr(kPrefix);

  using vm::fuzz::WriteScratchFile;
  const std::string dir = vm::fuzz::Scratch().path();
  WriteScratchFile("MSGINFO.BBS", Take(rest, 406));
  WriteScratchFile("MSGIDX.BBS", Take(rest, records * 3 + (flags & 1)));
  WriteScratchFile("MSGTOIDX.BBS", Take(rest, records * 36));
  WriteScratchFile("MSGHDR.BBS", Take(rest, records * 187));
  WriteScratchFile("MSGTXT.BBS", rest);
  unlink((dir + "/NETMAIL.BBS").c_str());
  unlink((dir + "/LASTREAD.BBS").c_str());
  if (flags & 2)
    WriteScratchFile("ECHOMAIL.BBS", "\1");
  else
    unlink((dir + "/ECHOMAIL.BBS").c_str());

  char locator[8];
  std::snprintf(locator, sizeof locator, "H%03d", board);
  vm::MessageBaseHandle area;
  if (!vm::OpenMessageArea(locator + dir, area)) return 0;
  vm::fuzz::WalkMessages(*area, 300);
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
