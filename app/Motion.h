// Switching motion detection on and off: the three detectors with their 50 ms
// poll timers (ids 1, 2, 3 on the main window) and the keep-awake timer.
#pragma once

#include <windows.h>

// Silences every slot, stops the detectors and their timers, turns the motion
// switch off and lets the device sleep again. Does not repaint.
void StopMotion();
// The detectors and their poll timers alone; sounds already playing go on.
void StopDetectors();
// Starts the detectors and their poll timers.
void StartMotion();

// Timer procedure of the poll timers: polls the detector of the timer's id.
void CALLBACK PollMotionDetector(HWND window, UINT message, UINT_PTR timerId, DWORD time);
