// CE's notification LEDs; LED 1 is the vibration motor. A desktop has none.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define NLED_COUNT_INFO_ID 0
#define NLED_SUPPORTS_INFO_ID 1
#define NLED_SETTINGS_INFO_ID 2

typedef struct _NLED_SETTINGS_INFO {
  UINT LedNum;
  INT OffOnBlink;  // 0 off, 1 on, 2 blink
  LONG TotalCycleTime;
  LONG OnTime;
  LONG OffTime;
  INT MetaCycleOn;
  INT MetaCycleOff;
} NLED_SETTINGS_INFO, *PNLED_SETTINGS_INFO;

BOOL WINAPI NLedSetDevice(UINT deviceId, void* input);

#ifdef __cplusplus
}
#endif
