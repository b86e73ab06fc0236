// Compiled against the toolkit's include folder, this must fail: the toolkit may not use the
// decoder, and the angle-bracket form is no way around that.
#include <decode/recogniser.h>
