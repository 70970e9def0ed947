// The modules of a process: loading into it, finding, and freeing.
#pragma once

#include <winbase.h>

#include <memory>
#include <string>

#include "module.h"
#include "platform/kernel/process.h"

namespace platform::loader {

// Loads a module into the calling process (or counts one more load of a module
// it already has). Null with the last error set on failure.
std::shared_ptr<Module> loadIntoCurrentProcess(std::u16string_view name, bool isLibrary);

std::shared_ptr<Module> moduleByHandle(HMODULE handle);
// The process's program module (the first it loaded).
std::shared_ptr<Module> mainModuleOf(const platform::kernel::Process& process);

}  // namespace platform::loader
