#include "device/internal.h"
#include "gdi/dc.h"
#include "gdi/objects.h"
#include "gdi/screen.h"
#include "gdi/stock.h"

namespace wce::internal {

void GdiReset() {
  gdi::ClearDCs();
  gdi::ResetStockObjects();
  gdi::ClearObjects();
  gdi::ResetScreen();
}

}  // namespace wce::internal
