// Compiled against the toolkit's include folder: the toolkit's own headers and those of the
// modules below it are there, in either include form.
#include <platform/file.h>

#include "text/cp866.h"
#include "tui/view.h"
