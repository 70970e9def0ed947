#include <cstdio>

#include "res_writer.h"

namespace rc {

std::string writeSectionSource(const Bytes& stream, const std::string& scriptName) {
    std::string out;
    out += "// The compiled resources of " + scriptName + ", made by the resource compiler; do not edit.\n";
    out += "// The loader finds them in the module's \".rsrc\" section.\n\n";
    out += "namespace {\n\n";
    out += "__attribute__((section(\".rsrc\"), used, aligned(4)))\n";
    out += "const unsigned char kResources[" + std::to_string(stream.size()) + "] = {\n";
    char number[8];
    for (size_t i = 0; i < stream.size(); ++i) {
        if (i % 20 == 0) out += "   ";
        std::snprintf(number, sizeof number, " %u,", static_cast<unsigned>(stream[i]));
        out += number;
        if (i % 20 == 19 || i + 1 == stream.size()) out += '\n';
    }
    out += "};\n\n}  // namespace\n";
    return out;
}

}  // namespace rc
