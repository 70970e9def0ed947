// Names cross between the device (UTF-16) and the host file system (UTF-8).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::files {

// The host spelling of a device name; nothing for text that is not valid UTF-16
// (an unpaired surrogate), which no host name can carry.
std::optional<std::string> toHostName(std::u16string_view deviceName);

// The device spelling of a host name; nothing for bytes that are not valid UTF-8
// (such an entry cannot be named from the device, so it is not shown there).
std::optional<std::u16string> toDeviceName(std::string_view hostName);

}  // namespace platform::files
