#include "sound/TiltSensor.h"

#include <string.h>

namespace {

// GetProcAddressW hands out a generic pointer; going through void(*)() first
// says we know the entry's real type.
template <typename Proc>
Proc LookUp(HMODULE library, LPCWSTR name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddressW(library, name)));
}

}  // namespace

TiltSensor::TiltSensor() : sensor_(NULL), openEntry_(NULL), closeEntry_(NULL), readEntry_(NULL) {}

bool TiltSensor::Open(DWORD sensorKind) {
  // The library is never freed: the sensor is read until the process ends.
  HMODULE library = LoadLibraryW(L"HTCSensorSDK.dll");
  if (library == NULL) return false;
  openEntry_ = LookUp<HTCSensorOpenProc>(library, L"HTCSensorOpen");
  closeEntry_ = LookUp<HTCSensorCloseProc>(library, L"HTCSensorClose");
  readEntry_ = LookUp<HTCSensorGetDataOutputProc>(library, L"HTCSensorGetDataOutput");
  if (openEntry_ == NULL || closeEntry_ == NULL || readEntry_ == NULL) return false;
  sensor_ = openEntry_(sensorKind);
  return true;
}

DWORD TiltSensor::ReadSample(TiltSample* sample) {
  if (sample == NULL) return 0;
  if (!HasAllEntries()) {
    // A phone without the sensor simply never moves.
    memset(sample, 0, sizeof(*sample));
    return 0;
  }
  return readEntry_(sensor_, sample);
}

bool TiltSensor::HasAllEntries() const {
  return openEntry_ != NULL && closeEntry_ != NULL && readEntry_ != NULL;
}

bool TiltSensor::Close() {
  if (!HasAllEntries()) return false;
  closeEntry_(sensor_);
  return true;
}
