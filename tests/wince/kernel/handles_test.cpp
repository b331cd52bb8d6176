// Handle values: 31 bits, so they survive a DWORD or a LONG and sign
// extension, and a stale one stays refused as its slot's generation wraps.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "kernel/handles.h"

namespace {

using wce::HandleKind;
using wce::HandleTable;

uintptr_t ThroughLong(uintptr_t value) {
  LONG kept = static_cast<LONG>(static_cast<DWORD_PTR>(value));
  return reinterpret_cast<uintptr_t>(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(kept)));
}

uintptr_t ThroughDword(uintptr_t value) {
  DWORD kept = static_cast<DWORD>(static_cast<DWORD_PTR>(value));
  return reinterpret_cast<uintptr_t>(reinterpret_cast<HANDLE>(static_cast<DWORD_PTR>(kept)));
}

TEST(Handles, EveryValueFitsThirtyOneBitsAndRoundTrips) {
  // The last kind with the table full: the largest slot numbers there are.
  HandleTable<int> table(HandleKind::Last);
  std::vector<uintptr_t> live;
  for (uintptr_t h; (h = table.Insert(std::make_shared<int>(static_cast<int>(live.size())))) != 0;) live.push_back(h);
  ASSERT_EQ(live.size(), wce::handle_bits::kMaxSlots);
  for (uintptr_t h : {live.front(), live[live.size() / 2], live.back()}) {
    SCOPED_TRACE(h);
    EXPECT_EQ(h >> 31, 0u);
    EXPECT_EQ(h & 1, 0u);
    EXPECT_EQ(ThroughLong(h), h);
    EXPECT_EQ(ThroughDword(h), h);
    ASSERT_NE(table.Lookup(ThroughLong(h)), nullptr);
    EXPECT_EQ(table.Lookup(h | 1), nullptr);
  }
  EXPECT_EQ(*table.Lookup(live.back()), static_cast<int>(live.size()) - 1);
  // Full: no handle at all, and a freed slot is taken again.
  ASSERT_NE(table.Remove(live[7]), nullptr);
  uintptr_t again = table.Insert(std::make_shared<int>(-1));
  EXPECT_NE(again, 0u);
  EXPECT_NE(again, live[7]);
  EXPECT_EQ(table.Lookup(live[7]), nullptr);
  EXPECT_EQ(table.Insert(std::make_shared<int>(-2)), 0u);
}

TEST(Handles, StaleValuesStayDeadAcrossTheGenerationWrap) {
  // Insert and remove until every slot has gone round its generations twice;
  // the value just removed is always refused, the live one always found.
  HandleTable<int> table(HandleKind::Window);
  const size_t rounds = 2 * wce::handle_bits::kGenerations * (wce::handle_bits::kCoolingSlots + 1) + 5;
  uintptr_t first = table.Insert(std::make_shared<int>(0));
  uintptr_t previous = first;
  size_t failures = 0;
  for (size_t i = 1; i <= rounds && failures < 5; ++i) {
    uintptr_t h = table.Insert(std::make_shared<int>(static_cast<int>(i)));
    bool ok = table.Remove(previous) != nullptr && !table.Lookup(previous) && h != previous &&
              table.Lookup(h) && *table.Lookup(h) == static_cast<int>(i) && (h >> 31) == 0;
    if (!ok) {
      ++failures;
      ADD_FAILURE() << "round " << i << ": live " << std::hex << h << ", stale " << previous;
    }
    previous = h;
  }
  // The first value came round again only if its slot's generation did.
  EXPECT_EQ(table.Lookup(first) != nullptr, previous == first);
}

}  // namespace
