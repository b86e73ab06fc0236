// Constructors of the storage variants, used by the factory. Each returns an empty pointer
// when the variant cannot be made.
#pragma once

#include "msgbase/message_base.h"

namespace vm {

MessageBaseHandle MakeFidoMsgBase();
MessageBaseHandle MakeSquishBase();
MessageBaseHandle MakeHudsonBase();
MessageBaseHandle MakeJamBase();
MessageBaseHandle MakeTextFileBase();

}  // namespace vm
