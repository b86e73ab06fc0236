// RANDOM: a line of a text file chosen at random, for template lines such as taglines.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vm {

// Draws a number from 0 to n - 1 (0 when n is 0 or less).
using RandomPick = std::function<int(int n)>;
// A generator seeded from the clock.
RandomPick ClockSeededPick();

// The line chosen from the first 30000 bytes of the file: nothing when the file cannot be read,
// holds 30 bytes or fewer, or is not text (it holds zero bytes). Lines may end in CR LF or LF;
// a very short line gives way to the one before it. Control characters of the line become
// blanks, so that nothing of it can act as a line end or a kludge in a message.
std::string RandomLine(std::string_view fileName, const RandomPick& pick);

}  // namespace vm
