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
    OpenKey(OpenKey&& other) noexcept : key_(other.key_), owned_(other.owned_) { other.owned_ = false; }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    OpenKey& operator=(OpenKey&&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
    bool owned_ = false;
};

// A key as a caller named it: its path, and the key itself once opened.
struct NamedKey {
    KeyPath path;
    std::optional<OpenKey> key;
    LONG error = ERROR_SUCCESS;  // why the key could not be opened (or created)

    Result cannot(const char* doing) const {
        return Result::failure(std::string("cannot ") + doing + " " + path.text + ": " + errorText(error));
    }
};

// Parses the key's text and opens the key (with create, creates it and its
// parents). nullopt, with *failure, for text that names no key; otherwise the
// path and either the key or the platform's error.
std::optional<NamedKey> openNamedKey(std::string_view text, bool create, Result& failure) {
    std::string reason;
    auto path = parseKeyPath(text, &reason);
    if (!path) {
        failure = Result::failure(reason);
        return std::nullopt;
    }
    NamedKey named{std::move(*path), std::nullopt, ERROR_SUCCESS};
    if (named.path.subkey.empty()) {
        named.key.emplace(named.path.root, false);
        return named;
    }
    HKEY handle = nullptr;
    const WCHAR* subkey = named.path.subkey.c_str();
    named.error = create ? RegCreateKeyExW(named.path.root, subkey, 0, nullptr, 0, 0, nullptr, &handle, nullptr)
                         : RegOpenKeyExW(named.path.root, subkey, 0, 0, &handle);
    if (named.error == ERROR_SUCCESS) named.key.emplace(handle, true);
    return named;
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
    Result failure;
    auto named = openNamedKey(key, false, failure);
    if (!named) return failure;
    if (named->error != ERROR_SUCCESS) return named->cannot("export");
    std::error_code ignored;  // a folder that cannot be made shows as the export's own error
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
    auto result = platform::registry::exportRegFile(platform::text::toUtf16(named->path.text), file);
    if (!result.ok) return Result::failure(result.error);
    return Result::success();
}

Result Terminal::regSet(std::string_view key, std::string_view name, const RegValue& value) {
    settle();
    Result failure;
    auto named = openNamedKey(key, true, failure);
    if (!named) return failure;
    if (named->error != ERROR_SUCCESS) return named->cannot("create");
    std::u16string wideName = platform::text::toUtf16(name);
    LONG error = RegSetValueExW(named->key->get(), wideName.c_str(), 0, value.type, value.data.data(),
                                static_cast<DWORD>(value.data.size()));
    if (error != ERROR_SUCCESS) {
        return Result::failure("cannot set " + named->path.text + " " + valueLabel(name) + ": " + errorText(error));
    }
    return Result::success();
}

std::optional<RegValue> Terminal::regValue(std::string_view key, std::string_view name) {
    settle();
    Result failure;
    auto named = openNamedKey(key, false, failure);
    RegValue value;
    if (!named || named->error != ERROR_SUCCESS) return std::nullopt;
    if (queryValue(named->key->get(), name, value) != ERROR_SUCCESS) return std::nullopt;
    return value;
}

Result Terminal::regGet(std::string_view key, std::string_view name) {
    settle();
    Result failure;
    auto named = openNamedKey(key, false, failure);
    if (!named) return failure;
    if (named->error != ERROR_SUCCESS) return named->cannot("open");
    RegValue value;
    if (LONG error = queryValue(named->key->get(), name, value); error != ERROR_SUCCESS) {
        return Result::failure("cannot read " + named->path.text + " " + valueLabel(name) + ": " + errorText(error));
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
    Result failure;
    auto named = openNamedKey(key, false, failure);
    if (!named) return failure;
    if (named->error != ERROR_SUCCESS) return named->cannot("open");
    std::u16string wideName = platform::text::toUtf16(*name);
    if (LONG error = RegDeleteValueW(named->key->get(), wideName.c_str()); error != ERROR_SUCCESS) {
        return Result::failure("cannot delete " + path->text + " " + valueLabel(*name) + ": " + errorText(error));
    }
    return Result::success();
}

Result Terminal::expectReg(std::string_view key, std::string_view name, const std::vector<std::string>& words) {
    settle();
    Result failure;
    auto named = openNamedKey(key, false, failure);
    if (!named) return failure;
    std::string expected = named->path.text + " " + valueLabel(name) + " =";
    for (const auto& word : words) expected += " " + word;

    if (named->error != ERROR_SUCCESS) {
        return Result::mismatch(expected, isMissing(named->error) ? "no such key" : errorText(named->error));
    }
    RegValue value;
    if (LONG error = queryValue(named->key->get(), name, value); error != ERROR_SUCCESS) {
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
    Result failure;
    auto named = openNamedKey(key, false, failure);
    if (!named) return failure;
    if (isMissing(named->error)) return Result::success();  // no key, so no value either
    if (named->error != ERROR_SUCCESS) return named->cannot("open");
    const std::string expected =
        "no " + (name ? "value " + valueLabel(*name) + " in " : "key ") + named->path.text;
    if (!name) return Result::mismatch(expected, "the key exists");

    RegValue value;
    LONG error = queryValue(named->key->get(), *name, value);
    if (isMissing(error)) return Result::success();
    if (error != ERROR_SUCCESS) return Result::failure("cannot read " + valueLabel(*name) + ": " + errorText(error));
    return Result::mismatch(expected, value.describe());
}

}  // namespace sim
