#include "gdi/stock.h"

#include <array>
#include <mutex>
#include <optional>

#include "gdi/objects.h"

namespace wce::gdi {
namespace {

constexpr int kStockCount = SYSTEM_FONT + 1;
constexpr int kStockBitmapSlot = kStockCount;  // ours, past the platform's numbers

struct StockTable {
  std::mutex lock;
  std::array<HGDIOBJ, kStockCount + 1> handles{};
};

StockTable& Stock() {
  static StockTable table;
  return table;
}

Brush SolidBrush(COLORREF color) { return Brush{BS_SOLID, color, nullptr}; }

// What each stock index holds; nothing for the numbers CE leaves empty.
std::optional<Payload> StockPayload(int index) {
  switch (index) {
    case WHITE_BRUSH: return SolidBrush(RGB(255, 255, 255));
    case LTGRAY_BRUSH: return SolidBrush(RGB(192, 192, 192));
    case GRAY_BRUSH: return SolidBrush(RGB(128, 128, 128));
    case DKGRAY_BRUSH: return SolidBrush(RGB(64, 64, 64));
    case BLACK_BRUSH: return SolidBrush(RGB(0, 0, 0));
    case NULL_BRUSH: return Brush{BS_NULL, 0, nullptr};
    case WHITE_PEN: return Pen{PS_SOLID, 1, RGB(255, 255, 255)};
    case BLACK_PEN: return Pen{PS_SOLID, 1, RGB(0, 0, 0)};
    case NULL_PEN: return Pen{PS_NULL, 1, 0};
    case SYSTEM_FONT: return Font{};
    case kStockBitmapSlot: return Bitmap{1, 1, {0}, 1, true};  // monochrome, bit 0
    default: return std::nullopt;
  }
}

HGDIOBJ StockAt(int slot) {
  StockTable& table = Stock();
  std::lock_guard<std::mutex> guard(table.lock);
  HGDIOBJ& handle = table.handles[slot];
  if (!handle) {
    std::optional<Payload> payload = StockPayload(slot);
    if (payload) handle = AddStockObject(std::move(*payload));
  }
  return handle;
}

}  // namespace

HGDIOBJ StockObject(int index) {
  if (index < 0 || index >= kStockCount) return nullptr;
  return StockAt(index);
}

HBITMAP StockBitmap() { return static_cast<HBITMAP>(StockAt(kStockBitmapSlot)); }

void ResetStockObjects() {
  StockTable& table = Stock();
  std::lock_guard<std::mutex> guard(table.lock);
  table.handles.fill(nullptr);
}

}  // namespace wce::gdi
