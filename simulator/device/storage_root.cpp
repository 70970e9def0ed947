#include "simulator/device/storage_root.h"

#include <stdlib.h>

#include <string>
#include <system_error>

#include "simulator/device/boot_error.h"

namespace fs = std::filesystem;

namespace sim {
namespace {

fs::path makeTemporaryFolder() {
    std::error_code error;
    fs::path base = fs::temp_directory_path(error);
    if (error) base = "/tmp";
    std::string pattern = (base / "termsim-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw BootError("cannot create a temporary storage root in " + base.string() + ": " +
                        std::generic_category().message(errno));
    }
    return pattern;
}

fs::path makeNamedFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder, error)) {
        throw BootError("cannot use " + folder.string() + " as the storage root: " +
                        (error ? error.message() : "it is not a folder"));
    }
    fs::path absolute = fs::absolute(folder, error);
    if (error) throw BootError("cannot use " + folder.string() + " as the storage root: " + error.message());
    return absolute;
}

}  // namespace

StorageRoot::StorageRoot(const std::optional<fs::path>& named)
    : path_(named ? makeNamedFolder(*named) : makeTemporaryFolder()), temporary_(!named) {}

StorageRoot::~StorageRoot() {
    if (!temporary_) return;
    std::error_code ignored;  // nothing sensible to do about a folder that will not go
    fs::remove_all(path_, ignored);
}

void StorageRoot::prepare(const fs::path& image) const {
    std::error_code error;
    for (const char* folder : kStandardFolders) {
        fs::create_directory(path_ / folder, error);
        if (error) {
            throw BootError("cannot create \\" + std::string(folder) + " in " + path_.string() +
                            ": " + error.message());
        }
    }

    const fs::path imageWindows = image / "Windows";
    if (!fs::is_directory(imageWindows, error)) {
        throw BootError("the image folder " + image.string() + " has no Windows folder");
    }
    fs::copy(imageWindows, path_ / "Windows",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    if (error) {
        throw BootError("cannot copy " + imageWindows.string() + " into the storage root: " +
                        error.message());
    }
}

}  // namespace sim
