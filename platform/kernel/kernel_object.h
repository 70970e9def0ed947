// Base of every object reached through a kernel handle.
#pragma once

#include <memory>
#include <string_view>

namespace platform::kernel {

class KernelObject : public std::enable_shared_from_this<KernelObject> {
public:
    virtual ~KernelObject() = default;

    // A short name of the object's kind for diagnostics ("mutex", "file", "registry key").
    virtual std::string_view kindName() const = 0;

    // Whether CloseHandle may close a handle to this object (registry keys, for
    // instance, are closed with RegCloseKey only).
    virtual bool closableByCloseHandle() const { return true; }
};

}  // namespace platform::kernel
