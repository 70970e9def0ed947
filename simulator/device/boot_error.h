// The error a device boot reports.
#pragma once

#include <stdexcept>

namespace sim {

// Why a device could not boot; what() is a complete message for the user.
class BootError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace sim
