// Stock objects, made on first use and after every device reset.
#pragma once

#include <windows.h>

namespace wce::gdi {

// GetStockObject's table; NULL for an index the device has no object for.
HGDIOBJ StockObject(int index);
// The 1 x 1 monochrome bitmap a new memory DC holds: one black pixel that
// nothing can draw on, so that every DC may share it.
HBITMAP StockBitmap();
// Forgets the handles (the object table is cleared alongside).
void ResetStockObjects();

}  // namespace wce::gdi
