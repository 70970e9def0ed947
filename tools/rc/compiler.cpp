#include "compiler.h"

#include "preprocessor.h"
#include "res_writer.h"
#include "script_parser.h"

namespace rc {

CompileResult compileScript(const std::filesystem::path& script, const CompileOptions& options) {
    CompileResult result;
    Preprocessor preprocessor(options.includeDirs);
    for (const auto& [name, value] : options.defines) preprocessor.define(name, value);
    try {
        TokenStream tokens(preprocessor.run(script));
        ScriptParser parser(tokens, preprocessor);
        result.stream = writeResStream(parser.parse());
    } catch (const ScriptError& error) {
        result.error = error.what();
        result.stream.clear();
    }
    result.filesRead = preprocessor.filesRead();
    return result;
}

}  // namespace rc
