#include "simulator/automation/key_path.h"

#include <winreg.h>

#include "platform/registry/registry_io.h"
#include "platform/text/utf.h"

namespace sim {
namespace {

std::string_view fullRootName(HKEY root) {
    if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
    if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
    if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
    return "HKEY_USERS";
}

}  // namespace

std::optional<KeyPath> parseKeyPath(std::string_view text, std::string* reason) {
    auto parsed = platform::registry::parseRootedKeyPath(platform::text::toUtf16(text));
    if (!parsed) {
        if (reason) {
            *reason = "\"" + std::string(text) +
                      "\" is not a registry key (a root such as HKEY_LOCAL_MACHINE or HKLM, "
                      "then key names separated by \\)";
        }
        return std::nullopt;
    }
    KeyPath path{parsed->root, parsed->subKey, std::string(fullRootName(parsed->root))};
    if (!path.subkey.empty()) path.text += "\\" + platform::text::toUtf8(path.subkey);
    return path;
}

}  // namespace sim
