// How scripts and tests name a program: a device path ("\Windows\ProofApp.exe")
// or a name found in \Windows ("ProofApp.exe"); either may leave out ".exe".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/kernel/process_control.h"

namespace sim {

// The device path of the program's image file, or nullopt with *reason.
std::optional<std::u16string> findProgramImage(std::string_view program, std::string* reason);

// Whether the process runs that program (by image path for a path, by module
// name for a name), without regard to case.
bool runsProgram(const platform::kernel::ProcessInfo& process, std::string_view program);

// "ProofApp.exe" for "ProofApp" and "\Windows\ProofApp.exe" for "\Windows\ProofApp".
std::string withExe(std::string_view program);

}  // namespace sim
