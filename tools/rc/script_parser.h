// The statements of a resource script, turned into binary resources.
#pragma once

#include <map>

#include "preprocessor.h"
#include "resource_set.h"
#include "token_stream.h"

namespace rc {

class ScriptParser {
public:
    ScriptParser(TokenStream& in, Preprocessor& files) : in_(in), files_(files) {}

    // Parses the whole script; throws ScriptError at the first error.
    ResourceSet parse();

private:
    struct CommonOptions {
        uint16_t memoryFlags;
        uint16_t language;
        uint32_t version = 0;
        uint32_t characteristics = 0;
    };

    void topLevelStatement();
    ResourceId resourceName(std::string_view what);
    void memoryOptions(CommonOptions& options);
    // LANGUAGE, VERSION, CHARACTERISTICS inside a resource; false when the
    // next statement is none of them.
    bool optionStatement(CommonOptions& options);
    uint16_t languageArguments();
    void add(const ResourceId& type, const ResourceId& name, const CommonOptions& options, Bytes data,
             const SourceLocation& where);

    void stringTable(const SourceLocation& where);
    void icon(const ResourceId& name, CommonOptions options, const SourceLocation& where);
    void bitmap(const ResourceId& name, CommonOptions options, const SourceLocation& where);
    void rawData(const ResourceId& type, const ResourceId& name, CommonOptions options, const SourceLocation& where);
    void dialog(const ResourceId& name, bool extended, CommonOptions options, const SourceLocation& where);
    void menu(const ResourceId& name, CommonOptions options, const SourceLocation& where);
    void accelerators(const ResourceId& name, CommonOptions options, const SourceLocation& where);
    void versionInfo(const ResourceId& name, CommonOptions options, const SourceLocation& where);

    std::string dataFileName(std::string_view what);
    Bytes readDataFile(const Token& at, const std::string& name);
    Bytes inlineData();

    TokenStream& in_;
    Preprocessor& files_;
    ResourceSet set_;
    uint16_t language_ = 0;  // LANGUAGE at the top level applies to what follows

    struct StringEntry {
        std::u16string text;
        SourceLocation where;
    };
    // Strings by language, then by id; written as blocks of 16 at the end.
    std::map<uint16_t, std::map<uint16_t, StringEntry>> strings_;
    std::map<uint16_t, CommonOptions> stringOptions_;
};

}  // namespace rc
