// The GDI object table: one handle space for bitmaps, brushes, pens and
// fonts, each object knowing its kind, whether it is a stock object and how
// many device contexts it is selected into.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <utility>
#include <variant>

#include "gdi/bitmap.h"
#include "gdi/tools.h"

namespace wce::gdi {

// What an object holds.
using Payload = std::variant<Bitmap, Brush, Pen, Font>;

struct GdiObject {
  explicit GdiObject(Payload p, bool isStock = false) : payload(std::move(p)), stock(isStock) {}

  Payload payload;
  bool stock = false;     // DeleteObject says yes and keeps it
  int selectedCount = 0;  // device contexts holding it; guarded by the table's lock
};

// OBJ_BITMAP, ... for the object's payload.
DWORD ObjectType(const GdiObject& object);

HGDIOBJ AddObject(Payload payload);
HGDIOBJ AddStockObject(Payload payload);
// Null for NULL, stale, foreign or deleted handles.
std::shared_ptr<GdiObject> FindObject(HGDIOBJ handle);

enum class RemoveResult { Removed, Stock, Selected, NotAnObject };
// Deletes unless the object is stock or selected somewhere; the check and the
// removal happen under one lock so a concurrent select cannot slip between.
RemoveResult RemoveObject(HGDIOBJ handle);

// Selection bookkeeping for device contexts, under the same lock as RemoveObject.
// MarkSelected fails for a handle that is not a live object.
std::shared_ptr<GdiObject> MarkSelected(HGDIOBJ handle);
// The same for an object that may sit in one DC only (a bitmap): null also
// when it is already selected somewhere. Stock objects go anywhere.
std::shared_ptr<GdiObject> MarkSelectedAlone(HGDIOBJ handle);
void MarkDeselected(GdiObject& object);

// Live objects, stock ones included (tests use it to spot leaks).
size_t ObjectCount();
// Live objects the program made (stock ones left out), by kind.
struct ObjectCounts {
  size_t bitmaps = 0;
  size_t brushes = 0;
  size_t pens = 0;
  size_t fonts = 0;
  size_t Total() const { return bitmaps + brushes + pens + fonts; }
};
ObjectCounts CountObjects();
// Device reset: every handle dies; objects still held elsewhere live on.
void ClearObjects();

}  // namespace wce::gdi
