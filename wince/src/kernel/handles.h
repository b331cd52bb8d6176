// Handles of the device: small tagged values checked on every use, so a wrong,
// stale or foreign handle fails as on the platform instead of crashing.
//
// value = generation << 32 | (slot + 1) << 8 | kind << 1. Bit 0 stays clear
// (callers may OR flags into it, as SetForegroundWindow's callers do), and a
// slot reused after a delete gets a new generation, so old values stay dead.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace wce {

enum class HandleKind : uint8_t {
  Window = 1,
  Thread = 2,
  FindSearch = 3,
  Module = 4,
  GdiObject = 5,  // bitmaps, brushes, fonts, pens: one table, typed inside
  GdiDC = 6,
  WaveOut = 7,
  Icon = 8,
  Process = 9,
  Event = 10,
};

template <class T>
class HandleTable {
 public:
  explicit HandleTable(HandleKind kind) : kind_(kind) {}

  uintptr_t Insert(std::shared_ptr<T> object) {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t slot = 0;
    if (!free_.empty()) {
      slot = free_.back();
      free_.pop_back();
    } else {
      slot = slots_.size();
      slots_.push_back({});
    }
    slots_[slot].object = std::move(object);
    return Encode(slot, slots_[slot].generation);
  }

  // Null for a value that is not a live handle of this table.
  std::shared_ptr<T> Lookup(uintptr_t value) const {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t slot = 0;
    if (!Decode(value, slot)) return nullptr;
    return slots_[slot].object;
  }

  template <class Handle>
  std::shared_ptr<T> Lookup(Handle* handle) const {
    return Lookup(reinterpret_cast<uintptr_t>(handle));
  }

  // Takes the object out; the value is dead from now on.
  std::shared_ptr<T> Remove(uintptr_t value) {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t slot = 0;
    if (!Decode(value, slot)) return nullptr;
    std::shared_ptr<T> object = std::move(slots_[slot].object);
    slots_[slot].object.reset();
    slots_[slot].generation++;
    free_.push_back(slot);
    return object;
  }

  template <class Handle>
  std::shared_ptr<T> Remove(Handle* handle) {
    return Remove(reinterpret_cast<uintptr_t>(handle));
  }

  // Every live object, in slot order.
  std::vector<std::shared_ptr<T>> All() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::shared_ptr<T>> out;
    for (const Slot& s : slots_)
      if (s.object) out.push_back(s.object);
    return out;
  }

  // Drops every object (device reset).
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < slots_.size(); ++i) {
      if (slots_[i].object) {
        slots_[i].object.reset();
        slots_[i].generation++;
        free_.push_back(i);
      }
    }
  }

 private:
  struct Slot {
    std::shared_ptr<T> object;
    uint32_t generation = 1;
  };

  uintptr_t Encode(size_t slot, uint32_t generation) const {
    return (static_cast<uintptr_t>(generation & 0x7fffffffu) << 32) |
           (static_cast<uintptr_t>(slot + 1) << 8) | (static_cast<uintptr_t>(kind_) << 1);
  }

  bool Decode(uintptr_t value, size_t& slot) const {
    if (((value >> 1) & 0x7f) != static_cast<uintptr_t>(kind_)) return false;
    if (value & 1) return false;
    uintptr_t index = (value >> 8) & 0xffffff;
    if (index == 0 || index > slots_.size()) return false;
    slot = index - 1;
    const Slot& s = slots_[slot];
    if (!s.object) return false;
    return static_cast<uint32_t>(value >> 32) == (s.generation & 0x7fffffffu);
  }

  HandleKind kind_;
  mutable std::mutex mutex_;
  std::vector<Slot> slots_;
  std::vector<size_t> free_;
};

}  // namespace wce
