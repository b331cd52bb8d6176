// Inside the device: HTC's G-sensor library as a built-in module, reading
// whatever SetSensorSource installed.
#pragma once

#include "kernel/modules.h"

namespace wce {

// The size of the record HTCSensorGetDataOutput fills: int16 X, Y, Z at bytes
// 0, 2, 4, then 14 bytes the program never reads (zeros here).
constexpr size_t kHtcSampleSize = 20;

// HTCSensorSDK.dll: present only while a sensor source is set.
const BuiltinModule& HtcSensorModule();

// Every sensor handle dies (device reset).
void HtcSensorReset();

}  // namespace wce
