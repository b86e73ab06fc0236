// Whether a posting came from this node: its sender address is the main ADDRESS or an AKA.
#pragma once

#include "text/net_address.h"

namespace vm {

struct Settings;

bool IsOwnAddress(const Settings& settings, const NetAddress& address);

}  // namespace vm
