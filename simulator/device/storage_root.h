// The host folder that holds the device's storage.
#pragma once

#include <filesystem>
#include <optional>

namespace sim {

class StorageRoot {
public:
    // named: that folder, created if missing and kept afterwards. Unset: a fresh
    // temporary folder that the destructor removes with everything in it.
    // Throws BootError when the folder cannot be made.
    explicit StorageRoot(const std::optional<std::filesystem::path>& named);
    ~StorageRoot();

    StorageRoot(const StorageRoot&) = delete;
    StorageRoot& operator=(const StorageRoot&) = delete;

    const std::filesystem::path& path() const { return path_; }
    bool isTemporary() const { return temporary_; }

    // Creates the device's standard folders and copies the image folder's
    // Windows/* into \Windows (replacing older copies). Throws BootError.
    void prepare(const std::filesystem::path& image) const;

private:
    std::filesystem::path path_;
    bool temporary_ = false;
};

// The folders every device starts with, as device paths.
inline constexpr const char* kStandardFolders[] = {"Windows", "Nand", "Temp", "My Documents"};

}  // namespace sim
