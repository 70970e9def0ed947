// rc: compiles a resource script into a module's resources.
//
//   rc [-I folder]... [-D NAME[=VALUE]]... -o resources.cpp [-r script.res]
//      [-d depfile] script.rc
//
// -o writes the C++ source that carries the resources into the module, -r the
// plain .res stream, -d a dependency file naming every file the script read. An
// error in the script is reported as "file:line: error: ..." and the exit
// status is 1; nothing is written then.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "compiler.h"
#include "res_writer.h"

namespace {

int usage() {
    std::cerr << "usage: rc [-I folder]... [-D NAME[=VALUE]]... -o resources.cpp [-r script.res] [-d depfile] "
                 "script.rc\n";
    return 2;
}

std::string escapeForMake(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\') out += '\\';
        if (c == '$') out += '$';
        out += c;
    }
    return out;
}

bool writeFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
    out.close();
    if (!out) std::cerr << "rc: cannot write " << path.string() << "\n";
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    rc::CompileOptions options;
    std::string sourceOut, resOut, depOut, script;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (arg.size() > 2) into = arg.substr(2);
            else if (i + 1 < argc) into = argv[++i];
            else return false;
            return true;
        };
        std::string v;
        if (arg.rfind("-I", 0) == 0) {
            if (!value(v)) return usage();
            options.includeDirs.push_back(v);
        } else if (arg.rfind("-D", 0) == 0) {
            if (!value(v)) return usage();
            size_t eq = v.find('=');
            options.defines.emplace_back(v.substr(0, eq), eq == std::string::npos ? "1" : v.substr(eq + 1));
        } else if (arg.rfind("-o", 0) == 0) {
            if (!value(sourceOut)) return usage();
        } else if (arg.rfind("-r", 0) == 0) {
            if (!value(resOut)) return usage();
        } else if (arg.rfind("-d", 0) == 0) {
            if (!value(depOut)) return usage();
        } else if (!arg.empty() && arg[0] == '-') {
            return usage();
        } else if (script.empty()) {
            script = arg;
        } else {
            return usage();
        }
    }
    if (script.empty() || (sourceOut.empty() && resOut.empty())) return usage();

    rc::CompileResult result = rc::compileScript(script, options);
    if (!result.error.empty()) {
        std::cerr << result.error << "\n";
        return 1;
    }
    const rc::Bytes& stream = result.stream;

    if (!resOut.empty() && !writeFile(resOut, std::string(stream.begin(), stream.end()))) return 1;
    if (!sourceOut.empty() &&
        !writeFile(sourceOut, rc::writeSectionSource(stream, std::filesystem::path(script).filename().string())))
        return 1;
    if (!depOut.empty()) {
        std::string deps = escapeForMake(sourceOut.empty() ? resOut : sourceOut) + ":";
        for (const auto& file : result.filesRead) deps += " \\\n  " + escapeForMake(file.string());
        if (!writeFile(depOut, deps + "\n")) return 1;
    }
    return 0;
}
