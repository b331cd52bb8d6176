// Handles of the device: small tagged values checked on every use, so a wrong,
// stale or foreign handle fails as on the platform instead of crashing.
//
// value = generation << 20 | (slot + 1) << 5 | kind << 1, all within 31 bits:
// the platform's handles are 32-bit, and a program may keep one in a DWORD or
// a LONG and widen it again with sign extension. Bit 0 stays clear (callers
// may OR flags into it, as SetForegroundWindow's callers do). A slot reused
// after a delete gets a new generation, and freed slots wait in line behind
// a few hundred others before reuse, so an old value stays dead for at least
// kGenerations x kCoolingSlots deletes of that kind.
#pragma once

#include <cstdint>
#include <deque>
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
  Last = Event,
};

namespace handle_bits {
constexpr unsigned kKindShift = 1, kKindBits = 4;
constexpr unsigned kSlotShift = kKindShift + kKindBits, kSlotBits = 15;
constexpr unsigned kGenerationShift = kSlotShift + kSlotBits, kGenerationBits = 11;
static_assert(kGenerationShift + kGenerationBits == 31, "handles fill 31 bits");
static_assert(static_cast<unsigned>(HandleKind::Last) < (1u << kKindBits), "a new kind needs a wider kind field");
constexpr uintptr_t kMaxSlots = (uintptr_t{1} << kSlotBits) - 1;  // slot + 1 is never 0
constexpr uint32_t kGenerations = 1u << kGenerationBits;
constexpr size_t kCoolingSlots = 256;
}  // namespace handle_bits

template <class T>
class HandleTable {
 public:
  explicit HandleTable(HandleKind kind) : kind_(kind) {}

  // 0 when every slot is taken (as the platform runs out of handles).
  uintptr_t Insert(std::shared_ptr<T> object) {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t slot = 0;
    if (free_.size() > handle_bits::kCoolingSlots || (!free_.empty() && slots_.size() >= handle_bits::kMaxSlots)) {
      slot = free_.front();  // the longest freed
      free_.pop_front();
    } else if (slots_.size() < handle_bits::kMaxSlots) {
      slot = slots_.size();
      slots_.push_back({});
    } else {
      return 0;
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

  // Live objects, counted under the table's lock.
  size_t Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t n = 0;
    for (const Slot& s : slots_) n += s.object ? 1 : 0;
    return n;
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
    uint32_t generation = 1;  // counts on past the field's width; the value keeps the low bits
  };

  uintptr_t Encode(size_t slot, uint32_t generation) const {
    using namespace handle_bits;
    return (static_cast<uintptr_t>(generation % kGenerations) << kGenerationShift) |
           (static_cast<uintptr_t>(slot + 1) << kSlotShift) | (static_cast<uintptr_t>(kind_) << kKindShift);
  }

  // A value with anything above the low 31 bits never was a handle.
  bool Decode(uintptr_t value, size_t& slot) const {
    using namespace handle_bits;
    if (value >> (kGenerationShift + kGenerationBits)) return false;
    if (value & 1) return false;
    if (((value >> kKindShift) & ((1u << kKindBits) - 1)) != static_cast<uintptr_t>(kind_)) return false;
    uintptr_t index = (value >> kSlotShift) & kMaxSlots;
    if (index == 0 || index > slots_.size()) return false;
    slot = index - 1;
    const Slot& s = slots_[slot];
    if (!s.object) return false;
    return (value >> kGenerationShift) == s.generation % kGenerations;
  }

  HandleKind kind_;
  mutable std::mutex mutex_;
  std::vector<Slot> slots_;
  std::deque<size_t> free_;
};

}  // namespace wce
