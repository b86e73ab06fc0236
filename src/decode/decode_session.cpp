#include "decode/decode_session.h"

#include "platform/console.h"

namespace vm {

bool DecodeSession::AbortKeyPressed() const {
  if (dialogs != nullptr) return dialogs->AbortKeyPressed();
  if (!console.IsInteractive()) return false;
  const int key = console.PollKey();
  return key == ' ' || key == 27;
}

}  // namespace vm
