// libFuzzer entry point for one kind of message base, whichever it is: the input is the set of
// files a base of that kind is kept in (fuzz_file_set.h), and the area is opened through the
// factory, read whole forwards and backwards, mended, written to and read again. The kind is
// the letter VELDMARK_FUZZ_KIND that tests/fuzz/CMakeLists.txt gives each build of this file;
// the seeds are bases of that kind that fuzz_seeds writes through the same factory.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "fuzz/fuzz_base_walk.h"
#include "fuzz/fuzz_file_set.h"
#include "fuzz/fuzz_scratch.h"
#include "msgbase/area_id.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vm;
  const ScopedTempDir& scratch = fuzz::Scratch();
  std::filesystem::remove_all(scratch / "area");
  scratch.MakeDirectory("area");
  for (const fuzz::FuzzFile& file :
       fuzz::UnpackFiles(std::string_view(reinterpret_cast<const char*>(data), size)))
    scratch.WriteFile("area/" + file.name, file.bytes);

  static const BaseKind kind = KindOfLetter(VELDMARK_FUZZ_KIND)->kind;
  const std::string areaId = fuzz::AreaIdFor(kind, scratch / "area").Format();
  MessageBaseHandle base;
  if (!OpenMessageArea(areaId, base)) return 0;
  fuzz::WalkMessages(*base, 200);
  if (base->Mend() == 0) {
    fuzz::PostMessage(*base, "Fuzz", "a new message\r");
    base->SeekFrom(0);
    if (base->Found()) {
      base->LoadHeader();
      base->DeleteMessage();
    }
    base->SeekFrom(2);
    if (base->Found()) {
      base->LoadHeader();
      base->SetReceived(true);
      base->RewriteHeader();
    }
    fuzz::WalkMessages(*base, 200);
  }
  CloseMessageArea(base);
  return 0;
}
