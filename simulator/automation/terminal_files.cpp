// The device's files seen from outside: put, get, ls, rm, mkdir and the file
// expectations. Everything goes through the platform's file API, so the device's
// own rules (paths, sharing) apply to the simulator as they do to programs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "simulator/automation/error_text.h"
#include "simulator/automation/terminal.h"
#include "platform/text/utf.h"

namespace fs = std::filesystem;

namespace sim {
namespace {

using platform::text::toUtf16;
using platform::text::toUtf8;

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    void close() {
        if (valid()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (valid()) FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

constexpr DWORD kChunk = 64 * 1024;

std::optional<DWORD> attributesOf(std::string_view devicePath, DWORD* error = nullptr) {
    DWORD attributes = GetFileAttributesW(toUtf16(devicePath).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (error) *error = GetLastError();
        return std::nullopt;
    }
    return attributes;
}

bool isFolder(std::string_view devicePath) {
    auto attributes = attributesOf(devicePath);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool hasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

// The folder part ("\Nand") and the last component ("*.jpg") of a device path.
std::pair<std::string, std::string> splitLast(std::string_view devicePath) {
    size_t slash = devicePath.rfind('\\');
    if (slash == std::string_view::npos) return {"", std::string(devicePath)};
    return {std::string(devicePath.substr(0, slash)), std::string(devicePath.substr(slash + 1))};
}

std::string joinDevicePath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\') path += '\\';
    return path + std::string(name);
}

struct Entry {
    std::string name;
    bool folder = false;
    uint64_t size = 0;
};

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

// The entries matching a FindFirstFileW pattern, sorted by name; an empty list
// when nothing matches, nullopt with *error when the search itself fails.
std::optional<std::vector<Entry>> findEntries(std::string_view pattern, DWORD* error) {
    WIN32_FIND_DATAW data{};
    FindHandle find(FindFirstFileW(toUtf16(pattern).c_str(), &data));
    std::vector<Entry> entries;
    if (!find.valid()) {
        DWORD why = GetLastError();
        if (why == ERROR_FILE_NOT_FOUND || why == ERROR_NO_MORE_FILES) return entries;
        *error = why;
        return std::nullopt;
    }
    do {
        Entry entry;
        entry.name = toUtf8(data.cFileName);
        entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(find.get(), &data));
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return lessIgnoringCase(a.name, b.name); });
    return entries;
}

// What matches a device path that may hold wildcards in its last component:
// the matching names, or a failure (an unusable path).
struct Matches {
    std::vector<std::string> names;
    std::optional<std::string> error;
};

Matches matchesOf(std::string_view devicePath) {
    auto [folder, last] = splitLast(devicePath);
    if (hasWildcard(folder)) return {{}, "wildcards are allowed only in the last component: " + std::string(devicePath)};
    if (!hasWildcard(last)) {
        if (attributesOf(devicePath)) return {{last}, std::nullopt};
        return {};
    }
    DWORD error = 0;
    auto entries = findEntries(devicePath, &error);
    if (!entries) {
        if (error == ERROR_PATH_NOT_FOUND) return {};
        return {{}, "cannot search " + std::string(devicePath) + ": " + errorText(error)};
    }
    Matches matches;
    for (auto& entry : *entries) matches.names.push_back(std::move(entry.name));
    return matches;
}

std::string listOf(const std::vector<std::string>& names, size_t limit = 10) {
    std::string out;
    for (size_t i = 0; i < names.size() && i < limit; ++i) out += (i ? ", " : "") + names[i];
    if (names.size() > limit) out += ", … (" + std::to_string(names.size()) + " in all)";
    return out;
}

// What the folder of a missed path holds, to say what was found instead.
std::string whatIsThere(std::string_view devicePath) {
    auto [folder, last] = splitLast(devicePath);
    std::string shown = folder.empty() ? "\\" : folder;
    if (!folder.empty() && !isFolder(folder)) return "no folder " + shown;
    DWORD error = 0;
    auto entries = findEntries(joinDevicePath(folder, "*"), &error);
    if (!entries || entries->empty()) return "nothing in " + shown;
    std::vector<std::string> names;
    for (auto& entry : *entries) names.push_back(entry.name);
    return "no match; " + shown + " holds " + listOf(names);
}

}  // namespace

Result Terminal::filePut(const fs::path& hostFile, std::string_view devicePath) {
    settle();
    std::ifstream in(hostFile, std::ios::binary);
    if (!in || fs::is_directory(hostFile)) return Result::failure("cannot read " + hostFile.string());

    std::string target(devicePath);
    if (target.ends_with('\\') || isFolder(target)) target = joinDevicePath(target, hostFile.filename().string());

    std::u16string wideTarget = toUtf16(target);
    FileHandle file(CreateFileW(wideTarget.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return Result::failure("cannot create " + target + ": " + errorText(GetLastError()));

    std::vector<char> buffer(kChunk);
    uint64_t total = 0;
    while (in) {
        in.read(buffer.data(), buffer.size());
        DWORD count = static_cast<DWORD>(in.gcount());
        if (count == 0) break;
        DWORD written = 0;
        if (!WriteFile(file.get(), buffer.data(), count, &written, nullptr) || written != count) {
            DWORD error = GetLastError();
            // A half-written copy would pass for the file; leave none.
            file.close();
            DeleteFileW(wideTarget.c_str());
            return Result::failure("cannot write " + target + ": " + errorText(error));
        }
        total += written;
    }
    if (in.bad()) {
        file.close();
        DeleteFileW(wideTarget.c_str());
        return Result::failure("cannot read " + hostFile.string());
    }
    return Result::success("wrote " + std::to_string(total) + " bytes to " + target);
}

Result Terminal::fileGet(std::string_view devicePath, const fs::path& hostFile) {
    settle();
    FileHandle file(CreateFileW(toUtf16(devicePath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return Result::failure("cannot open " + std::string(devicePath) + ": " + errorText(GetLastError()));
    }

    fs::path target = hostFile;
    if (fs::is_directory(target)) target /= splitLast(devicePath).second;
    std::error_code ignored;
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ignored);
    // Written beside the target and renamed at the end, so a failed copy never
    // replaces a good file with part of one.
    fs::path partial = target;
    partial += ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out) return Result::failure("cannot write " + target.string());
        std::vector<char> buffer(kChunk);
        for (;;) {
            DWORD read = 0;
            if (!ReadFile(file.get(), buffer.data(), kChunk, &read, nullptr)) {
                DWORD error = GetLastError();
                out.close();
                fs::remove(partial, ignored);
                return Result::failure("cannot read " + std::string(devicePath) + ": " + errorText(error));
            }
            if (read == 0) break;
            out.write(buffer.data(), read);
        }
        out.close();
        if (!out) {
            fs::remove(partial, ignored);
            return Result::failure("cannot write " + target.string());
        }
    }
    std::error_code error;
    fs::rename(partial, target, error);
    if (error) {
        fs::remove(partial, ignored);
        return Result::failure("cannot write " + target.string() + ": " + error.message());
    }
    return Result::success();
}

Result Terminal::fileLs(std::string_view deviceFolder) {
    settle();
    std::string pattern;
    if (hasWildcard(splitLast(deviceFolder).second)) {
        pattern = deviceFolder;
    } else {
        DWORD error = 0;
        auto attributes = attributesOf(deviceFolder, &error);
        if (!attributes) return Result::failure("cannot list " + std::string(deviceFolder) + ": " + errorText(error));
        if (!(*attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return Result::failure("cannot list " + std::string(deviceFolder) + ": it is a file");
        }
        pattern = joinDevicePath(deviceFolder, "*");
    }
    DWORD error = 0;
    auto entries = findEntries(pattern, &error);
    if (!entries) return Result::failure("cannot list " + std::string(deviceFolder) + ": " + errorText(error));
    Result result = Result::success();
    for (const auto& entry : *entries) {
        char size[24];
        if (entry.folder) {
            std::snprintf(size, sizeof size, "%10s", "<DIR>");
        } else {
            std::snprintf(size, sizeof size, "%10llu", static_cast<unsigned long long>(entry.size));
        }
        result.output.push_back(std::string(size) + "  " + entry.name);
    }
    return result;
}

Result Terminal::fileRm(std::string_view devicePath) {
    settle();
    DWORD error = 0;
    auto attributes = attributesOf(devicePath, &error);
    if (!attributes) return Result::failure("cannot remove " + std::string(devicePath) + ": " + errorText(error));
    std::u16string wide = toUtf16(devicePath);
    BOOL removed = (*attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(wide.c_str()) : DeleteFileW(wide.c_str());
    if (!removed) return Result::failure("cannot remove " + std::string(devicePath) + ": " + errorText(GetLastError()));
    return Result::success();
}

Result Terminal::mkdir(std::string_view deviceFolder) {
    settle();
    std::string folder(deviceFolder);
    if (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
    if (folder.empty() || folder[0] != '\\') {
        return Result::failure("\"" + folder + "\" is not a device path (they start with \\)");
    }
    if (folder == "\\") return Result::success();  // the root is always there
    // Each ancestor in turn, from the top; existing folders are passed over.
    for (size_t end = folder.find('\\', 1);; end = folder.find('\\', end + 1)) {
        std::string prefix = folder.substr(0, end);
        if (prefix.ends_with('\\')) return Result::failure("\"" + folder + "\" has an empty folder name");
        if (!CreateDirectoryW(toUtf16(prefix).c_str(), nullptr)) {
            DWORD error = GetLastError();
            if (!isFolder(prefix)) return Result::failure("cannot create " + prefix + ": " + errorText(error));
        }
        if (end == std::string::npos) break;
    }
    return Result::success();
}

Result Terminal::expectFile(std::string_view devicePath) {
    settle();
    auto matches = matchesOf(devicePath);
    if (matches.error) return Result::failure(*matches.error);
    if (!matches.names.empty()) return Result::success();
    return Result::mismatch("file " + std::string(devicePath), whatIsThere(devicePath));
}

Result Terminal::expectNoFile(std::string_view devicePath) {
    settle();
    auto matches = matchesOf(devicePath);
    if (matches.error) return Result::failure(*matches.error);
    if (matches.names.empty()) return Result::success();
    return Result::mismatch("no file " + std::string(devicePath), listOf(matches.names));
}

}  // namespace sim
