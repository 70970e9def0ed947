#include "module_search.h"

#include <fstream>
#include <iterator>

#include "platform/files/storage.h"

namespace platform::loader {

namespace {

bool hasExtension(std::u16string_view name) {
    size_t slash = name.find_last_of(u"\\/");
    size_t dot = name.find_last_of(u'.');
    return dot != std::u16string_view::npos && (slash == std::u16string_view::npos || dot > slash);
}

std::optional<std::vector<char>> readImage(const std::u16string& devicePath, DWORD& error) {
    DWORD pathError = ERROR_FILE_NOT_FOUND;
    auto host = platform::files::hostPath(devicePath, &pathError);
    if (!host) {
        error = pathError;
        return std::nullopt;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(*host, ec)) {
        error = ERROR_FILE_NOT_FOUND;
        return std::nullopt;
    }
    std::ifstream in(*host, std::ios::binary);
    if (!in) {
        error = ERROR_ACCESS_DENIED;
        return std::nullopt;
    }
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::u16string folderOf(std::u16string_view devicePath) {
    size_t slash = devicePath.find_last_of(u"\\/");
    if (slash == std::u16string_view::npos) return u"\\";
    return std::u16string(devicePath.substr(0, slash == 0 ? 1 : slash));
}

std::optional<FoundImage> findImage(std::u16string_view name, const std::vector<std::u16string>& searchFolders,
                                    std::u16string_view defaultExtension, DWORD& error) {
    if (name.empty()) {
        error = ERROR_INVALID_PARAMETER;
        return std::nullopt;
    }
    std::u16string file(name);
    if (!hasExtension(file)) file += defaultExtension;

    std::vector<std::u16string> candidates;
    if (file.find_first_of(u"\\/") != std::u16string::npos) {
        candidates.push_back(file);
    } else {
        for (const auto& folder : searchFolders)
            candidates.push_back(folder.ends_with(u'\\') ? folder + file : folder + u'\\' + file);
    }
    error = ERROR_FILE_NOT_FOUND;
    for (const auto& candidate : candidates) {
        DWORD readError = ERROR_FILE_NOT_FOUND;
        if (auto bytes = readImage(candidate, readError)) return FoundImage{candidate, std::move(*bytes)};
        // A path that cannot be used at all says so; a missing file tries the next folder.
        if (readError != ERROR_FILE_NOT_FOUND && readError != ERROR_PATH_NOT_FOUND) error = readError;
    }
    return std::nullopt;
}

}  // namespace platform::loader
