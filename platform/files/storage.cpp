#include "storage.h"

#include <winerror.h>

#include <sys/stat.h>

#include <mutex>
#include <system_error>

#include "host_name.h"
#include "name_match.h"

namespace platform::files {

namespace fs = std::filesystem;

namespace {

struct Storage {
    std::mutex mutex;
    fs::path root;  // canonical
};

Storage& storage() {
    static Storage instance;
    return instance;
}

bool isWithin(const fs::path& root, const fs::path& candidate) {
    auto r = root.begin(), c = candidate.begin();
    for (; r != root.end(); ++r, ++c)
        if (c == candidate.end() || *r != *c) return false;
    return true;
}

bool isLink(const fs::path& p) {
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Follows a host link to where it finally leads; nothing for a loop.
std::optional<fs::path> followLink(fs::path p) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        const fs::path target = fs::read_symlink(p, ec);
        if (ec) return std::nullopt;
        p = fs::weakly_canonical(target.is_absolute() ? target : p.parent_path() / target, ec);
        if (ec) return std::nullopt;
        if (!isLink(p)) return p;
    }
    return std::nullopt;
}

// The host entry in folder whose name equals name without regard to case: the
// exact spelling when it exists, else the first such entry in host order of
// names (so the choice does not depend on the order the host lists them in).
std::optional<std::string> findEntry(const fs::path& folder, std::u16string_view name,
                                     const std::string& hostName) {
    struct stat st;
    if (::lstat((folder / hostName).c_str(), &st) == 0) return hostName;
    std::optional<std::string> best;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        const auto deviceName = toDeviceName(entry);
        if (deviceName && sameName(*deviceName, name) && (!best || entry < *best)) best = std::move(entry);
    }
    return best;
}

}  // namespace

void setStorageRoot(const fs::path& root) {
    fs::path canonical;
    if (!root.empty()) {
        fs::create_directories(root);
        canonical = fs::canonical(root);
    }
    std::lock_guard lock(storage().mutex);
    storage().root = std::move(canonical);
}

fs::path storageRoot() {
    std::lock_guard lock(storage().mutex);
    return storage().root;
}

std::optional<ResolvedPath> resolvePath(const DevicePath& path, DWORD& error) {
    const fs::path root = storageRoot();
    if (root.empty()) {
        error = ERROR_NOT_READY;
        return std::nullopt;
    }

    ResolvedPath result;
    result.host = root;
    result.isRoot = path.components.empty();
    bool present = true;  // everything walked so far exists on the host
    bool folder = true;   // ... and the last of it is a folder
    for (size_t i = 0; i < path.components.size(); ++i) {
        const std::u16string& name = path.components[i];
        const auto hostName = toHostName(name);
        if (!hostName) {
            error = ERROR_INVALID_NAME;
            return std::nullopt;
        }
        const bool last = i + 1 == path.components.size();
        if (last) result.parentExists = present && folder;
        const auto entry = (present && folder) ? findEntry(result.host, name, *hostName) : std::nullopt;
        if (!entry) {
            present = false;
            result.host /= *hostName;
            continue;
        }
        result.host /= *entry;
        if (isLink(result.host)) {
            const auto target = followLink(result.host);
            if (!target || !isWithin(root, *target)) {
                error = ERROR_ACCESS_DENIED;
                return std::nullopt;
            }
            result.host = *target;
        }
        struct stat st;
        present = ::lstat(result.host.c_str(), &st) == 0;
        folder = present && S_ISDIR(st.st_mode);
    }
    if (result.isRoot) result.parentExists = true;
    result.exists = present;
    return result;
}

std::optional<fs::path> containedTarget(const fs::path& host) {
    if (!isLink(host)) return host;
    const fs::path root = storageRoot();
    const auto target = followLink(host);
    if (!target || root.empty() || !isWithin(root, *target)) return std::nullopt;
    return target;
}

std::optional<ResolvedPath> resolveDevicePath(std::u16string_view devicePath, DWORD& error) {
    const auto parsed = parseDevicePath(devicePath, LastComponent::Name, error);
    if (!parsed) return std::nullopt;
    return resolvePath(*parsed, error);
}

std::optional<fs::path> hostPath(std::u16string_view devicePath, DWORD* error) {
    DWORD code = ERROR_SUCCESS;
    auto resolved = resolveDevicePath(devicePath, code);
    if (!resolved) {
        if (error) *error = code;
        return std::nullopt;
    }
    return std::move(resolved->host);
}

}  // namespace platform::files
