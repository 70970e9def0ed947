// Finding a section of an ELF image by name (32- and 64-bit, either byte
// order), as the resource functions find a module's ".rsrc" section.
//
// Thread: any.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform::resources {

// The section's bytes inside image, or nullopt when there is no such section
// or the image's headers are malformed (offsets outside the image, an
// unterminated name table); a malformed image never causes a read outside it.
std::optional<std::span<const uint8_t>> findElfSection(std::span<const uint8_t> image, std::string_view name);

}  // namespace platform::resources
