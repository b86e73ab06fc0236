// libFuzzer entry point for the Squish reader and writer: the input becomes a base's .SQD and
// .SQI files, which are then opened, scanned, written to, deleted from and rewritten.
//
// Input layout: two bytes (little-endian) giving the length of the .SQD part, that many
// bytes of .SQD (fewer if the input ends), and the rest as .SQI.
#include <stdlib.h>

#include <cstdint>
#include <string>

#include "fuzz/fuzz_scratch.h"
#include "msgbase/squish/squish_base.h"

namespace {

void Scan(vm::SquishBase& base) {
  int messages = 0;
  for (base.SeekFrom(0); base.Found() && messages < 64; base.SeekNext(), ++messages) {
    base.LoadHeader();
    (void)base.FromName();
    (void)base.ToName();
    (void)base.Subject();
    (void)base.DateText();
    (void)base.TimeText();
    base.StartReading();
    for (int lines = 0; !base.TextEnded() && lines < 10000; ++lines) {
      base.NextLine(static_cast<uint16_t>(1 + lines % 255));
      (void)base.TextPosition();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  size_t sqdLength = data[0] | (data[1] << 8);
  data += 2;
  size -= 2;
  if (sqdLength > size) sqdLength = size;
  const char* bytes = reinterpret_cast<const char*>(data);
  vm::fuzz::WriteScratchFile("AREA.SQD", std::string_view(bytes, sqdLength));
  vm::fuzz::WriteScratchFile("AREA.SQI", std::string_view(bytes + sqdLength, size - sqdLength));
  const std::string path = vm::fuzz::Scratch() / "AREA";

  vm::SquishBase base;
  base.SetAreaPath(path);
  if (base.Open() != 0) return 0;
  (void)base.ActiveCount();
  (void)base.HighActiveNumber();
  Scan(base);

  base.StartNewMessage();
  base.SetToName("Fuzz");
  base.SetDateText("01-02-03");
  base.SetTimeText("04:05");
  base.PutLine("a new message");
  if (base.WriteMessage() == 0) {
    // A message reported as written must read back whole.
    if (!base.Found()) abort();
    base.LoadHeader();
    base.StartReading();
    if (base.ToName() != "Fuzz" || base.NextLine(255) != "a new message") abort();
  }
  base.SeekFrom(0);
  base.LoadHeader();
  base.DeleteMessage();
  base.SeekFrom(2);
  base.LoadHeader();
  base.SetReceived(true);
  base.RewriteHeader();
  base.StartNewMessage();
  base.PutText(std::string(300, 'x'));
  base.WriteMessage();
  Scan(base);
  base.Close();
  return 0;
}
