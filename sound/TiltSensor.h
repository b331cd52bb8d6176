// The G-sensor, reached through HTC's sensor library loaded at run time.
#pragma once

#include <windows.h>

#include <stddef.h>

// What the library's read entry fills; only the first three readings are used.
struct TiltSample {
  SHORT x;
  SHORT y;
  SHORT z;
  BYTE unused[14];
};
static_assert(sizeof(TiltSample) == 20, "the library writes exactly 20 bytes");
static_assert(offsetof(TiltSample, x) == 0, "X reading at byte 0");
static_assert(offsetof(TiltSample, y) == 2, "Y reading at byte 2");
static_assert(offsetof(TiltSample, z) == 4, "Z reading at byte 4");

typedef HANDLE(WINAPI* HTCSensorOpenProc)(DWORD sensorKind);
typedef DWORD(WINAPI* HTCSensorGetDataOutputProc)(HANDLE sensor, void* sample);  // TiltSample*
typedef void(WINAPI* HTCSensorCloseProc)(HANDLE sensor);

class TiltSensor {
 public:
  TiltSensor();

  // Loads the library and opens the sensor; false when the library or an entry is missing.
  bool Open(DWORD sensorKind);
  // Fills the sample; without the library the sample is all zero (no motion).
  DWORD ReadSample(TiltSample* sample);
  // False when the library was not fully there (nothing was opened).
  bool Close();

 private:
  // A half-present library never had its sensor opened, so none of it is called.
  bool HasAllEntries() const;

  HANDLE sensor;
  HTCSensorOpenProc openEntry;
  HTCSensorCloseProc closeEntry;
  HTCSensorGetDataOutputProc readEntry;
};
