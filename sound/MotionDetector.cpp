#include "sound/MotionDetector.h"

#include <string.h>

namespace {

// Indexed by sensitivity 1..10; anything else gets the middle-of-the-road 800.
const SHORT kPeakThresholds[] = {1100, 1000, 900, 800, 700, 600, 500, 400, 300, 200};
const SHORT kFallbackPeakThreshold = 800;

// By the sign of the axis reading at the firing sample. A zero X or Y reading
// has no direction, so nothing is posted; Z has no direction at all.
const MotionCodes kCodesX = {3, 0, 4};
const MotionCodes kCodesY = {1, 0, 2};
const MotionCodes kCodesZ = {5, 5, 5};

// The Z axis rests at about 1000 (gravity), so its jerk is measured from there.
const SHORT kZRest = 1000;

}  // namespace

MotionDetector::MotionDetector(HWND receiver, TiltSensor& source, UINT motionMessage)
    : startThreshold(200),
      peakThreshold(750),
      zGate(-300),
      message(motionMessage),
      window(receiver),
      sensor(source),
      peak(0),
      armed(FALSE),
      fired(FALSE),
      started(FALSE) {
  memset(&sample, 0, sizeof(sample));
}

void MotionDetector::Start() {
  // Keeps armed/fired/peak: a restart resumes the excursion it left.
  sensor.ReadSample(&sample);
  started = TRUE;
}

void MotionDetector::Stop() { started = FALSE; }

MotionDetector& MotionDetector::SetStartThreshold(int value) {
  startThreshold = static_cast<SHORT>(value);
  return *this;
}

MotionDetector& MotionDetector::SetPeakThreshold(int value) {
  peakThreshold = static_cast<SHORT>(value);
  return *this;
}

MotionDetector& MotionDetector::SetZGate(int value) {
  zGate = static_cast<SHORT>(value);
  return *this;
}

SHORT MotionDetector::PeakThresholdFor(LONG sensitivity) {
  const LONG count = sizeof(kPeakThresholds) / sizeof(kPeakThresholds[0]);
  if (sensitivity < 1 || sensitivity > count) return kFallbackPeakThreshold;
  return kPeakThresholds[sensitivity - 1];
}

SHORT MotionDetector::Magnitude(SHORT value) {
  if (value == -32768) return 32767;
  return static_cast<SHORT>(value < 0 ? -value : value);
}

bool MotionDetector::ReadWhenStarted() {
  if (!started) return false;
  sensor.ReadSample(&sample);
  return true;
}

void MotionDetector::Track(SHORT magnitude, SHORT reading, const MotionCodes& codes) {
  if (!armed) {
    if (magnitude > startThreshold) {
      armed = TRUE;
      peak = magnitude;
    }
    return;
  }
  if (magnitude <= startThreshold) {
    // Back to rest: the next excursion may fire again.
    armed = FALSE;
    fired = FALSE;
    return;
  }
  if (magnitude > peak) {
    peak = magnitude;
    return;
  }
  // First sample past the peak (an equal one counts as falling).
  if (peak <= peakThreshold || fired) return;
  // Fired even when gated, so a gated excursion stays quiet to its end.
  fired = TRUE;
  if (sample.z >= zGate) return;
  WPARAM code = reading < 0 ? codes.negative : (reading > 0 ? codes.positive : codes.zero);
  if (code == 0) return;
  PostMessageW(window, message, code, 0);
}

void MotionDetectorX::Poll() {
  if (!ReadWhenStarted()) return;
  Track(Magnitude(sample.x), sample.x, kCodesX);
}

void MotionDetectorY::Poll() {
  if (!ReadWhenStarted()) return;
  Track(Magnitude(sample.y), sample.y, kCodesY);
}

void MotionDetectorZ::Poll() {
  if (!ReadWhenStarted()) return;
  Track(static_cast<SHORT>(Magnitude(sample.z) - kZRest), sample.z, kCodesZ);
}
