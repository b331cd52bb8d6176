#include "gdi/objects.h"

#include <mutex>

#include "kernel/handles.h"

namespace wce::gdi {
namespace {

// Kind of each payload; new object kinds add an overload here.
DWORD TypeOfPayload(const Bitmap&) { return OBJ_BITMAP; }
DWORD TypeOfPayload(const Brush&) { return OBJ_BRUSH; }
DWORD TypeOfPayload(const Pen&) { return OBJ_PEN; }
DWORD TypeOfPayload(const Font&) { return OBJ_FONT; }

struct Table {
  HandleTable<GdiObject> handles{HandleKind::GdiObject};
  // Guards selectedCount and makes "check, then remove" one step.
  std::mutex lock;
};

Table& Objects() {
  static Table table;
  return table;
}

HGDIOBJ ToHandle(uintptr_t value) { return reinterpret_cast<HGDIOBJ>(value); }

HGDIOBJ Insert(Payload payload, bool stock) {
  auto object = std::make_shared<GdiObject>(std::move(payload), stock);
  return ToHandle(Objects().handles.Insert(std::move(object)));
}

}  // namespace

DWORD ObjectType(const GdiObject& object) {
  return std::visit([](const auto& p) { return TypeOfPayload(p); }, object.payload);
}

HGDIOBJ AddObject(Payload payload) { return Insert(std::move(payload), false); }

HGDIOBJ AddStockObject(Payload payload) { return Insert(std::move(payload), true); }

std::shared_ptr<GdiObject> FindObject(HGDIOBJ handle) {
  return Objects().handles.Lookup(reinterpret_cast<uintptr_t>(handle));
}

RemoveResult RemoveObject(HGDIOBJ handle) {
  Table& table = Objects();
  std::shared_ptr<GdiObject> removed;  // freed after the lock is released
  std::lock_guard<std::mutex> guard(table.lock);
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  std::shared_ptr<GdiObject> object = table.handles.Lookup(value);
  if (!object) return RemoveResult::NotAnObject;
  if (object->stock) return RemoveResult::Stock;
  if (object->selectedCount > 0) return RemoveResult::Selected;
  removed = table.handles.Remove(value);
  return RemoveResult::Removed;
}

std::shared_ptr<GdiObject> MarkSelected(HGDIOBJ handle) {
  Table& table = Objects();
  std::lock_guard<std::mutex> guard(table.lock);
  std::shared_ptr<GdiObject> object = table.handles.Lookup(reinterpret_cast<uintptr_t>(handle));
  if (object) object->selectedCount++;
  return object;
}

std::shared_ptr<GdiObject> MarkSelectedAlone(HGDIOBJ handle) {
  Table& table = Objects();
  std::lock_guard<std::mutex> guard(table.lock);
  std::shared_ptr<GdiObject> object = table.handles.Lookup(reinterpret_cast<uintptr_t>(handle));
  if (!object || (object->selectedCount > 0 && !object->stock)) return nullptr;
  object->selectedCount++;
  return object;
}

void MarkDeselected(GdiObject& object) {
  std::lock_guard<std::mutex> guard(Objects().lock);
  if (object.selectedCount > 0) object.selectedCount--;
}

size_t ObjectCount() { return Objects().handles.All().size(); }

ObjectCounts CountObjects() {
  ObjectCounts counts;
  for (const std::shared_ptr<GdiObject>& object : Objects().handles.All()) {
    if (object->stock) continue;
    switch (ObjectType(*object)) {
      case OBJ_BITMAP: counts.bitmaps++; break;
      case OBJ_BRUSH: counts.brushes++; break;
      case OBJ_PEN: counts.pens++; break;
      case OBJ_FONT: counts.fonts++; break;
      default: break;
    }
  }
  return counts;
}

void ClearObjects() { Objects().handles.Clear(); }

}  // namespace wce::gdi
