// libFuzzer entry point for the *.MSG reader: the input is a message file (after two control
// bytes), read through LoadHeader, every header query, the address kludges and the line
// readers; the date-time field and kludge parsers also get the raw bytes.
#include <stdlib.h>

#include <cstdint>
#include <string>

#include "fuzz/fuzz_scratch.h"
#include "msgbase/fido/fido_kludges.h"
#include "msgbase/fido/fido_msg_base.h"
#include "text/date_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint16_t maxLength = data[0];
  const int32_t resumeAt = 190 + data[1] * 3;
  const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

  vm::ParseFtscDateField(bytes.substr(0, 20));
  vm::NetAddress orig, dest;
  vm::AddressKludges found;
  vm::ReadAddressKludge(bytes, found);
  vm::ApplyAddressKludges(found, 2, orig, dest);

  vm::fuzz::WriteScratchFile("7.msg", bytes);
  vm::FidoMsgBase base;
  base.SetAreaPath(vm::fuzz::Scratch().path());
  if (base.Open() != 0) abort();
  base.SeekFrom(1);
  if (base.MessageNumber() != 7) abort();
  base.LoadHeader();
  base.FromName();
  base.ToName();
  base.Subject();
  base.DateText();
  base.TimeText();
  base.GetOrigAddress(orig);
  base.GetDestAddress(dest);
  base.IsPrivate();
  base.IsDeleted();

  base.StartReading();
  size_t total = 0;
  while (!base.TextEnded()) {
    std::string line = base.NextLine(maxLength);
    if (line.size() > 254 || line.find_first_of("\r\n\x8D") != std::string::npos) abort();
    total += line.size();
    if (total > 2 * bytes.size() + 1000) abort();  // the reader must always move on
  }
  base.StartReading();
  base.SetTextPosition(resumeAt);
  while (!base.TextEnded()) base.NextPlainLine(maxLength | 1);
  return 0;
}
