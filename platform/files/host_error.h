// The platform's error code for a failed host file-system call.
#pragma once

#include <windef.h>

namespace platform::files {

// errno → the code GetLastError reports. ENOENT becomes ERROR_FILE_NOT_FOUND;
// callers that know a folder was missing report ERROR_PATH_NOT_FOUND themselves.
DWORD errorFromErrno(int error);

}  // namespace platform::files
