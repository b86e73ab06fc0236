// Placeholder until the Jam variant is built: the factory then makes no object, so opening
// such an area fails like an unknown base.
#include "msgbase/variants.h"

namespace vm {

MessageBaseHandle MakeJamBase() { return nullptr; }

}  // namespace vm
