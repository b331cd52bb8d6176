#include "app/Commands.h"

#include <new>

#include "app/AppState.h"
#include "app/Browser.h"
#include "app/ControlIds.h"
#include "app/Motion.h"
#include "app/PageTransition.h"
#include "app/ScreenLayout.h"
#include "app/Screens.h"
#include "app/SettingsTransfer.h"
#include "app/SlotControls.h"
#include "app/TransitionFrame.h"
#include "ui/composite/ScrollList.h"
#include "ui/core/CheckBox.h"
#include "ui/core/ImageButton.h"
#include "ui/core/ValueSelector.h"

namespace {

const UINT kGlidePeriod = 11;
const int kTransitionMs = 300;

// Animated when the Animations check box allows, at once otherwise.
void Transition(HWND window, TransitionKind kind) {
  if (!StartPageTransition(window, kind, kTransitionMs)) InvalidateRect(window, NULL, TRUE);
}

void SetVisibleIf(TouchControl* control, BOOL visible) {
  if (control != NULL) control->SetVisible(visible);
}

void Redraw(HWND window) { UpdateWindow(window); }

bool Checked(const CheckBox* box) { return box != NULL && box->IsChecked(); }

void StopPreview() {
  if (appState.previewPlayer) appState.previewPlayer->Stop();
}

void StopListGlide(HWND window) {
  if (appState.soundList != NULL) appState.soundList->StopGlide(window, GlideTimerId);
}

void OnCloseButton(HWND window, int) {
  if (Checked(appState.xButtonCheck)) {
    SendMessageW(window, WM_CLOSE, 0, 0);
  } else {
    // Settings are not saved until the window is really closed.
    ShowWindow(window, SW_MINIMIZE);
  }
}

void OnAboutButton(HWND window, int) {
  SetVisibleIf(appState.aboutButton, FALSE);
  ShowScreen(AboutScreen, false);
  Transition(window, CoverDown);
}

void OnHomeTab(HWND window, int) {
  ShowTab(HomePage, true, false);
  Transition(window, PushRight);
}

void OnSoundsTab(HWND window, int) {
  // From Home the page comes in from the right, from Settings from the left.
  bool fromHome = Checked(appState.homeTab);
  ShowTab(SoundsPage, true, false);
  Transition(window, fromHome ? PushLeft : PushRight);
}

void OnSettingsTab(HWND window, int) {
  ShowTab(SettingsPage, true, false);
  Transition(window, PushLeft);
}

void OnDonateButton(HWND, int) { OpenInDefaultBrowser(kDonationPage); }

void OnBackButton(HWND window, int) {
  SetVisibleIf(appState.aboutButton, TRUE);
  ShowScreen(TabAreaScreen, false);
  Transition(window, UncoverUp);
}

// Each tap on a row restarts the preview with that row's sound.
void Preview() {
  ScrollList* list = appState.soundList;
  if (list == NULL) return;
  ListItem item;
  if (list->Selection() < 0 || !list->GetItem(list->Selection(), &item)) return;
  const SoundEntry* entry = static_cast<const SoundEntry*>(item.userData);
  if (entry == NULL) return;
  appState.previewPlayer.reset();
  appState.previewPlayer.reset(new (std::nothrow) WavePlayer(entry->filePath));
  if (appState.previewPlayer) appState.previewPlayer->Play();
}

void OnSoundList(HWND window, int code) {
  ScrollList* list = appState.soundList;
  if (list == NULL) return;
  if (code == NotifyPenDown) {
    list->StopGlide(window, GlideTimerId);
  } else if (code == NotifyPenUp) {
    list->StartGlide(window, GlideTimerId, kGlidePeriod, GlideSoundList);
  } else if (code == NotifyClick) {
    Preview();
  }
}

void BackToTabArea(HWND window) {
  ShowScreen(TabAreaScreen, false);
  Transition(window, PushUp);
}

void OnOkButton(HWND window, int) {
  StopPreview();
  StopListGlide(window);
  ScrollList* list = appState.soundList;
  if (list == NULL) return;
  ListItem item;
  // Without a selection the browser stays open.
  if (list->Selection() < 0 || !list->GetItem(list->Selection(), &item)) return;
  int slot = SlotOfBrowserId(appState.browserSlotId);
  AssignSlotByFileName(slot, item.secondLine);
  RefreshSlotControls(slot);
  BackToTabArea(window);
}

void OnCancelButton(HWND window, int) {
  StopPreview();
  StopListGlide(window);
  appState.browserSlotId = 0;
  BackToTabArea(window);
}

// The pressed picture shows before the sound starts.
void OnGridButton(HWND window, int id) {
  Redraw(window);
  if (appState.soundSlots) appState.soundSlots->Play(id - FirstGridButtonId + 1);
}

void OnPlayButton(HWND window, int id) {
  Redraw(window);
  int slot = 0;
  for (int n = 1; n <= SoundSlots::kSlotCount; ++n) {
    if (kPlayButtonIds[n - 1] == id) slot = n;
  }
  if (appState.soundSlots) appState.soundSlots->Play(slot);
}

void OnMotionCheck(HWND, int) {
  CheckBox* box = appState.motionToggle;
  if (box == NULL) return;
  if (box->IsChecked()) {
    StartMotion();
    if (appState.keepAwake) appState.keepAwake->Start();
  } else {
    // Sounds already playing go on.
    StopDetectors();
    if (appState.keepAwake) appState.keepAwake->Stop();
  }
  ShowCheckState(box);
  box->Invalidate();
}

void OnSlotButton(HWND window, int id) {
  appState.browserSlotId = id;
  ShowScreen(BrowserScreen, true);
  Transition(window, PushDown);
}

// Takes effect at once, while detection runs too.
void OnSensitivitySelector(HWND, int id) {
  MotionDetector* detectors[3] = {appState.motionX.get(), appState.motionY.get(), appState.motionZ.get()};
  int axis = id - FirstSensitivitySelectorId;
  ValueSelector* selector = appState.sensitivitySelector[axis];
  if (selector == NULL || detectors[axis] == NULL) return;
  detectors[axis]->SetPeakThreshold(MotionDetector::PeakThresholdFor(selector->GetCurrentValue()));
}

void OnVibrationsCheck(HWND, int) {
  if (appState.vibrationsCheck != NULL) ApplyTouchVibration(appState.vibrationsCheck->IsChecked());
}

void OnPulseCheck(HWND, int) {
  CheckBox* box = appState.pulseToggle;
  if (box == NULL) return;
  ShowCheckState(box);
  box->Invalidate();
}

// One row per id range and code; a list row takes four codes.
struct Command {
  int firstId;
  int lastId;
  int code;
  void (*handler)(HWND window, int id);
};

const Command kCommands[] = {
    {CloseButtonId, CloseButtonId, NotifyClick, OnCloseButton},
    {AboutButtonId, AboutButtonId, NotifyClick, OnAboutButton},
    {HomeTabId, HomeTabId, NotifyToggled, OnHomeTab},
    {SoundsTabId, SoundsTabId, NotifyToggled, OnSoundsTab},
    {SettingsTabId, SettingsTabId, NotifyToggled, OnSettingsTab},
    {DonateButtonId, DonateButtonId, NotifyClick, OnDonateButton},
    {BackButtonId, BackButtonId, NotifyClick, OnBackButton},
    {OkButtonId, OkButtonId, NotifyClick, OnOkButton},
    {CancelButtonId, CancelButtonId, NotifyClick, OnCancelButton},
    {FirstGridButtonId, LastGridButtonId, NotifyPenDown, OnGridButton},
    {MotionCheckId, MotionCheckId, NotifyToggled, OnMotionCheck},
    {FirstSlotButtonId, LastSlotButtonId, NotifyClick, OnSlotButton},
    {FirstPlayButtonId, FourthPlayButtonId, NotifyPenDown, OnPlayButton},
    {LastPlayButtonId, LastPlayButtonId, NotifyPenDown, OnPlayButton},
    {FirstSensitivitySelectorId, LastSensitivitySelectorId, NotifyStepped, OnSensitivitySelector},
    {VibrationsCheckId, VibrationsCheckId, NotifyToggled, OnVibrationsCheck},
    {PulseCheckId, PulseCheckId, NotifyToggled, OnPulseCheck},
};

}  // namespace

int SlotOfBrowserId(LONG id) {
  return id >= FirstSlotButtonId && id <= LastSlotButtonId ? static_cast<int>(id) - FirstSlotButtonId + 1 : 0;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  int id = LOWORD(wParam);
  int code = HIWORD(wParam);
  if (id == SoundListId && code >= NotifyPenDown && code <= NotifyClick) {
    OnSoundList(window, code);
    return 0;
  }
  for (const Command& command : kCommands) {
    if (id >= command.firstId && id <= command.lastId && code == command.code) {
      command.handler(window, id);
      return 0;
    }
  }
  return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
}

void CALLBACK GlideSoundList(HWND window, UINT, UINT_PTR timerId, DWORD) {
  if (appState.soundList != NULL) appState.soundList->GlideStep(window, timerId);
}
