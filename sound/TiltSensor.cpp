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

TiltSensor::TiltSensor() : sensor(NULL), openEntry(NULL), closeEntry(NULL), readEntry(NULL) {}

bool TiltSensor::Open(DWORD sensorKind) {
  // The library is never freed: the sensor is read until the process ends.
  HMODULE library = LoadLibraryW(L"HTCSensorSDK.dll");
  if (library == NULL) return false;
  openEntry = LookUp<HTCSensorOpenProc>(library, L"HTCSensorOpen");
  closeEntry = LookUp<HTCSensorCloseProc>(library, L"HTCSensorClose");
  readEntry = LookUp<HTCSensorGetDataOutputProc>(library, L"HTCSensorGetDataOutput");
  if (openEntry == NULL || closeEntry == NULL || readEntry == NULL) return false;
  sensor = openEntry(sensorKind);
  return true;
}

DWORD TiltSensor::ReadSample(TiltSample* sample) {
  if (sample == NULL) return 0;
  if (!HasAllEntries()) {
    // A phone without the sensor simply never moves.
    memset(sample, 0, sizeof(*sample));
    return 0;
  }
  return readEntry(sensor, sample);
}

bool TiltSensor::HasAllEntries() const {
  return openEntry != NULL && closeEntry != NULL && readEntry != NULL;
}

bool TiltSensor::Close() {
  if (!HasAllEntries()) return false;
  closeEntry(sensor);
  return true;
}
