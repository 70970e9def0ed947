// A module (program or library) mapped into one process.
//
// Every process gets a private copy of each module it loads: the file's bytes
// are copied into an anonymous memory file and the host loader maps that, so two
// processes running the same program have separate globals. The memory file is
// kept open while the copy is mapped.
#pragma once

#include <winbase.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/kernel/kernel_object.h"

namespace platform::loader {

class Module final : public platform::kernel::KernelObject {
public:
    // Maps a private copy of the module image (the file's bytes). On failure
    // returns null with the platform's error in error.
    static std::shared_ptr<Module> load(std::u16string devicePath, const std::vector<char>& image,
                                        DWORD& error, std::string& detail);
    ~Module() override;

    std::string_view kindName() const override { return "module"; }
    bool closableByCloseHandle() const override { return false; }

    const std::u16string& devicePath() const { return devicePath_; }
    std::u16string fileName() const;

    // An export of this module itself (not of anything it links against).
    void* ownSymbol(const char* name) const;

    // The module file's bytes as loaded; the resource functions read the
    // module's resource section from them. They live as long as the module.
    const std::vector<char>& image() const { return image_; }

    // The module's handle value (HMODULE), set once it is in the handle table.
    HMODULE handle = nullptr;
    // LoadLibraryW count in its process (kernel lock held).
    int loadCount = 0;
    bool isLibrary = false;
    bool attached = false;  // DllMain saw DLL_PROCESS_ATTACH

private:
    Module(std::u16string devicePath, int memoryFile, void* host, std::vector<char> image);

    std::u16string devicePath_;
    std::vector<char> image_;
    int memoryFile_ = -1;
    void* host_ = nullptr;  // dlopen handle
};

}  // namespace platform::loader
