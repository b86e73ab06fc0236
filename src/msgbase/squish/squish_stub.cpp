// Placeholder until the Squish variant is built: the factory then makes no object, so opening
// such an area fails like an unknown base.
#include "msgbase/variants.h"

namespace vm {

MessageBaseHandle MakeSquishBase() { return nullptr; }

}  // namespace vm
