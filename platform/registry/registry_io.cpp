#include "registry_io.h"

#include <winreg.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/text/utf.h"
#include "reg_file_parser.h"
#include "reg_file_text.h"
#include "reg_file_writer.h"
#include "registry_key_handle.h"
#include "registry_store.h"

namespace platform::registry {

namespace {

RegFileResult failure(std::string error) { return {false, std::move(error)}; }

struct ParsedKeyPath {
    RootKey root;
    std::vector<std::u16string_view> names;
};

std::optional<ParsedKeyPath> parseKeyPath(std::u16string_view path) {
    size_t slash = path.find(u'\\');
    auto root = rootNamed(path.substr(0, slash));
    if (!root) return std::nullopt;
    if (slash == std::u16string_view::npos) return ParsedKeyPath{*root, {}};
    SplitPath split = splitKeyPath(path.substr(slash + 1));
    if (split.error) return std::nullopt;
    return ParsedKeyPath{*root, std::move(split.names)};
}

std::vector<std::u16string_view> viewsOf(const std::vector<std::u16string>& names) {
    return {names.begin(), names.end()};
}

void apply(RegistryLock& lock, const RegOperation& op) {
    const auto& root = lock.root(op.root);
    std::vector<std::u16string_view> names = viewsOf(op.path);
    switch (op.kind) {
        case RegOperation::Kind::CreateKey:
            lock.create(root, names, u"");
            break;
        case RegOperation::Kind::DeleteKey: {
            std::u16string_view last = names.back();
            names.pop_back();
            if (auto parent = lock.find(root, names)) lock.removeSubkey(*parent, last);
            break;
        }
        case RegOperation::Kind::SetValue:
            // The parser checked nesting and sizes, so creating the key cannot fail.
            if (auto key = lock.create(root, names, u"").node)
                lock.setValue(*key, op.valueName, op.value);
            break;
        case RegOperation::Kind::DeleteValue:
            if (auto key = lock.find(root, names)) lock.removeValue(*key, op.valueName);
            break;
    }
}

}  // namespace

RegFileResult importRegText(std::u16string_view text, const std::string& sourceName) {
    ParsedRegFile parsed = parseRegText(text, sourceName);
    if (!parsed.error.empty()) return failure(std::move(parsed.error));
    RegistryLock lock;
    for (const auto& op : parsed.operations) apply(lock, op);
    return {true, {}};
}

RegFileResult importRegFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return failure(file.string() + ": cannot be read: " + std::strerror(errno));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return failure(file.string() + ": read error");
    DecodedText decoded = decodeRegFileBytes(bytes);
    if (!decoded.error.empty())
        return failure(file.string() + ":" + std::to_string(decoded.errorLine) + ": " +
                       decoded.error);
    return importRegText(decoded.text, file.string());
}

RegFileResult exportRegText(std::u16string_view rootedKeyPath, std::u16string& text) {
    auto path = parseKeyPath(rootedKeyPath);
    if (!path) return failure(platform::text::toUtf8(rootedKeyPath) + ": not a registry key path");
    RegistryLock lock;
    std::shared_ptr<KeyNode> key = lock.root(path->root);
    std::u16string fullPath(rootFullName(path->root));
    for (std::u16string_view name : path->names) {
        auto it = key->subkeys.find(name);
        if (it == key->subkeys.end())
            return failure(platform::text::toUtf8(rootedKeyPath) + ": no such key");
        fullPath += u"\\" + it->first;  // as spelled in the registry
        key = it->second;
    }
    RegTextOutput output = writeRegText(lock, key, fullPath);
    if (!output.error.empty())
        return failure(platform::text::toUtf8(rootedKeyPath) + ": " + output.error);
    text = std::move(output.text);
    return {true, {}};
}

RegFileResult exportRegFile(std::u16string_view rootedKeyPath, const std::filesystem::path& file) {
    std::u16string text;
    RegFileResult result = exportRegText(rootedKeyPath, text);
    if (!result.ok) return result;
    std::string bytes = encodeUtf16leWithBom(text);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return failure(file.string() + ": cannot be written: " + std::strerror(errno));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) return failure(file.string() + ": write error");
    return {true, {}};
}

void clearRegistry() {
    RegistryLock lock;
    lock.clearAll();
}

std::optional<RootedKeyPath> parseRootedKeyPath(std::u16string_view path) {
    auto parsed = parseKeyPath(path);
    if (!parsed) return std::nullopt;
    RootedKeyPath result;
    result.root = predefinedKey(parsed->root);
    for (size_t i = 0; i < parsed->names.size(); ++i) {
        if (i > 0) result.subKey += u'\\';
        result.subKey += parsed->names[i];
    }
    return result;
}

}  // namespace platform::registry
