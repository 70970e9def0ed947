// PNG files read back into a surface, for tests and scripts that compare a
// screenshot with what they expect. Any colour type and depth libpng reads;
// alpha is dropped and the colours are reduced to the display's format.
//
// Thread: any.
#pragma once

#include <filesystem>
#include <optional>

#include "surface.h"

namespace platform::gdi {

std::optional<Surface> readPng(const std::filesystem::path& path);

}  // namespace platform::gdi
