#include "registry_names.h"

#include <tchar.h>
#include <winerror.h>

namespace platform::registry {

namespace {
struct RootName {
    RootKey root;
    std::u16string_view fullName;
    std::u16string_view shortName;
};
constexpr RootName kRootNames[] = {
    {RootKey::ClassesRoot, u"HKEY_CLASSES_ROOT", u"HKCR"},
    {RootKey::CurrentUser, u"HKEY_CURRENT_USER", u"HKCU"},
    {RootKey::LocalMachine, u"HKEY_LOCAL_MACHINE", u"HKLM"},
    {RootKey::Users, u"HKEY_USERS", u"HKU"},
};
}  // namespace

std::optional<RootKey> rootNamed(std::u16string_view name) {
    for (const auto& entry : kRootNames)
        if (compareNames(name, entry.fullName) == 0 || compareNames(name, entry.shortName) == 0)
            return entry.root;
    return std::nullopt;
}

std::u16string_view rootFullName(RootKey root) {
    for (const auto& entry : kRootNames)
        if (entry.root == root) return entry.fullName;
    return {};
}

int compareNames(std::u16string_view a, std::u16string_view b) {
    size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        char16_t x = towupper(a[i]);
        char16_t y = towupper(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

SplitPath splitKeyPath(std::u16string_view path) {
    SplitPath result;
    auto refuse = [&](std::string reason) {
        result.names.clear();
        result.error = ERROR_INVALID_PARAMETER;
        result.reason = std::move(reason);
        return result;
    };
    if (path.empty()) return result;
    if (path.front() == u'\\') return refuse("key path begins with a backslash");
    if (path.back() == u'\\') path.remove_suffix(1);
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) end = path.size();
        std::u16string_view name = path.substr(start, end - start);
        if (name.empty()) return refuse("key path contains an empty key name");
        if (name.size() > kMaxKeyNameLength)
            return refuse("key name longer than " + std::to_string(kMaxKeyNameLength) +
                          " characters");
        result.names.push_back(name);
        start = end + 1;
    }
    return result;
}

std::optional<size_t> boundedLength(const WCHAR* text, size_t limit) {
    for (size_t i = 0; i <= limit; ++i)
        if (text[i] == 0) return i;
    return std::nullopt;
}

}  // namespace platform::registry
