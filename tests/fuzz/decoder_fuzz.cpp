// libFuzzer entry point for the section decoders and file assembly: the first byte picks an
// encoding, the rest is a message text. The text is decoded directly as one section of that
// encoding, then scanned as an area and every found file decoded into the scratch directory.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "config/area_table.h"
#include "config/settings.h"
#include "decode/area_scan.h"
#include "decode/file_decoder.h"
#include "decode/memory_base.h"
#include "fuzz/fuzz_scratch.h"
#include "platform/run_log.h"
#include "support/fake_console.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vm;
  if (size < 1) return 0;
  const std::string& outDir = fuzz::Scratch().path();
  static FileDecodeWork work;

  MemoryBase base;
  base.Add({}).text.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  base.SeekFrom(1);
  base.StartReading();
  switch (data[0] % 6) {
    case 0: DecodeEncodedSection(base, work, EncodingKind::Uu, 1, 1); break;
    case 1: DecodeEncodedSection(base, work, EncodingKind::Xx, 2, 1); break;
    case 2: DecodeEncodedSection(base, work, EncodingKind::MimeBase64, 1, 1); break;
    case 3: DecodeOwnTextSection(base, work); break;
    case 4: DecodeFastPostTextSection(base, work); break;
    default: DecodeCrackBlock(base, work); break;
  }
  if (work.count > kSectionBufferSize) __builtin_trap();

  Settings settings;
  settings.EXTRACTXCK = true;
  DecodeRunState state;
  FakeConsole console;
  RunLog log;
  AreaEntry area;
  FoundFileCatalogue catalogue;
  DecodeSession session{settings, state, console, log, nullptr};
  ScanArea(session, base, area, catalogue, ScanOptions{1, true, ""});
  for (int i = 2; i <= catalogue.Count() && i < 6; ++i) {
    FileDecodeOutcome outcome = DecodeFoundFile(session, base, work, catalogue.At(i), outDir);
    if (!outcome.outputName.empty()) std::filesystem::remove(outDir + "/" + outcome.outputName);
    if (work.count > kSectionBufferSize) __builtin_trap();
  }
  return 0;
}
