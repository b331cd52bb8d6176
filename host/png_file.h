// Screenshots as PNG files, through libpng.
#pragma once

#include <string>

#include "device/device.h"

namespace jphost {

// 8-bit RGB, as a person sees it. False with a message when it cannot be written.
bool WritePng(const std::string& path, const wce::ScreenImage& image, std::string& error);

}  // namespace jphost
