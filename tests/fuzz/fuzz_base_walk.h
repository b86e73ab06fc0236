// What the message-base entry points do with a base they could open: every header and text
// read, forwards and backwards, with a jump back into a text; a message written through the
// interface; and where the entry point of any kind keeps its area.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "msgbase/area_id.h"
#include "msgbase/message_base.h"

namespace vm::fuzz {

inline void ReadCurrentMessage(MessageBase& base) {
  base.LoadHeader();
  (void)base.FromName();
  (void)base.Subject();
  (void)base.DateText();
  (void)base.IsDeleted();
  NetAddress address;
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

// Up to `forwards` messages from the first, then up to 50 back from where that stopped.
inline void WalkMessages(MessageBase& base, int forwards) {
  (void)base.ActiveCount();
  (void)base.GetLastRead(1);
  int count = 0;
  for (base.SeekFrom(0); base.Found() && count < forwards; base.SeekNext(), ++count)
    ReadCurrentMessage(base);
  (void)base.HighActiveNumber();
  for (count = 0; base.Found() && count < 50; base.SeekPrevious(), ++count)
    ReadCurrentMessage(base);
}

inline void PostMessage(MessageBase& base, std::string_view to, std::string_view text) {
  base.StartNewMessage();
  base.SetFromName("Fuzz Seed");
  base.SetToName(to);
  base.SetSubject("Files");
  base.SetDateText("01-02-03");
  base.SetTimeText("04:05");
  base.PutText(text);
  base.WriteMessage();
}

// The area of `kind` whose files lie in `directory`, on board 1 where the kind has boards:
// named AREA there (a base path, a subdirectory or a file, as the kind takes it).
inline AreaId AreaIdFor(BaseKind kind, const std::string& directory) {
  return AreaId::OnBoard(kind, 1, directory + "/AREA");
}

}  // namespace vm::fuzz
