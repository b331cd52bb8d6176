// Writes small PNG files for tests through libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jptest {

// 8-bit RGB, pixels 0x00RRGGBB, rows top to bottom. False when the file cannot be written.
bool WritePngRgb(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels);
// A solid-colour picture of the given size.
bool WritePngSolid(const std::string& path, int width, int height, uint32_t rgb);

}  // namespace jptest
