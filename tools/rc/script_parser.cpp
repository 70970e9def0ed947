// Top-level statements, names and options, string tables, icons, bitmaps and
// raw data. Dialogs, menus, accelerators and version blocks have files of
// their own.
#include "script_parser.h"

#include <fstream>
#include <sstream>

#include "image_files.h"
#include "platform/text/utf.h"

namespace rc {

using platform::text::toUtf8;

ResourceId ResourceId::number(uint16_t value) {
    ResourceId id;
    id.isOrdinal = true;
    id.ordinal = value;
    return id;
}

ResourceId ResourceId::text(const std::u16string& value) {
    ResourceId id;
    id.isOrdinal = false;
    id.name = value;
    for (char16_t& c : id.name)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return id;
}

bool ResourceId::operator==(const ResourceId& other) const {
    return isOrdinal == other.isOrdinal && (isOrdinal ? ordinal == other.ordinal : name == other.name);
}

std::string ResourceId::describe() const { return isOrdinal ? std::to_string(ordinal) : "\"" + toUtf8(name) + "\""; }

void ResourceSet::add(Resource resource) {
    for (const Resource& existing : resources_) {
        if (existing.type == resource.type && existing.name == resource.name && existing.language == resource.language)
            throw ScriptError(resource.where, "resource " + resource.name.describe() + " of type " +
                                                  resource.type.describe() + " is already defined at " +
                                                  existing.where.text());
    }
    resources_.push_back(std::move(resource));
}

namespace {

struct TypeKeyword {
    const char* word;
    uint16_t type;
};

const TypeKeyword kTypeKeywords[] = {
    {"ICON", kTypeIcon},         {"BITMAP", kTypeBitmap},          {"DIALOG", kTypeDialog},
    {"DIALOGEX", kTypeDialog},   {"MENU", kTypeMenu},              {"ACCELERATORS", kTypeAccelerator},
    {"RCDATA", kTypeRcData},     {"VERSIONINFO", kTypeVersion},    {"HTML", 23},
};

uint16_t defaultMemoryFlags(uint16_t type) {
    switch (type) {
        case kTypeIcon: return kMoveable | kDiscardable;
        case kTypeVersion: return kMoveable | kPure;
        default: return kMoveable | kPure | kDiscardable;
    }
}

}  // namespace

ResourceSet ScriptParser::parse() {
    while (!in_.atEnd()) topLevelStatement();

    // String tables: blocks of 16 strings, block n holding ids 16(n-1) to 16n-1.
    for (const auto& [language, byId] : strings_) {
        std::map<uint16_t, std::vector<const std::pair<const uint16_t, StringEntry>*>> blocks;
        for (const auto& entry : byId) blocks[static_cast<uint16_t>(entry.first / 16 + 1)].push_back(&entry);
        for (const auto& [block, entries] : blocks) {
            ByteWriter out;
            size_t next = 0;
            for (uint16_t slot = 0; slot < 16; ++slot) {
                uint16_t id = static_cast<uint16_t>((block - 1) * 16 + slot);
                if (next < entries.size() && entries[next]->first == id) {
                    const std::u16string& text = entries[next]->second.text;
                    out.word(static_cast<uint16_t>(text.size()));
                    for (char16_t c : text) out.word(c);
                    ++next;
                } else {
                    out.word(0);
                }
            }
            Resource r;
            r.type = ResourceId::number(kTypeString);
            r.name = ResourceId::number(block);
            r.language = language;
            const CommonOptions& options = stringOptions_.at(language);
            r.memoryFlags = options.memoryFlags;
            r.version = options.version;
            r.characteristics = options.characteristics;
            r.data = out.take();
            r.where = entries.front()->second.where;
            set_.add(std::move(r));
        }
    }
    return std::move(set_);
}

void ScriptParser::topLevelStatement() {
    const Token& first = in_.peek();
    SourceLocation where = first.where;
    if (in_.acceptKeyword("LANGUAGE")) {
        language_ = languageArguments();
        return;
    }
    if (in_.acceptKeyword("STRINGTABLE")) {
        stringTable(where);
        return;
    }
    ResourceId name = resourceName("a resource name");
    const Token& typeToken = in_.peek();
    if (typeToken.kind == TokenKind::End) in_.fail("resource " + name.describe() + " has no type");
    for (const char* unsupported : {"CURSOR", "MENUEX", "FONT", "MESSAGETABLE", "DLGINCLUDE"})
        if (typeToken.isKeyword(unsupported)) in_.fail(std::string(unsupported) + " resources are not supported");

    for (const auto& keyword : kTypeKeywords) {
        if (!typeToken.isKeyword(keyword.word)) continue;
        bool extended = typeToken.isKeyword("DIALOGEX");
        in_.next();
        CommonOptions options{defaultMemoryFlags(keyword.type), language_};
        memoryOptions(options);
        switch (keyword.type) {
            case kTypeIcon: icon(name, options, where); return;
            case kTypeBitmap: bitmap(name, options, where); return;
            case kTypeDialog: dialog(name, extended, options, where); return;
            case kTypeMenu: menu(name, options, where); return;
            case kTypeAccelerator: accelerators(name, options, where); return;
            case kTypeVersion: versionInfo(name, options, where); return;
            default: rawData(ResourceId::number(keyword.type), name, options, where); return;
        }
    }
    // A type of the program's own: a number or a name.
    ResourceId type;
    if (typeToken.kind == TokenKind::Identifier) {
        type = ResourceId::text(std::u16string(typeToken.text.begin(), typeToken.text.end()));
        in_.next();
    } else if (typeToken.kind == TokenKind::String) {
        type = ResourceId::text(in_.string("a resource type"));
    } else {
        uint16_t number = in_.word("a resource type");
        if (number == 0) in_.failAt(typeToken, "resource type 0 is not allowed");
        type = ResourceId::number(number);
    }
    CommonOptions options{defaultMemoryFlags(0), language_};
    memoryOptions(options);
    rawData(type, name, options, where);
}

ResourceId ScriptParser::resourceName(std::string_view what) {
    const Token& t = in_.peek();
    if (t.kind == TokenKind::Identifier) {
        in_.next();
        return ResourceId::text(std::u16string(t.text.begin(), t.text.end()));
    }
    if (t.kind == TokenKind::String) return ResourceId::text(in_.string(what));
    uint16_t number = in_.word(what);
    if (number == 0) in_.failAt(t, "resource id 0 is not allowed (it cannot be looked up)");
    return ResourceId::number(number);
}

void ScriptParser::memoryOptions(CommonOptions& options) {
    for (;;) {
        if (in_.acceptKeyword("DISCARDABLE")) options.memoryFlags |= kDiscardable;
        else if (in_.acceptKeyword("MOVEABLE")) options.memoryFlags |= kMoveable;
        else if (in_.acceptKeyword("FIXED")) options.memoryFlags &= static_cast<uint16_t>(~kMoveable);
        else if (in_.acceptKeyword("PURE")) options.memoryFlags |= kPure;
        else if (in_.acceptKeyword("IMPURE")) options.memoryFlags &= static_cast<uint16_t>(~kPure);
        else if (in_.acceptKeyword("PRELOAD")) options.memoryFlags |= kPreload;
        else if (in_.acceptKeyword("LOADONCALL")) options.memoryFlags &= static_cast<uint16_t>(~kPreload);
        else if (in_.acceptKeyword("SHARED") || in_.acceptKeyword("NONSHARED")) continue;
        else return;
    }
}

bool ScriptParser::optionStatement(CommonOptions& options) {
    if (in_.acceptKeyword("LANGUAGE")) {
        options.language = languageArguments();
    } else if (in_.acceptKeyword("VERSION")) {
        options.version = in_.number("a version");
    } else if (in_.acceptKeyword("CHARACTERISTICS")) {
        options.characteristics = in_.number("characteristics");
    } else {
        return false;
    }
    return true;
}

uint16_t ScriptParser::languageArguments() {
    const Token& at = in_.peek();
    uint32_t primary = in_.number("a primary language");
    in_.expectPunct(",", "',' between the primary language and the sublanguage");
    uint32_t sub = in_.number("a sublanguage");
    if (primary > 0x3FF || sub > 0x3F) in_.failAt(at, "language or sublanguage out of range");
    return static_cast<uint16_t>((sub << 10) | primary);
}

void ScriptParser::add(const ResourceId& type, const ResourceId& name, const CommonOptions& options, Bytes data,
                       const SourceLocation& where) {
    Resource r;
    r.type = type;
    r.name = name;
    r.language = options.language;
    r.memoryFlags = options.memoryFlags;
    r.version = options.version;
    r.characteristics = options.characteristics;
    r.data = std::move(data);
    r.where = where;
    set_.add(std::move(r));
}

void ScriptParser::stringTable(const SourceLocation& where) {
    CommonOptions options{defaultMemoryFlags(kTypeString), language_};
    memoryOptions(options);
    while (optionStatement(options)) {
    }
    in_.expectBlockStart("the string table");
    auto& table = strings_[options.language];
    stringOptions_.try_emplace(options.language, options);
    bool any = false;
    while (!in_.atBlockEnd()) {
        if (in_.atEnd()) in_.fail("string table without END");
        const Token& idToken = in_.peek();
        uint16_t id = in_.word("a string id");
        in_.optionalComma();
        std::u16string text = in_.string("the text of string " + std::to_string(id));
        if (text.size() > 0xFFFF) in_.failAt(idToken, "string " + std::to_string(id) + " is too long");
        auto [it, inserted] = table.try_emplace(id, StringEntry{text, idToken.where});
        if (!inserted)
            in_.failAt(idToken, "string " + std::to_string(id) + " is already defined at " + it->second.where.text());
        any = true;
    }
    in_.next();
    if (!any) throw ScriptError(where, "empty string table");
}

std::string ScriptParser::dataFileName(std::string_view what) {
    const Token& t = in_.peek();
    if (t.kind != TokenKind::String) in_.fail("expected the file name of " + std::string(what) + ", found " + describe(t));
    in_.next();
    return t.bytes;
}

Bytes ScriptParser::readDataFile(const Token& at, const std::string& name) {
    auto path = files_.findDataFile(name, at.where);
    std::ifstream file(path, std::ios::binary);
    if (!file) in_.failAt(at, "cannot read '" + name + "'");
    std::ostringstream content;
    content << file.rdbuf();
    std::string text = content.str();
    return Bytes(text.begin(), text.end());
}

void ScriptParser::icon(const ResourceId& name, CommonOptions options, const SourceLocation& where) {
    const Token& at = in_.peek();
    std::string file = dataFileName("an icon");
    Bytes content = readDataFile(at, file);
    std::vector<IconImage> images;
    std::string problem = parseIconFile(content, images);
    if (!problem.empty()) throw ScriptError(at.where, "'" + file + "': " + problem);

    ByteWriter group;
    group.word(0);
    group.word(1);
    group.word(static_cast<uint16_t>(images.size()));
    for (IconImage& image : images) {
        uint16_t id = set_.nextIconImageId();
        group.byte(image.width);
        group.byte(image.height);
        group.byte(image.colorCount);
        group.byte(0);
        group.word(image.planes);
        group.word(image.bitCount);
        group.dword(static_cast<uint32_t>(image.bytes.size()));
        group.word(id);
        CommonOptions imageOptions = options;
        imageOptions.memoryFlags = defaultMemoryFlags(kTypeIcon);
        add(ResourceId::number(kTypeIcon), ResourceId::number(id), imageOptions, std::move(image.bytes), where);
    }
    add(ResourceId::number(kTypeGroupIcon), name, options, group.take(), where);
}

void ScriptParser::bitmap(const ResourceId& name, CommonOptions options, const SourceLocation& where) {
    const Token& at = in_.peek();
    std::string file = dataFileName("a bitmap");
    Bytes content = readDataFile(at, file);
    Bytes packed;
    std::string problem = bitmapWithoutFileHeader(content, packed);
    if (!problem.empty()) throw ScriptError(at.where, "'" + file + "': " + problem);
    add(ResourceId::number(kTypeBitmap), name, options, std::move(packed), where);
}

void ScriptParser::rawData(const ResourceId& type, const ResourceId& name, CommonOptions options,
                           const SourceLocation& where) {
    while (optionStatement(options)) {
    }
    if (in_.peek().kind == TokenKind::String) {
        const Token& at = in_.peek();
        std::string file = dataFileName("the data");
        add(type, name, options, readDataFile(at, file), where);
        return;
    }
    add(type, name, options, inlineData(), where);
}

Bytes ScriptParser::inlineData() {
    in_.expectBlockStart("the data");
    ByteWriter out;
    while (!in_.atBlockEnd()) {
        if (in_.atEnd()) in_.fail("data without END");
        const Token& t = in_.peek();
        if (t.kind == TokenKind::String) {
            in_.next();
            if (t.wideLiteral) {
                for (char16_t c : t.wide) out.word(c);
            } else {
                for (char c : t.bytes) out.byte(static_cast<uint8_t>(c));
            }
        } else {
            bool isLong = false;
            uint32_t value = in_.number("a data item", &isLong);
            if (isLong) {
                out.dword(value);
            } else {
                int32_t asSigned = static_cast<int32_t>(value);
                if (asSigned < -32768 || asSigned > 65535)
                    in_.failAt(t, "data item " + std::to_string(asSigned) + " does not fit in a WORD (write it with an L suffix)");
                out.word(static_cast<uint16_t>(value));
            }
        }
        in_.optionalComma();
    }
    in_.next();
    return out.take();
}

}  // namespace rc
