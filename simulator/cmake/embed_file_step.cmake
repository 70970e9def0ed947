# Build step of sim_embed_file: writes OUTPUT, a C++ source defining FUNCTION()
# (a qualified name such as sim::defaultRegistryText) that returns INPUT's bytes.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Break the initialiser into lines of 16 bytes so the source stays readable.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")

string(REGEX MATCH "^(.*)::([^:]+)$" _ "${FUNCTION}")
set(namespace ${CMAKE_MATCH_1})
set(name ${CMAKE_MATCH_2})

file(WRITE ${OUTPUT}.tmp
"// Generated from ${INPUT}; do not edit.
#include <string_view>

namespace ${namespace} {
namespace {
constexpr unsigned char kBytes[${size} + 1] = {
    ${bytes}0x00};
}  // namespace

std::string_view ${name}() {
    return {reinterpret_cast<const char*>(kBytes), ${size}};
}
}  // namespace ${namespace}
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
