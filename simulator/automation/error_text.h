// The platform's error codes as messages name them.
#pragma once

#include <windef.h>

#include <string>

namespace sim {

// "error 3 (ERROR_PATH_NOT_FOUND)"; the bare number for codes without a name here.
std::string errorText(DWORD error);

}  // namespace sim
