#include "app/SettingsTransfer.h"

#include "app/AppState.h"
#include "app/Motion.h"
#include "ui/composite/ScrollList.h"
#include "ui/core/CheckBox.h"
#include "ui/core/ImageButton.h"
#include "ui/core/TwoLineButton.h"
#include "ui/core/ValueSelector.h"

namespace {

// Armed early and gated hard: what the pad wants of every detector.
const int kStartThreshold = 100;
const int kZGate = -200;

}  // namespace

void ApplySettings() {
  const Settings* settings = appState.settings.get();
  if (settings == NULL) return;
  const LONG sensitivities[3] = {settings->sensitivityX, settings->sensitivityY, settings->sensitivityZ};
  MotionDetector* detectors[3] = {appState.motionX.get(), appState.motionY.get(), appState.motionZ.get()};
  for (int axis = 0; axis < 3; ++axis) {
    if (detectors[axis] == NULL) return;
    detectors[axis]
        ->SetStartThreshold(kStartThreshold)
        .SetPeakThreshold(MotionDetector::PeakThresholdFor(sensitivities[axis]))
        .SetZGate(kZGate);
  }
  for (int axis = 0; axis < 3; ++axis) {
    ValueSelector* selector = appState.sensitivitySelector[axis];
    if (selector == NULL) return;
    // An out-of-range sensitivity selects nothing: the selector ignores it.
    selector->Select(static_cast<int>(sensitivities[axis]) - 1);
  }
  const struct {
    CheckBox* box;
    DWORD value;
  } checkBoxes[] = {
      {appState.xButtonCheck, settings->xButtonClose},
      {appState.animationsCheck, settings->animationsOn},
      {appState.vibrationsCheck, settings->vibrationsOn},
      {appState.pulseToggle, settings->pulseVibrationsOn},
  };
  for (const auto& entry : checkBoxes) {
    if (entry.box == NULL) return;
    entry.box->SetChecked(entry.value != 0 ? TRUE : FALSE);
  }
  ShowCheckState(appState.pulseToggle);
  ApplyTouchVibration(settings->vibrationsOn != 0);
}

void ApplyTouchVibration(bool flag) {
  AppState& s = appState;
  TouchControl* const touchable[] = {
      s.closeButton,     s.aboutButton,     s.homeTab,         s.soundsTab,       s.settingsTab,
      s.donateButton,    s.backButton,      s.soundList,       s.okButton,        s.cancelButton,
      s.gridButton[0],   s.gridButton[1],   s.gridButton[2],   s.gridButton[3],   s.gridButton[4],
      s.motionToggle,    s.pulseToggle,     s.slotButton[0],   s.slotButton[1],   s.slotButton[2],
      s.slotButton[3],   s.slotButton[4],   s.playButton[0],   s.playButton[1],   s.playButton[2],
      s.playButton[3],   s.playButton[4],   s.sensitivitySelector[0], s.sensitivitySelector[1],
      s.sensitivitySelector[2], s.xButtonCheck, s.animationsCheck, s.vibrationsCheck,
  };
  for (TouchControl* control : touchable) {
    if (control != NULL) control->SetVibrateOnPress(flag ? TRUE : FALSE);
  }
}

void CollectSettings() {
  if (!appState.settings) return;
  Settings* settings = appState.settings.get();
  // Without a control the record keeps what was loaded from there on, and
  // that is what gets saved. A slot that never had a sound is saved empty.
  for (int slot = 0; slot < Settings::kSlotCount; ++slot) {
    TwoLineButton* row = appState.slotButton[slot];
    if (row == NULL) return;
    WCHAR text[kCaptionLength];
    row->GetCaption(text);
    wcscpy_s(settings->slotFolder[slot], MAX_PATH, text);
    row->GetSubtitle(text);
    wcscpy_s(settings->slotName[slot], MAX_PATH, text);
  }
  LONG* sensitivities[3] = {&settings->sensitivityX, &settings->sensitivityY, &settings->sensitivityZ};
  for (int axis = 0; axis < 3; ++axis) {
    ValueSelector* selector = appState.sensitivitySelector[axis];
    if (selector == NULL) return;
    *sensitivities[axis] = selector->GetCurrentValue();
  }
  const struct {
    CheckBox* box;
    DWORD* value;
  } checkBoxes[] = {
      {appState.xButtonCheck, &settings->xButtonClose},
      {appState.animationsCheck, &settings->animationsOn},
      {appState.vibrationsCheck, &settings->vibrationsOn},
      {appState.pulseToggle, &settings->pulseVibrationsOn},
  };
  for (const auto& entry : checkBoxes) {
    if (entry.box == NULL) return;
    *entry.value = entry.box->IsChecked() ? 1 : 0;
  }
}
