// Per-axis jerk detectors: each follows its axis through one excursion and
// posts WM_MOTION once when the peak was high enough.
#pragma once

#include <windows.h>

#include "sound/TiltSensor.h"

#define WM_MOTION (WM_APP + 1)

// Motion codes carried in WM_MOTION's first parameter; 0 posts nothing.
struct MotionCodes {
  WPARAM negative;
  WPARAM zero;
  WPARAM positive;
};

class MotionDetector {
 public:
  MotionDetector(HWND window, TiltSensor& sensor, UINT message);

  virtual void Start();
  virtual void Stop();
  virtual void Poll() = 0;
  virtual ~MotionDetector() {}

  MotionDetector& SetStartThreshold(int value);
  MotionDetector& SetPeakThreshold(int value);
  MotionDetector& SetZGate(int value);

  // The peak an axis must pass for a sensitivity of 1 (least) to 10 (most).
  static SHORT PeakThresholdFor(LONG sensitivity);

  SHORT StartThreshold() const { return startThreshold; }
  SHORT PeakThreshold() const { return peakThreshold; }
  SHORT ZGate() const { return zGate; }
  SHORT Peak() const { return peak; }
  bool IsArmed() const { return armed != FALSE; }
  bool HasFired() const { return fired != FALSE; }
  bool IsStarted() const { return started != FALSE; }
  const TiltSample& LastSample() const { return sample; }

 protected:
  // One detection step on a fresh sample: `magnitude` of the axis, `reading`
  // whose sign picks the code.
  void Track(SHORT magnitude, SHORT reading, const MotionCodes& codes);
  // Reads into `sample`; false while stopped.
  bool ReadWhenStarted();
  // |value| in 16 bits; full scale counts as the largest magnitude.
  static SHORT Magnitude(SHORT value);

  SHORT startThreshold;
  SHORT peakThreshold;
  SHORT zGate;
  UINT message;
  HWND window;
  TiltSensor& sensor;
  TiltSample sample;
  SHORT peak;
  BOOL armed;
  BOOL fired;
  BOOL started;
};

class MotionDetectorX : public MotionDetector {
 public:
  using MotionDetector::MotionDetector;
  void Poll() override;
};

class MotionDetectorY : public MotionDetector {
 public:
  using MotionDetector::MotionDetector;
  void Poll() override;
};

class MotionDetectorZ : public MotionDetector {
 public:
  using MotionDetector::MotionDetector;
  void Poll() override;
};
