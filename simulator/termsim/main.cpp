// termsim: boots a simulated terminal and runs the demo, scripts or a console.
#include <unistd.h>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "simulator/automation/parse.h"
#include "simulator/termsim/demo.h"
#include "simulator/termsim/script_runner.h"

namespace {

constexpr const char* kUsage =
    "usage: termsim [OPTIONS] demo | run FILE... | console   (options may come anywhere)\n"
    "  demo          a short tour of the device\n"
    "  run FILE...   runs scripts, in order, on one device\n"
    "  console       reads commands from the input (help lists them)\n"
    "options:\n"
    "  --root DIR    keep the device's storage in DIR (default: a temporary folder)\n"
    "  --image DIR   boot from this image folder (default: the build's image)\n"
    "  --reg FILE    import a .reg file after the default registry (repeatable)\n"
    "  --rate N      run the device clock N times as fast as real time\n"
    "  --echo-log    copy the debug log to stderr as it is written\n"
    "  --out DIR     where the demo writes its files (default: the build's demo folder)\n";

struct Invocation {
    sim::DeviceOptions device;
    std::filesystem::path demoOutput = sim::defaultDemoOutputDir();
    std::string mode;
    std::vector<std::filesystem::path> scripts;
};

// The invocation, or nullopt after printing why it is wrong.
std::optional<Invocation> parseArguments(int argc, char** argv) {
    Invocation invocation;
    auto fail = [](const std::string& why) -> std::optional<Invocation> {
        std::cerr << "termsim: " << why << "\n" << kUsage;
        return std::nullopt;
    };
    // Options may come anywhere; the first other word is what to run, the rest its files.
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::cout << kUsage;
            std::exit(0);
        }
        if (!option.starts_with("--")) {
            words.push_back(option);
            continue;
        }
        if (option == "--echo-log") {
            invocation.device.echoLog = true;
            continue;
        }
        if (i + 1 >= argc) return fail(option + " needs a value");
        std::string value = argv[++i];
        if (option == "--root") {
            invocation.device.root = value;
        } else if (option == "--image") {
            invocation.device.image = value;
        } else if (option == "--reg") {
            invocation.device.regFiles.push_back(value);
        } else if (option == "--rate") {
            auto rate = sim::parsePositive(value);
            if (!rate || *rate > sim::Terminal::kMaxClockRate) return fail("--rate needs a number above 0");
            invocation.device.clockRate = *rate;
        } else if (option == "--out") {
            invocation.demoOutput = value;
        } else {
            return fail("unknown option " + option);
        }
    }
    if (words.empty()) return fail("say what to run");
    invocation.mode = words[0];
    invocation.scripts.assign(words.begin() + 1, words.end());
    if (invocation.mode != "run" && invocation.mode != "demo" && invocation.mode != "console") {
        return fail("unknown command " + invocation.mode);
    }
    if (invocation.mode == "run" && invocation.scripts.empty()) return fail("run needs at least one script");
    if (invocation.mode != "run" && !invocation.scripts.empty()) return fail(invocation.mode + " takes no files");
    return invocation;
}

}  // namespace

int main(int argc, char** argv) {
    auto invocation = parseArguments(argc, argv);
    if (!invocation) return 2;

    try {
        sim::Device device(invocation->device);
        sim::Terminal terminal(device);
        const sim::CommandTable commands = sim::standardCommands();
        const bool console = invocation->mode == "console";
        const bool interactive = console && isatty(STDIN_FILENO);
        sim::ScriptRunner runner(terminal, commands, std::cout, {.echoCommands = !console});

        if (invocation->mode == "demo") {
            runDemo(runner, invocation->demoOutput);
        } else if (invocation->mode == "run") {
            for (const auto& script : invocation->scripts) runner.runFile(script);
        } else {
            if (interactive) std::cout << "termsim console; help lists the commands, quit ends it.\n";
            runner.runConsole(std::cin, interactive);
        }
        std::cout << runner.summary() << std::endl;
        return runner.allPassed() ? 0 : 1;
    } catch (const sim::BootError& error) {
        std::cerr << "termsim: " << error.what() << "\n";
        return 2;
    } catch (const std::exception& error) {
        // Whatever else stops the run (a host failure) is reported, not a crash.
        std::cerr << "termsim: " << error.what() << "\n";
        return 2;
    }
}
