// Resources built into the executable (icon, bitmaps), as the loader of the
// platform finds them by number. The build turns resources/*.bmp and *.ico
// into a table of these; the host hands it to the device at start-up.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wce {

enum class ResourceKind { Bitmap, Icon };

struct EmbeddedResource {
  ResourceKind kind;
  uint16_t id;
  const unsigned char* bytes;  // the file as stored: a .bmp or an .ico
  size_t size;
};

// The executable's resources; LoadBitmapW/LoadIconW of the program's instance
// (or NULL) look them up by number. The table must outlive the device.
void SetModuleResources(const EmbeddedResource* table, size_t count);

}  // namespace wce
