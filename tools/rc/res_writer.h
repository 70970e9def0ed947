// The .res stream: an empty first entry, then one header and the data of each
// resource, every part aligned to four bytes.
#pragma once

#include <string>

#include "resource_set.h"

namespace rc {

Bytes writeResStream(const ResourceSet& resources);

// A C++ source that places the stream in the module's ".rsrc" section, where
// the platform's resource functions look for it.
std::string writeSectionSource(const Bytes& stream, const std::string& scriptName);

}  // namespace rc
