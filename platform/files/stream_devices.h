// The registered stream drivers, as CreateFileW reaches them.
#pragma once

#include <windef.h>

#include <memory>
#include <string_view>

#include "io_handle.h"

namespace platform::files {

// Opens the device registered under a canonical device name ("CAM1:"). Fails
// with ERROR_FILE_NOT_FOUND when no driver has the name, as opening a port that
// does not exist does on the platform, or with the driver's refusal.
std::shared_ptr<IoHandle> openStreamDevice(std::u16string_view deviceName, DWORD access, DWORD share,
                                           DWORD& error);

}  // namespace platform::files
