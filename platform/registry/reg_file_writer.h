// Writing a key and its subtree in the version 5.00 .reg text format.
#pragma once

#include <memory>
#include <string>

#include "registry_store.h"

namespace platform::registry {

struct RegTextOutput {
    std::u16string text;  // CRLF line ends, no byte order mark
    std::string error;    // empty on success
};

// The text of key (whose full name, root included, is keyPath) and everything
// below it, in enumeration order. Text values that cannot be written safely
// between quotes are written as hex(1)/hex(2)/hex(7). A name that no .reg file can
// hold (one with a line break) makes the export fail rather than write a file that
// reads back differently.
RegTextOutput writeRegText(const RegistryLock& lock, const std::shared_ptr<KeyNode>& key,
                           const std::u16string& keyPath);

}  // namespace platform::registry
