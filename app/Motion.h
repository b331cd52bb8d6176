// Switching motion detection on and off: the three detectors with their 50 ms
// poll timers on the main window and the keep-awake timer.
#pragma once

#include <windows.h>

class CheckBox;

// Silences every slot, stops the detectors and their timers, turns the motion
// check box off and lets the device sleep again. Does not repaint.
void StopMotion();
// The detectors and their poll timers alone; sounds already playing go on.
void StopDetectors();
// Starts the detectors and their poll timers.
void StartMotion();

// Timer procedure of the poll timers: polls the detector of the timer's id.
void CALLBACK PollMotionDetector(HWND window, UINT message, UINT_PTR timerId, DWORD time);

// The Home page's two check boxes (motion, and the pulse on each motion) say
// "On" or "Off" after their state. Does not repaint.
void ShowCheckState(CheckBox* box);
