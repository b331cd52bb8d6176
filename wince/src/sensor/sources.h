// Sources of accelerometer readings the host and tests put behind
// HTCSensorSDK.dll (SetSensorSource in device/device.h).
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "device/device.h"

namespace wce {

// One reading that holds until the next Set (tests, the script's "accel" line).
class FixedSensorSource : public SensorSource {
 public:
  FixedSensorSource() = default;
  FixedSensorSource(int16_t x, int16_t y, int16_t z) : x_(x), y_(y), z_(z) {}

  void Set(int16_t x, int16_t y, int16_t z);
  bool Read(int16_t& x, int16_t& y, int16_t& z) override;

 private:
  std::mutex mutex_;
  int16_t x_ = 0;
  int16_t y_ = 0;
  int16_t z_ = 0;
};

// A recording played back on the device clock. Text, one reading a line:
//   <device ms> <x> <y> <z>
// integers, times never decreasing, '#' to the end of a line is a comment.
// Read gives the last line whose time has come (zeros before the first).
class ReplaySensorSource : public SensorSource {
 public:
  // False with a message naming the line when the file cannot be used; the
  // readings held before stay as they were.
  bool Load(const std::string& posixPath, std::string& error);
  bool Parse(std::string_view text, std::string& error);

  bool Read(int16_t& x, int16_t& y, int16_t& z) override;

  struct Reading {
    uint64_t ms;
    int16_t x, y, z;
  };

 private:
  std::mutex mutex_;
  std::vector<Reading> readings_;
};

}  // namespace wce
