#include "shell/encode_choices.h"

#include <utility>

namespace vm::shell {
namespace {

constexpr std::pair<uint32_t, EncodeFlags> kOptionBits[] = {
    {kOptionFileInformation, kFileInformation},
    {kOptionDeleteAfterSending, kDeleteAfterSending},
    {kOptionFileIdDiz, kInsertFileIdDiz},
    {kOptionInsertText, kInsertText},
    {kOptionCompress, kCompressed},
};
constexpr std::pair<uint32_t, EncodeFlags> kAttributeBits[] = {
    {1, kPrivate},        {2, kCrash},          {4, kKillSent},
    {8, kConfirmReceipt}, {16, kReturnReceipt}, {32, kHoldForPickup},
};
constexpr EncodeFlags kEncodingFlag[] = {kEncodeUu, kEncodeXx, kEncodeMime, 0};

}  // namespace

EncodeFlags FlagsFromChoices(const EncodeChoices& choices) {
  EncodeFlags flags = 0;
  for (const auto& [option, flag] : kOptionBits)
    if (choices.options & option) flags |= flag;
  for (const auto& [attribute, flag] : kAttributeBits)
    if (choices.attributes & attribute) flags |= flag;
  if (choices.encoding >= kChoiceUu && choices.encoding <= kChoiceText)
    flags |= kEncodingFlag[choices.encoding];
  if (choices.noTemplate) flags = (flags | kNoTemplate) & ~EncodeFlags{kInsertText};
  if (choices.sendMode == kModeImmediately) flags |= kSendImmediately;
  if (choices.sendMode == kModeOverride) flags |= kLimitOverride;
  return flags;
}

void SetChoicesFromFlags(EncodeFlags flags, EncodeChoices& choices) {
  choices.options = 0;
  for (const auto& [option, flag] : kOptionBits)
    if ((flags & flag) && option != kOptionCompress) choices.options |= option;
  choices.attributes = 0;
  for (const auto& [attribute, flag] : kAttributeBits)
    if (flags & flag) choices.attributes |= attribute;
  // The same order as the poster's: XX before MIME before UU.
  choices.encoding = (flags & kEncodeXx)     ? kChoiceXx
                     : (flags & kEncodeMime) ? kChoiceMime
                     : (flags & kEncodeUu)   ? kChoiceUu
                                             : kChoiceText;
}

}  // namespace vm::shell
