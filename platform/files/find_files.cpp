// FindFirstFileW, FindNextFileW and FindClose. A search reads its folder once,
// when it starts, and hands the matches out in ascending order of name compared
// without regard to case, so that programs see a stable order.
#include <tchar.h>
#include <winbase.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "device_path.h"
#include "file_info.h"
#include "host_name.h"
#include "name_match.h"
#include "platform/kernel/handle_table.h"
#include "platform/kernel/last_error.h"
#include "storage.h"

using platform::kernel::resolveHandle;
using platform::kernel::setLastError;
namespace files = platform::files;
namespace fs = std::filesystem;

namespace {

class FindObject final : public platform::kernel::KernelObject {
public:
    explicit FindObject(std::vector<WIN32_FIND_DATAW> matches) : matches_(std::move(matches)) {}

    std::string_view kindName() const override { return "find"; }
    // A search is ended with FindClose, not CloseHandle.
    bool closableByCloseHandle() const override { return false; }

    bool next(WIN32_FIND_DATAW& data) {
        std::lock_guard lock(mutex_);
        if (next_ >= matches_.size()) return false;
        data = matches_[next_++];
        return true;
    }

private:
    std::mutex mutex_;
    const std::vector<WIN32_FIND_DATAW> matches_;
    size_t next_ = 0;
};

bool lessByName(const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b) {
    const std::u16string_view x(a.cFileName), y(b.cFileName);
    const size_t common = std::min(x.size(), y.size());
    for (size_t i = 0; i < common; ++i) {
        const char16_t ux = towupper(x[i]), uy = towupper(y[i]);
        if (ux != uy) return ux < uy;
    }
    if (x.size() != y.size()) return x.size() < y.size();
    return x < y;
}

std::optional<WIN32_FIND_DATAW> describe(const fs::path& entry, std::u16string_view name) {
    if (name.size() >= MAX_PATH) return std::nullopt;
    // A link that leads out of the storage is nothing the device can reach.
    const auto target = files::containedTarget(entry);
    if (!target) return std::nullopt;
    DWORD error = ERROR_SUCCESS;
    const auto info = files::fileInfo(*target, error);
    if (!info) return std::nullopt;

    WIN32_FIND_DATAW data;
    std::memset(&data, 0, sizeof data);
    data.dwFileAttributes = info->attributes;
    data.ftCreationTime = info->creationTime;
    data.ftLastAccessTime = info->lastAccessTime;
    data.ftLastWriteTime = info->lastWriteTime;
    data.nFileSizeHigh = static_cast<DWORD>(info->size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(info->size);
    data.dwOID = 0;  // object identifiers belong to the object store, not to this storage
    std::copy(name.begin(), name.end(), data.cFileName);
    return data;
}

std::optional<std::vector<WIN32_FIND_DATAW>> search(LPCWSTR lpFileName, DWORD& error) {
    const auto text = files::pathArgument(lpFileName, error);
    if (!text) return std::nullopt;
    auto parsed = files::parseDevicePath(*text, files::LastComponent::Pattern, error);
    if (!parsed) return std::nullopt;
    // "\" or "\Nand\" names a folder, not entries in it.
    if (parsed->components.empty() || text->back() == u'\\' || text->back() == u'/') {
        error = ERROR_FILE_NOT_FOUND;
        return std::nullopt;
    }
    const std::u16string pattern = std::move(parsed->components.back());
    parsed->components.pop_back();
    const auto folder = files::resolvePath(*parsed, error);
    if (!folder) return std::nullopt;
    std::error_code ec;
    if (!folder->exists || !fs::is_directory(folder->host, ec)) {
        error = ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }

    std::vector<WIN32_FIND_DATAW> matches;
    for (fs::directory_iterator it(folder->host, ec), end; !ec && it != end; it.increment(ec)) {
        const auto name = files::toDeviceName(it->path().filename().string());
        if (!name || !files::matchesPattern(*name, pattern)) continue;
        if (auto data = describe(it->path(), *name)) matches.push_back(*data);
    }
    if (ec) {
        error = ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }
    if (matches.empty()) {
        error = ERROR_FILE_NOT_FOUND;
        return std::nullopt;
    }
    std::sort(matches.begin(), matches.end(), lessByName);
    return matches;
}

}  // namespace

extern "C" {

HANDLE WINAPI FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData) {
    DWORD error = ERROR_SUCCESS;
    if (!lpFindFileData) {
        setLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto matches = search(lpFileName, error);
    if (!matches) {
        setLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    auto find = std::make_shared<FindObject>(std::move(*matches));
    WIN32_FIND_DATAW first;
    find->next(first);
    HANDLE handle = platform::kernel::handleTable().insert(find);
    if (!handle) {
        setLastError(ERROR_TOO_MANY_OPEN_FILES);
        return INVALID_HANDLE_VALUE;
    }
    *lpFindFileData = first;
    return handle;
}

BOOL WINAPI FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData) {
    const auto find = resolveHandle<FindObject>(hFindFile);
    if (!find) return FALSE;
    if (!lpFindFileData) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!find->next(*lpFindFileData)) {
        setLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
    if (!resolveHandle<FindObject>(hFindFile)) return FALSE;
    if (!platform::kernel::handleTable().remove(hFindFile)) {
        setLastError(ERROR_INVALID_HANDLE);  // closed by another thread meanwhile
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
