#include "simulator/automation/program.h"

#include <windows.h>

#include <cctype>

#include "simulator/automation/error_text.h"
#include "platform/text/utf.h"

namespace sim {
namespace {

bool endsWithExe(std::string_view name) {
    if (name.size() < 4) return false;
    std::string_view suffix = name.substr(name.size() - 4);
    return suffix[0] == '.' && std::tolower(static_cast<unsigned char>(suffix[1])) == 'e' &&
           std::tolower(static_cast<unsigned char>(suffix[2])) == 'x' &&
           std::tolower(static_cast<unsigned char>(suffix[3])) == 'e';
}

bool sameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

// Whether a file (not a folder) is at the path; otherwise *error says why not.
bool isFile(const std::u16string& path, DWORD* error) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        *error = GetLastError();
        return false;
    }
    *error = ERROR_FILE_NOT_FOUND;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::string withExe(std::string_view program) {
    return endsWithExe(program) ? std::string(program) : std::string(program) + ".exe";
}

std::optional<std::u16string> findProgramImage(std::string_view program, std::string* reason) {
    if (program.empty()) {
        *reason = "no program named";
        return std::nullopt;
    }
    std::string path = program.find('\\') != std::string_view::npos
                           ? std::string(program)
                           : "\\Windows\\" + std::string(program);
    DWORD error = 0;
    std::u16string wide = platform::text::toUtf16(path);
    if (isFile(wide, &error)) return wide;
    if (!endsWithExe(path)) {
        std::u16string exe = platform::text::toUtf16(withExe(path));
        if (isFile(exe, &error)) return exe;
        path = withExe(path);
    }
    *reason = "no program " + path + " on the device: " + errorText(error);
    return std::nullopt;
}

bool runsProgram(const platform::kernel::ProcessInfo& process, std::string_view program) {
    bool byPath = program.find('\\') != std::string_view::npos;
    const std::u16string& actual = byPath ? process.imagePath : process.name;
    return sameName(actual, platform::text::toUtf16(program)) ||
           sameName(actual, platform::text::toUtf16(withExe(program)));
}

}  // namespace sim
