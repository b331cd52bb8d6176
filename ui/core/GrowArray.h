// Room for one more record in an array kept with malloc and realloc: the
// controls' entries, rows and children, the sound bank's sounds.
#pragma once

#include <windows.h>
#include <limits.h>
#include <stdint.h>
#include <stdlib.h>

// With `count` records in use out of `*capacity`, makes sure one more fits:
// a full array doubles, an empty one starts at `firstCapacity`. FALSE, with
// the array and capacity as they were, when there is no memory for it or the
// size would not fit in an int. The records are moved as bytes, so they must
// be plain data (no constructors, no owned members).
template <class T>
BOOL GrowArray(T** items, int count, int* capacity, int firstCapacity) {
  if (count < *capacity) return TRUE;
  if (*capacity > INT_MAX / 2) return FALSE;
  int wanted = *capacity == 0 ? firstCapacity : *capacity * 2;
  if (static_cast<size_t>(wanted) > SIZE_MAX / sizeof(T)) return FALSE;
  void* grown = realloc(*items, static_cast<size_t>(wanted) * sizeof(T));
  if (grown == NULL) return FALSE;
  *items = static_cast<T*>(grown);
  *capacity = wanted;
  return TRUE;
}
