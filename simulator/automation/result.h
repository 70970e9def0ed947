// What an automation operation reports.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sim {

struct Result {
    bool ok = true;
    // On failure, the one-line reason: for an expectation "expected …, found …".
    // On success, an optional short note ("started \Windows\ProofApp.exe as process 3").
    std::string message;
    // Lines of data the operation reports (ps, reg get, file ls, log).
    std::vector<std::string> output;

    explicit operator bool() const { return ok; }

    static Result success(std::string note = {}) { return {true, std::move(note), {}}; }
    static Result failure(std::string reason) { return {false, std::move(reason), {}}; }
    static Result mismatch(const std::string& expected, const std::string& found) {
        return failure("expected " + expected + ", found " + found);
    }
};

}  // namespace sim
