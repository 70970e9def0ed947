// The registry: import, export, set, get, delete and the registry expectations.
#include <windows.h>
#include <winreg.h>

#include "platform/registry/registry_io.h"
#include "simulator/automation/error_text.h"
#include "simulator/automation/key_path.h"
#include "simulator/automation/terminal.h"
#include "platform/text/utf.h"

namespace sim {
namespace {

// An open registry key, closed when it goes (a root stays open: it is no handle).
class OpenKey {
public:
    OpenKey() = default;
    explicit OpenKey(HKEY key, bool owned) : key_(key), owned_(owned) {}
    ~OpenKey() {
        if (owned_) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
    bool owned_ = false;
};

// Opens (or, with create, creates) the key; the platform's error otherwise.
LONG openKey(const KeyPath& path, bool create, std::optional<OpenKey>& key) {
    if (path.subkey.empty()) {
        key.emplace(path.root, false);
        return ERROR_SUCCESS;
    }
    HKEY handle = nullptr;
    LONG error = create ? RegCreateKeyExW(path.root, path.subkey.c_str(), 0, nullptr, 0, 0, nullptr,
                                          &handle, nullptr)
                        : RegOpenKeyExW(path.root, path.subkey.c_str(), 0, 0, &handle);
    if (error == ERROR_SUCCESS) key.emplace(handle, true);
    return error;
}

std::string valueLabel(std::string_view name) {
    return name.empty() ? std::string("@") : "\"" + std::string(name) + "\"";
}

bool isMissing(LONG error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Reads a value: ERROR_SUCCESS with it, or the platform's error.
LONG queryValue(HKEY key, std::string_view name, RegValue& value) {
    std::u16string wideName = platform::text::toUtf16(name);
    // The value may grow between the size query and the read; try again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = 0;
        LONG error = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size);
        if (error != ERROR_SUCCESS) return error;
        std::vector<BYTE> data(size);
        error = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, data.data(), &size);
        if (error == ERROR_MORE_DATA) continue;
        if (error != ERROR_SUCCESS) return error;
        data.resize(size);
        value = RegValue{type, std::move(data)};
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

}  // namespace

Result Terminal::regImport(const std::filesystem::path& file) {
    settle();
    auto result = platform::registry::importRegFile(file);
    if (!result.ok) return Result::failure(result.error);
    return Result::success();
}

Result Terminal::regExport(std::string_view key, const std::filesystem::path& file) {
    settle();
    std::string reason;
    auto path = parseKeyPath(key, &reason);
    if (!path) return Result::failure(reason);
    std::optional<OpenKey> open;
    if (LONG error = openKey(*path, false, open); error != ERROR_SUCCESS) {
        return Result::failure("cannot export " + path->text + ": " + errorText(error));
    }
    std::error_code ignored;  // a folder that cannot be made shows as the export's own error
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
    auto result = platform::registry::exportRegFile(platform::text::toUtf16(path->text), file);
    if (!result.ok) return Result::failure(result.error);
    return Result::success();
}

Result Terminal::regSet(std::string_view key, std::string_view name, const RegValue& value) {
    settle();
    std::string reason;
    auto path = parseKeyPath(key, &reason);
    if (!path) return Result::failure(reason);
    std::optional<OpenKey> open;
    if (LONG error = openKey(*path, true, open); error != ERROR_SUCCESS) {
        return Result::failure("cannot create " + path->text + ": " + errorText(error));
    }
    std::u16string wideName = platform::text::toUtf16(name);
    LONG error = RegSetValueExW(open->get(), wideName.c_str(), 0, value.type, value.data.data(),
                                static_cast<DWORD>(value.data.size()));
    if (error != ERROR_SUCCESS) {
        return Result::failure("cannot set " + path->text + " " + valueLabel(name) + ": " + errorText(error));
    }
    return Result::success();
}

std::optional<RegValue> Terminal::regValue(std::string_view key, std::string_view name) {
    settle();
    auto path = parseKeyPath(key, nullptr);
    std::optional<OpenKey> open;
    RegValue value;
    if (!path || openKey(*path, false, open) != ERROR_SUCCESS) return std::nullopt;
    if (queryValue(open->get(), name, value) != ERROR_SUCCESS) return std::nullopt;
    return value;
}

Result Terminal::regGet(std::string_view key, std::string_view name) {
    settle();
    std::string reason;
    auto path = parseKeyPath(key, &reason);
    if (!path) return Result::failure(reason);
    std::optional<OpenKey> open;
    if (LONG error = openKey(*path, false, open); error != ERROR_SUCCESS) {
        return Result::failure("cannot open " + path->text + ": " + errorText(error));
    }
    RegValue value;
    if (LONG error = queryValue(open->get(), name, value); error != ERROR_SUCCESS) {
        return Result::failure("cannot read " + path->text + " " + valueLabel(name) + ": " + errorText(error));
    }
    Result result = Result::success();
    result.output.push_back(value.describe());
    return result;
}

Result Terminal::regDelete(std::string_view key, std::optional<std::string_view> name) {
    settle();
    std::string reason;
    auto path = parseKeyPath(key, &reason);
    if (!path) return Result::failure(reason);
    if (!name) {
        if (path->subkey.empty()) return Result::failure("cannot delete the root key " + path->text);
        // On this platform RegDeleteKeyW removes the subkeys too.
        LONG error = RegDeleteKeyW(path->root, path->subkey.c_str());
        if (error != ERROR_SUCCESS) return Result::failure("cannot delete " + path->text + ": " + errorText(error));
        return Result::success();
    }
    std::optional<OpenKey> open;
    if (LONG error = openKey(*path, false, open); error != ERROR_SUCCESS) {
        return Result::failure("cannot open " + path->text + ": " + errorText(error));
    }
    std::u16string wideName = platform::text::toUtf16(*name);
    if (LONG error = RegDeleteValueW(open->get(), wideName.c_str()); error != ERROR_SUCCESS) {
        return Result::failure("cannot delete " + path->text + " " + valueLabel(*name) + ": " + errorText(error));
    }
    return Result::success();
}

Result Terminal::expectReg(std::string_view key, std::string_view name, const std::vector<std::string>& words) {
    settle();
    std::string reason;
    auto path = parseKeyPath(key, &reason);
    if (!path) return Result::failure(reason);
    std::string expected = path->text + " " + valueLabel(name) + " =";
    for (const auto& word : words) expected += " " + word;

    std::optional<OpenKey> open;
    if (LONG error = openKey(*path, false, open); error != ERROR_SUCCESS) {
        return Result::mismatch(expected, isMissing(error) ? "no such key" : errorText(error));
    }
    RegValue value;
    if (LONG error = queryValue(open->get(), name, value); error != ERROR_SUCCESS) {
        return Result::mismatch(expected, isMissing(error) ? "no such value" : errorText(error));
    }
    if (!value.matches(words)) return Result::mismatch(expected, value.describe());
    return Result::success();
}

Result Terminal::expectReg(std::string_view key, std::string_view name, DWORD value) {
    return expectReg(key, name, std::vector<std::string>{std::to_string(value)});
}

Result Terminal::expectReg(std::string_view key, std::string_view name, std::string_view text) {
    return expectReg(key, name, std::vector<std::string>{std::string(text)});
}

Result Terminal::expectNoReg(std::string_view key, std::optional<std::string_view> name) {
    settle();
    std::string reason;
    auto path = parseKeyPath(key, &reason);
    if (!path) return Result::failure(reason);
    std::string expected = "no " + (name ? "value " + valueLabel(*name) + " in " : "key ") + path->text;

    std::optional<OpenKey> open;
    LONG error = openKey(*path, false, open);
    if (isMissing(error)) return Result::success();  // no key, so no value either
    if (error != ERROR_SUCCESS) return Result::failure("cannot open " + path->text + ": " + errorText(error));
    if (!name) return Result::mismatch(expected, "the key exists");

    RegValue value;
    error = queryValue(open->get(), *name, value);
    if (isMissing(error)) return Result::success();
    if (error != ERROR_SUCCESS) return Result::failure("cannot read " + valueLabel(*name) + ": " + errorText(error));
    return Result::mismatch(expected, value.describe());
}

}  // namespace sim
