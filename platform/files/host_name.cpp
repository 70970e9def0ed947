#include "host_name.h"

#include "platform/text/utf.h"

namespace platform::files {

// The text conversions replace what is malformed; a name survives the round
// trip exactly when it was well formed.

std::optional<std::string> toHostName(std::u16string_view deviceName) {
    std::string host = text::toUtf8(deviceName);
    if (text::toUtf16(host) != deviceName) return std::nullopt;
    return host;
}

std::optional<std::u16string> toDeviceName(std::string_view hostName) {
    std::u16string device = text::toUtf16(hostName);
    if (text::toUtf8(device) != hostName) return std::nullopt;
    return device;
}

}  // namespace platform::files
