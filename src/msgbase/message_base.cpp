#include "msgbase/message_base.h"

#include "msgbase/variants.h"

namespace vm {

void MessageBase::PutLine(std::string_view text) {
  PutText(text);
  PutChar('\r');
}

void MessageBase::SetTextWindow(std::string text, int32_t origin) {
  text_ = std::move(text);
  textOrigin_ = origin;
  textIndex_ = 0;
  textEnded_ = false;
}

void MessageBase::ClearTextWindow() { SetTextWindow(std::string(), textOrigin_); }

unsigned char MessageBase::NextChar() {
  if (textIndex_ >= text_.size()) {
    textEnded_ = true;
    return 0;
  }
  return static_cast<unsigned char>(text_[textIndex_++]);
}

void MessageBase::SetTextPosition(int32_t position) {
  int64_t index = static_cast<int64_t>(position) - textOrigin_;
  if (index < 0) index = 0;
  textIndex_ = static_cast<size_t>(index);
}

std::string MessageBase::NextLine(uint16_t maxLength) {
  if (textEnded_) return std::string();
  size_t max = maxLength > 255 ? 255 : maxLength;
  // The common word-wrapping reader over the text window. Positions are indexes into text_;
  // reading past the end sets the end-of-text flag exactly as NextChar does.
  const char* data = text_.data();
  const size_t size = text_.size();
  char line[256];
  size_t len = 0;
  bool hardEnd = false;
  size_t wrapLength = 0;
  size_t wrapPosition = textIndex_;
  bool previousWrapped = wrapped_;
  wrapped_ = true;

  size_t positionBefore = textIndex_;
  auto next = [&]() -> unsigned char {
    if (textIndex_ >= size) {
      textEnded_ = true;
      return 0;
    }
    return static_cast<unsigned char>(data[textIndex_++]);
  };
  unsigned char c = next();
  while (!hardEnd && len < max && !textEnded_) {
    if (c == 0 || c == 0x8D || c == 10) {
      // ignored
    } else if (c == 13) {
      hardEnd = true;
      wrapped_ = false;
    } else if (c == 32) {
      if (len == 0 && previousWrapped) {
        previousWrapped = false;
      } else {
        line[len++] = ' ';
        wrapLength = len;
        wrapPosition = textIndex_;
      }
    } else {
      line[len++] = static_cast<char>(c);
    }
    if (!hardEnd) {
      positionBefore = textIndex_;
      c = next();
    }
  }
  if (hardEnd || textEnded_) return std::string(line, len);
  if (wrapLength == 0) {
    textIndex_ = positionBefore;
    return std::string(line, len);
  }
  textIndex_ = wrapPosition;
  return std::string(line, wrapLength);
}

std::string MessageBase::NextPlainLine(uint16_t maxLength) {
  std::string line = NextLine(maxLength);
  while (!line.empty() && line[0] == '\x01' && !TextEnded()) line = NextLine(maxLength);
  return line;
}

int32_t MessageBase::HighActiveNumber() {
  SeekFrom(HighNumber());
  if (!Found()) SeekPrevious();
  return Found() ? MessageNumber() : 0;
}

bool MakeMessageBase(std::string_view areaId, MessageBaseHandle& handle) {
  handle.reset();
  if (areaId.empty()) return false;
  switch (areaId[0]) {
    case 'H': case 'h': handle = MakeHudsonBase(); break;
    case 'S': case 's': handle = MakeSquishBase(); break;
    case 'F': case 'f': handle = MakeFidoMsgBase(); break;
    case 'J': case 'j': handle = MakeJamBase(); break;
    case 'T': case 't': handle = MakeTextFileBase(); break;
    default: return false;
  }
  if (handle) handle->SetAreaPath(areaId.substr(1, 128));
  return true;
}

bool OpenMessageArea(std::string_view areaId, MessageBaseHandle& handle) {
  if (!MakeMessageBase(areaId, handle) || !handle) return false;
  if (handle->Open() != 0) {
    DisposeMessageBase(handle);
    return false;
  }
  return true;
}

bool OpenOrCreateMessageArea(std::string_view areaId, MessageBaseHandle& handle) {
  if (!MakeMessageBase(areaId, handle) || !handle) return false;
  if (!handle->Exists() && handle->Create(200, 10) != 0) {
    DisposeMessageBase(handle);
    return false;
  }
  if (handle->Open() != 0) {
    DisposeMessageBase(handle);
    return false;
  }
  return true;
}

bool CloseMessageArea(MessageBaseHandle& handle) {
  if (!handle) return false;
  bool ok = handle->Close() == 0;
  DisposeMessageBase(handle);
  return ok;
}

void DisposeMessageBase(MessageBaseHandle& handle) { handle.reset(); }

}  // namespace vm
