// HTCSensorSDK.dll's three entries over the device's sensor source.
#include "sensor/htc_sensor.h"

#include <cstring>
#include <mutex>
#include <set>

#include "device/device.h"

namespace wce {

namespace {

// The library's handles are opaque to the program; ours are distinct tagged
// values, remembered while open, so a stale or made-up one reads nothing.
struct SensorHandles {
  std::mutex mutex;
  std::set<uintptr_t> open;
  uintptr_t next = 1;
};

SensorHandles& Handles() {
  static SensorHandles handles;
  return handles;
}

constexpr uintptr_t kSensorTag = 0x5E00;

bool IsOpen(HANDLE handle) {
  SensorHandles& handles = Handles();
  std::lock_guard<std::mutex> lock(handles.mutex);
  return handles.open.count(reinterpret_cast<uintptr_t>(handle)) != 0;
}

HANDLE HTCSensorOpen(DWORD /*sensorKind*/) {
  SensorHandles& handles = Handles();
  std::lock_guard<std::mutex> lock(handles.mutex);
  uintptr_t value = (handles.next++ << 16) | kSensorTag;
  handles.open.insert(value);
  return reinterpret_cast<HANDLE>(value);
}

// 1 when the handle and a source are there (a source with no reading yet gives
// a resting zero sample); 0 with a zeroed sample otherwise.
DWORD HTCSensorGetDataOutput(HANDLE handle, void* sample) {
  if (sample == nullptr) return 0;
  std::memset(sample, 0, kHtcSampleSize);
  std::shared_ptr<SensorSource> source = GetSensorSource();
  if (!source || !IsOpen(handle)) return 0;
  int16_t xyz[3] = {0, 0, 0};
  if (!source->Read(xyz[0], xyz[1], xyz[2])) return 1;
  std::memcpy(sample, xyz, sizeof xyz);  // little-endian, like the phone's Arm core
  return 1;
}

void HTCSensorClose(HANDLE handle) {
  SensorHandles& handles = Handles();
  std::lock_guard<std::mutex> lock(handles.mutex);
  handles.open.erase(reinterpret_cast<uintptr_t>(handle));
}

// An export table holds every entry as FARPROC; the caller casts it back to the
// entry's real type. The detour through void(*)() says that is meant.
template <class Function>
FARPROC AsExport(Function* function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

bool SensorPresent() { return GetSensorSource() != nullptr; }

}  // namespace

const BuiltinModule& HtcSensorModule() {
  static const BuiltinModule module = {
      L"HTCSensorSDK.dll",
      {
          {L"HTCSensorOpen", AsExport(&HTCSensorOpen)},
          {L"HTCSensorGetDataOutput", AsExport(&HTCSensorGetDataOutput)},
          {L"HTCSensorClose", AsExport(&HTCSensorClose)},
      },
      &SensorPresent,
  };
  return module;
}

void HtcSensorReset() {
  SensorHandles& handles = Handles();
  std::lock_guard<std::mutex> lock(handles.mutex);
  handles.open.clear();
}

}  // namespace wce
