#include "device_path.h"

#include <tchar.h>
#include <winerror.h>

#include "host_name.h"
#include "name_match.h"

namespace platform::files {

namespace {

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool isForbidden(char16_t c, bool wildcardsAllowed) {
    if (c < 0x20) return true;
    switch (c) {
        case u'<':
        case u'>':
        case u':':
        case u'"':
        case u'|': return true;
        case u'*':
        case u'?': return !wildcardsAllowed;
        default: return false;
    }
}

}  // namespace

std::optional<DevicePath> parseDevicePath(std::u16string_view text, LastComponent last, DWORD& error) {
    if (text.empty()) {
        error = ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }
    if (text.size() > kMaxPathLength) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return std::nullopt;
    }
    if (!toHostName(text)) {
        error = ERROR_INVALID_NAME;
        return std::nullopt;
    }

    // Split first, so that the character check knows which component is last.
    std::vector<std::u16string_view> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = start;
        while (end < text.size() && !isSeparator(text[end])) ++end;
        if (end > start) pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }

    DevicePath path;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const std::u16string_view piece = pieces[i];
        const bool wildcardsAllowed = last == LastComponent::Pattern && i + 1 == pieces.size();
        for (char16_t c : piece) {
            if (isForbidden(c, wildcardsAllowed)) {
                error = ERROR_INVALID_NAME;
                return std::nullopt;
            }
        }
        if (piece == u".") continue;
        if (piece == u"..") {
            if (path.components.empty()) {
                error = ERROR_ACCESS_DENIED;
                return std::nullopt;
            }
            path.components.pop_back();
            continue;
        }
        path.components.emplace_back(piece);
    }
    return path;
}

std::optional<std::u16string_view> pathArgument(const WCHAR* text, DWORD& error) {
    if (!text) {
        error = ERROR_INVALID_PARAMETER;
        return std::nullopt;
    }
    size_t length = 0;
    while (text[length] != 0) {
        if (++length > kMaxPathLength) {
            error = ERROR_FILENAME_EXCED_RANGE;
            return std::nullopt;
        }
    }
    return std::u16string_view(text, length);
}

std::optional<std::u16string> streamDeviceName(std::u16string_view text) {
    if (!text.empty() && text.front() == u'\\') text.remove_prefix(1);
    if (text.size() != 5 || text[4] != u':' || text[3] < u'0' || text[3] > u'9') return std::nullopt;
    std::u16string name(text);
    for (size_t i = 0; i < 3; ++i) {
        const char16_t c = towupper(name[i]);
        if (c < u'A' || c > u'Z') return std::nullopt;
        name[i] = c;
    }
    return name;
}

}  // namespace platform::files
