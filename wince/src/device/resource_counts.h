// What the device holds for the program right now: GDI objects (stock ones
// left out), DCs, windows, timers, open wave-out handles and running threads.
// The bench traces them when a script ends, so a run that leaks shows it.
#pragma once

#include <cstddef>
#include <string>

namespace wce {

struct ResourceCounts {
  size_t gdi = 0;  // the four kinds below together
  size_t bitmaps = 0;
  size_t brushes = 0;
  size_t pens = 0;
  size_t fonts = 0;
  size_t dcs = 0;
  size_t windows = 0;
  size_t timers = 0;
  size_t waveOuts = 0;
  size_t threads = 0;  // made by CreateThread and still running

  bool operator==(const ResourceCounts&) const = default;
};

// Each area is counted under its own lock, one after the other: call it while
// the program is idle (after ClockSettle) for numbers that belong together.
ResourceCounts CountResources();

// "gdi=N dc=N windows=N timers=N wave=N threads=N bitmaps=N brushes=N pens=N fonts=N"
std::string FormatResourceCounts(const ResourceCounts& counts);

}  // namespace wce
