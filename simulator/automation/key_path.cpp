#include "simulator/automation/key_path.h"

#include <winreg.h>

#include <array>
#include <cctype>

#include "simulator/device/utf_stopgap.h"

namespace sim {
namespace {

struct Root {
    std::string_view full;
    std::string_view brief;
    HKEY key;
};

const std::array<Root, 4> kRoots{{
    {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
    {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
    {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
    {"HKEY_USERS", "HKU", HKEY_USERS},
}};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

std::optional<KeyPath> parseKeyPath(std::string_view text, std::string* reason) {
    auto fail = [&](std::string why) -> std::optional<KeyPath> {
        if (reason) *reason = std::move(why);
        return std::nullopt;
    };
    size_t slash = text.find('\\');
    std::string_view rootName = text.substr(0, slash);
    std::string_view rest = slash == std::string_view::npos ? std::string_view() : text.substr(slash + 1);
    if (!rest.empty() && rest.back() == '\\') rest.remove_suffix(1);

    const Root* root = nullptr;
    for (const auto& candidate : kRoots) {
        if (equalsIgnoringCase(rootName, candidate.full) || equalsIgnoringCase(rootName, candidate.brief))
            root = &candidate;
    }
    if (!root) {
        return fail("\"" + std::string(text) +
                    "\" does not start with a registry root (HKEY_LOCAL_MACHINE or HKLM, HKCU, HKCR)");
    }
    if (rest.find("\\\\") != std::string_view::npos || (!rest.empty() && rest.front() == '\\')) {
        return fail("\"" + std::string(text) + "\" has an empty key name");
    }
    KeyPath path{root->key, platform::text::toUtf16(rest), std::string(root->full)};
    if (!rest.empty()) path.text += "\\" + std::string(rest);
    return path;
}

}  // namespace sim
