// The name a file is posted under. Decoders take a section's file name up to the first blank,
// and many of them, like the advanced dialog's name field, hold no more than 8.3: a name that
// would be lost on the way is made into one that arrives.
#pragma once

#include <string>
#include <string_view>

namespace vm {

// Blanks and control characters become "_"; a name that is not 8.3 (a base longer than 8
// characters or holding a dot, an extension longer than 3) is cut to 8.3 keeping its
// extension, the dots of its base becoming "_". Letters keep their case.
std::string PostedFileName(std::string_view name);

}  // namespace vm
