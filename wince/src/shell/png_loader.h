// PNG decoding for SHLoadImageFile, on bytes already in memory (the fuzz
// target calls it directly).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace wce {

// A new bitmap holding the picture; NULL when the bytes are not one complete,
// valid PNG within the device's bitmap limits. Never throws, never prints.
HBITMAP LoadPngFromMemory(const uint8_t* data, size_t size);

}  // namespace wce
