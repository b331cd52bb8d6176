// .ico files: a directory of images of several sizes, each a packed DIB or a PNG.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "shell/dib.h"

namespace wce::shell {

// The image of the directory closest to `side` x `side` (ties: more bits a
// pixel, then the earlier entry). Nothing when the directory is damaged (an
// entry reaching outside the file, not an icon file) or that image cannot be
// decoded. PNG images come out opaque.
std::optional<Picture> DecodeIconFile(const uint8_t* data, size_t size, int side);

}  // namespace wce::shell
