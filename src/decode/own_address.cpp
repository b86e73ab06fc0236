#include "decode/own_address.h"

#include <algorithm>

#include "config/settings.h"

namespace vm {

bool IsOwnAddress(const Settings& settings, const NetAddress& address) {
  return address == settings.address ||
         std::find(settings.akas.begin(), settings.akas.end(), address) != settings.akas.end();
}

}  // namespace vm
