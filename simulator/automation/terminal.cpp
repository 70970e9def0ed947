#include "simulator/automation/terminal.h"

#include <iostream>

#include "platform/kernel/process_control.h"

namespace sim {

Terminal::Terminal(Device& device) : device_(device) {}

bool Terminal::settle() {
    if (platform::kernel::waitUntilIdle(kSettleTimeout)) return true;
    std::cerr << "termsim: warning: the device is still busy after " << kSettleTimeout.count()
              << " ms; acting anyway\n";
    return false;
}

}  // namespace sim
