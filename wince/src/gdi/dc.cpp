#include "gdi/dc.h"

#include <optional>
#include <vector>

#include "gdi/screen.h"
#include "gdi/stock.h"
#include "kernel/handles.h"

namespace wce::gdi {
namespace {

HandleTable<DeviceContext>& DCs() {
  static HandleTable<DeviceContext> table{HandleKind::GdiDC};
  return table;
}

bool OnScreen(DCKind kind) { return kind != DCKind::Memory; }

std::optional<Slot> SlotOf(const GdiObject& object) {
  switch (ObjectType(object)) {
    case OBJ_BITMAP: return Slot::Bitmap;
    case OBJ_BRUSH: return Slot::Brush;
    case OBJ_PEN: return Slot::Pen;
    case OBJ_FONT: return Slot::Font;
    default: return std::nullopt;
  }
}

void DeselectAll(DCState& state) {
  for (Selected& s : state.selected) {
    if (s.object) MarkDeselected(*s.object);
    s = Selected{};
  }
}

bool SelectDefault(DCState& state, Slot slot, HGDIOBJ handle) {
  std::shared_ptr<GdiObject> object = MarkSelected(handle);
  if (!object) return false;
  state.At(slot) = Selected{handle, std::move(object)};
  return true;
}

// A bitmap goes into a memory DC only, and into one DC at a time.
HGDIOBJ SelectBitmap(DeviceContext& dc, HGDIOBJ handle) {
  if (dc.kind != DCKind::Memory) return nullptr;
  Selected& current = dc.state.At(Slot::Bitmap);
  if (current.handle == handle) return handle;
  std::shared_ptr<GdiObject> object = MarkSelectedAlone(handle);
  if (!object) return nullptr;
  HGDIOBJ previous = current.handle;
  if (current.object) MarkDeselected(*current.object);
  current = Selected{handle, std::move(object)};
  return previous;
}

HGDIOBJ SelectTool(DeviceContext& dc, Slot slot, HGDIOBJ handle) {
  Selected& current = dc.state.At(slot);
  if (current.handle == handle) return handle;
  std::shared_ptr<GdiObject> object = MarkSelected(handle);
  if (!object) return nullptr;
  HGDIOBJ previous = current.handle;
  if (current.object) MarkDeselected(*current.object);
  current = Selected{handle, std::move(object)};
  return previous;
}

}  // namespace

const Brush* DCState::CurrentBrush() const {
  const Selected& s = At(Slot::Brush);
  return s.object ? std::get_if<Brush>(&s.object->payload) : nullptr;
}

HDC NewDC(DCKind kind, HWND hwnd, const RECT* paintClip) {
  auto dc = std::make_shared<DeviceContext>(kind, hwnd, paintClip);
  bool ok = SelectDefault(dc->state, Slot::Brush, StockObject(WHITE_BRUSH)) &&
            SelectDefault(dc->state, Slot::Pen, StockObject(BLACK_PEN)) &&
            SelectDefault(dc->state, Slot::Font, StockObject(SYSTEM_FONT));
  // Window DCs report the stock bitmap too, but cannot take another.
  if (ok) ok = SelectDefault(dc->state, Slot::Bitmap, StockBitmap());
  if (!ok) {
    DeselectAll(dc->state);
    return nullptr;
  }
  if (OnScreen(kind)) WindowDCOpened();
  return reinterpret_cast<HDC>(DCs().Insert(std::move(dc)));
}

std::shared_ptr<DeviceContext> FindDC(HDC hdc) { return DCs().Lookup(hdc); }

std::shared_ptr<DeviceContext> RemoveDC(HDC hdc) {
  std::shared_ptr<DeviceContext> dc = DCs().Remove(hdc);
  if (!dc) return nullptr;
  bool drew = false;
  {
    std::lock_guard<std::mutex> guard(dc->lock);
    DeselectAll(dc->state);
    drew = dc->drew;
  }
  if (OnScreen(dc->kind)) WindowDCClosed();
  if (drew) ScreenChanged();
  return dc;
}

void ClearDCs() {
  // Selections die with the objects (the object table is cleared too).
  DCs().Clear();
}

size_t DCCount() { return DCs().Count(); }

HGDIOBJ Select(DeviceContext& dc, HGDIOBJ handle) {
  std::shared_ptr<GdiObject> object = FindObject(handle);
  if (!object) return nullptr;
  std::optional<Slot> slot = SlotOf(*object);
  if (!slot) return nullptr;
  std::lock_guard<std::mutex> guard(dc.lock);
  if (*slot == Slot::Bitmap) return SelectBitmap(dc, handle);
  return SelectTool(dc, *slot, handle);
}

}  // namespace wce::gdi
