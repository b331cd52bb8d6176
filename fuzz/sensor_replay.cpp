// Fuzz target: the accelerometer recording reader, then a few reads along
// device time. A refused recording names its line and leaves the readings
// held before as they were.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "device/device.h"

namespace {

bool ReadsAt(wce::ReplaySensorSource& source, uint64_t ms, int16_t& x, int16_t& y, int16_t& z) {
  wce::ClockAdvanceTo(ms);
  return source.Read(x, y, z);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  wce::ClockReset(wce::ClockMode::Virtual);
  wce::ReplaySensorSource source;
  std::string error;
  if (!source.Parse("0 1 2 3\n", error)) std::abort();

  if (!source.Parse(std::string_view(reinterpret_cast<const char*>(data), size), error)) {
    if (error.rfind("line ", 0) != 0 || error.size() <= 5 || error[5] < '1' || error[5] > '9') std::abort();
    int16_t x = 0, y = 0, z = 0;
    if (!ReadsAt(source, 0, x, y, z) || x != 1 || y != 2 || z != 3) std::abort();
    return 0;
  }
  for (uint64_t ms : {0ull, 1ull, 20ull, 1000ull, 60000ull, 86400000ull}) {
    int16_t x = 0, y = 0, z = 0;
    if (!ReadsAt(source, ms, x, y, z)) std::abort();
  }
  return 0;
}
