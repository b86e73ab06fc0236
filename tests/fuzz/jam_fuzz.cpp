// libFuzzer entry point for the JAM reader: the input becomes a base (base header fields,
// message headers with subfields, index, texts), which is opened, scanned both ways, read
// line by line, and written to once.
//
// Input: byte 0 flags (bit 0: keep the "JAM" signature of the base header), bytes 1-2 and
// 3-4 the lengths (little-endian) of the .jhr part after the base header and of the .jdx;
// then 20 bytes of base header fields after the signature, the .jhr part, the .jdx, and the
// rest as .jdt.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_base_walk.h"
#include "fuzz/fuzz_scratch.h"
#include "msgbase/message_base.h"

namespace {

constexpr size_t kPrefix = 5;
constexpr size_t kBaseFields = 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kPrefix + kBaseFields) return 0;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t jhrLength = static_cast<uint8_t>(input[1]) | static_cast<uint8_t>(input[2]) << 8;
  size_t jdxLength = static_cast<uint8_t>(input[3]) | static_cast<uint8_t>(input[4]) << 8;
  std::string_view rest = input.substr(kPrefix);

  std::string jhr(1024, '\0');
  jhr.replace(0, 4, (input[0] & 1) ? std::string_view("JAM\0", 4) : rest.substr(0, 4));
  jhr.replace(4, kBaseFields, rest.substr(0, kBaseFields));
  rest.remove_prefix(kBaseFields);
  jhr += rest.substr(0, jhrLength);
  rest.remove_prefix(std::min(jhrLength, rest.size()));
  std::string_view jdx = rest.substr(0, jdxLength);
  rest.remove_prefix(jdx.size());

  using vm::fuzz::WriteScratchFile;
  WriteScratchFile("f.jhr", jhr);
  WriteScratchFile("f.jdx", jdx);
  WriteScratchFile("f.jdt", rest);
  WriteScratchFile("f.jlr", jdx);
  unlink((vm::fuzz::Scratch() / "ECHOMAIL.JAM").c_str());
  const std::string base = vm::fuzz::Scratch() / "f";

  vm::MessageBaseHandle area;
  if (!vm::OpenMessageArea("J" + base, area)) return 0;
  vm::fuzz::WalkMessages(*area, 200);
  area->SeekFrom(1);
  if (area->Found()) {
    area->LoadHeader();
    area->DeleteMessage();
  }
  area->StartNewMessage();
  area->SetToName("All");
  area->PutKludge("\x01MSGID: 2:5020/9999 1");
  area->PutLine("text");
  area->WriteMessage();
  vm::CloseMessageArea(area);
  return 0;
}
