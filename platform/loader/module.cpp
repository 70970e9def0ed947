#include "module.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace platform::loader {

namespace {

std::string asciiName(const std::u16string& text) {
    std::string name;
    for (char16_t c : text) name += (c > 0x20 && c < 0x7F && c != '/') ? static_cast<char>(c) : '_';
    return name.empty() ? std::string("module") : name;
}

std::u16string baseName(const std::u16string& path) {
    size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

std::shared_ptr<Module> Module::load(std::u16string devicePath, const std::vector<char>& image, DWORD& error,
                                     std::string& detail) {
    static const char kElfMagic[4] = {0x7F, 'E', 'L', 'F'};
    if (image.size() < 4 || std::memcmp(image.data(), kElfMagic, 4) != 0) {
        error = ERROR_BAD_EXE_FORMAT;
        detail = "not a module image";
        return nullptr;
    }
    int fd = ::memfd_create(asciiName(baseName(devicePath)).c_str(), MFD_CLOEXEC);
    if (fd < 0 || !writeAll(fd, image.data(), image.size())) {
        if (fd >= 0) ::close(fd);
        error = ERROR_NOT_ENOUGH_MEMORY;
        detail = "cannot make the module's private copy";
        return nullptr;
    }
    std::string hostName = "/proc/self/fd/" + std::to_string(fd);
    void* host = ::dlopen(hostName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!host) {
        const char* why = ::dlerror();
        detail = why ? why : "dlopen failed";
        ::close(fd);
        error = ERROR_BAD_EXE_FORMAT;
        return nullptr;
    }
    return std::shared_ptr<Module>(new Module(std::move(devicePath), fd, host, image));
}

Module::Module(std::u16string devicePath, int memoryFile, void* host, std::vector<char> image)
    : devicePath_(std::move(devicePath)), image_(std::move(image)), memoryFile_(memoryFile), host_(host) {}

Module::~Module() {
    if (host_) ::dlclose(host_);
    if (memoryFile_ >= 0) ::close(memoryFile_);
}

std::u16string Module::fileName() const { return baseName(devicePath_); }

void* Module::ownSymbol(const char* name) const {
    void* symbol = ::dlsym(host_, name);
    if (!symbol) return nullptr;
    // dlsym also searches what the module links against; keep only its own.
    Dl_info info;
    struct link_map* owner = nullptr;
    struct link_map* self = nullptr;
    if (!::dladdr1(symbol, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP)) return nullptr;
    if (::dlinfo(host_, RTLD_DI_LINKMAP, &self) != 0) return nullptr;
    return owner == self ? symbol : nullptr;
}

}  // namespace platform::loader
