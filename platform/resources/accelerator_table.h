// Accelerator tables (LoadAcceleratorsW, CreateAcceleratorTableW): the entries
// in the order given. TranslateAcceleratorW matches key messages against them.
//
// Thread: any; a table is not changed after it is made.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/kernel/kernel_object.h"

namespace platform::resources {

class AcceleratorTable final : public kernel::KernelObject {
public:
    std::string_view kindName() const override { return "accelerator table"; }
    bool closableByCloseHandle() const override { return false; }

    std::vector<ACCEL> entries;
};

// The table behind a handle; null with ERROR_INVALID_ACCEL_HANDLE.
std::shared_ptr<AcceleratorTable> acceleratorTableFromHandle(HACCEL handle);

}  // namespace platform::resources
