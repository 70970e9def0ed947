// Where the loader finds a program or library by name.
#pragma once

#include <winbase.h>

#include <optional>
#include <string>
#include <vector>

namespace platform::loader {

struct FoundImage {
    std::u16string devicePath;  // as the module will be known ("\Windows\AirSwitch.exe")
    std::vector<char> bytes;
};

// A name with a folder is taken as it stands; a bare name is looked for in each
// of searchFolders in turn. defaultExtension (".exe", ".dll") is added to a name
// without one. On failure returns nothing with the platform's error.
std::optional<FoundImage> findImage(std::u16string_view name, const std::vector<std::u16string>& searchFolders,
                                    std::u16string_view defaultExtension, DWORD& error);

std::u16string folderOf(std::u16string_view devicePath);

}  // namespace platform::loader
