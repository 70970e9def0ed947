// The registry of a freshly booted device (default.reg, embedded at build time).
#pragma once

#include <string_view>

namespace sim {
std::string_view defaultRegistryText();  // UTF-8 .reg text
}
