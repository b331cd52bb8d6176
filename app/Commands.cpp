#include "app/Commands.h"

#include <new>

#include "app/AppState.h"
#include "app/Browser.h"
#include "app/MainWindow.h"
#include "app/Motion.h"
#include "app/ScreenLayout.h"
#include "app/Screens.h"
#include "app/SettingsTransfer.h"
#include "app/SlotControls.h"
#include "ui/composite/ScrollList.h"
#include "ui/core/CheckBox.h"
#include "ui/core/ImageButton.h"
#include "ui/core/ValueSelector.h"

namespace {

const UINT_PTR kGlideTimerId = 4;
const UINT kGlidePeriod = 11;
const int kTransitionMs = 300;

// Transition kinds of the page changes.
const int kPushLeft = 1;
const int kPushRight = 2;
const int kPushUp = 3;
const int kPushDown = 4;
const int kUncoverUp = 10;
const int kCoverDown = 11;

// Animated when the Animations switch allows, at once otherwise.
void Transition(HWND window, int kind) {
  if (!StartPageTransition(window, kind, kTransitionMs)) InvalidateRect(window, NULL, TRUE);
}

void SetVisibleIf(TouchControl* control, BOOL visible) {
  if (control != nullptr) control->SetVisible(visible);
}

void Redraw(HWND window) { UpdateWindow(window); }

bool Checked(const CheckBox* box) { return box != nullptr && box->IsChecked(); }

void StopPreview() {
  if (appState.previewPlayer) appState.previewPlayer->Stop();
}

void StopListGlide(HWND window) {
  if (appState.soundList != nullptr) appState.soundList->StopGlide(window, kGlideTimerId);
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
  Transition(window, kCoverDown);
}

void OnHomeTab(HWND window, int) {
  ShowTab(HomePage, true, false);
  Transition(window, kPushRight);
}

void OnSoundsTab(HWND window, int) {
  // From Home the page comes in from the right, from Settings from the left.
  bool fromHome = Checked(appState.homeTab);
  ShowTab(SoundsPage, true, false);
  Transition(window, fromHome ? kPushLeft : kPushRight);
}

void OnSettingsTab(HWND window, int) {
  ShowTab(SettingsPage, true, false);
  Transition(window, kPushLeft);
}

void OnDonateButton(HWND, int) { OpenInDefaultBrowser(kDonationPage); }

void OnBackButton(HWND window, int) {
  SetVisibleIf(appState.aboutButton, TRUE);
  ShowScreen(TabAreaScreen, false);
  Transition(window, kUncoverUp);
}

// Each tap on a row restarts the preview with that row's sound.
void Preview() {
  ScrollList* list = appState.soundList;
  if (list == nullptr) return;
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
  if (list == nullptr) return;
  if (code == NotifyPenDown) {
    list->StopGlide(window, kGlideTimerId);
  } else if (code == NotifyPenUp) {
    list->StartGlide(window, kGlideTimerId, kGlidePeriod, GlideSoundList);
  } else if (code == NotifyClick) {
    Preview();
  }
}

void BackToTabArea(HWND window) {
  ShowScreen(TabAreaScreen, false);
  Transition(window, kPushUp);
}

void OnOkButton(HWND window, int) {
  StopPreview();
  StopListGlide(window);
  ScrollList* list = appState.soundList;
  if (list == nullptr) return;
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
  if (appState.soundSlots) appState.soundSlots->Play(id - 79);
}

void OnPlayButton(HWND window, int id) {
  Redraw(window);
  int slot = id == 112 ? 5 : id - 101;
  if (appState.soundSlots) appState.soundSlots->Play(slot);
}

void OnMotionToggle(HWND, int) {
  CheckBox* toggle = appState.motionToggle;
  if (toggle == nullptr) return;
  if (toggle->IsChecked()) {
    StartMotion();
    toggle->SetCaption(L"On");
    if (appState.keepAwake) appState.keepAwake->Start();
  } else {
    // Sounds already playing go on.
    StopDetectors();
    toggle->SetCaption(L"Off");
    if (appState.keepAwake) appState.keepAwake->Stop();
  }
  toggle->Invalidate();
}

void OnSlotButton(HWND window, int id) {
  appState.browserSlotId = id;
  ShowScreen(BrowserScreen, true);
  Transition(window, kPushDown);
}

// Takes effect at once, while detection runs too.
void OnSensitivitySelector(HWND, int id) {
  MotionDetector* detectors[3] = {appState.motionX.get(), appState.motionY.get(), appState.motionZ.get()};
  int axis = id - 132;
  ValueSelector* selector = appState.sensitivitySelector[axis];
  if (selector == nullptr || detectors[axis] == nullptr) return;
  detectors[axis]->SetPeakThreshold(MotionDetector::PeakThresholdFor(selector->GetCurrentValue()));
}

void OnVibrationsCheck(HWND, int) {
  if (appState.vibrationsCheck != nullptr) ApplyTouchVibration(appState.vibrationsCheck->IsChecked());
}

void OnPulseToggle(HWND, int) {
  CheckBox* toggle = appState.pulseToggle;
  if (toggle == nullptr) return;
  toggle->SetCaption(toggle->IsChecked() ? L"On" : L"Off");
  toggle->Invalidate();
}

// One row per id range and code; a list row takes four codes.
struct Command {
  int firstId;
  int lastId;
  int code;
  void (*handler)(HWND window, int id);
};

const Command kCommands[] = {
    {17, 17, NotifyClick, OnCloseButton},
    {18, 18, NotifyClick, OnAboutButton},
    {32, 32, NotifyToggled, OnHomeTab},
    {33, 33, NotifyToggled, OnSoundsTab},
    {34, 34, NotifyToggled, OnSettingsTab},
    {54, 54, NotifyClick, OnDonateButton},
    {56, 56, NotifyClick, OnBackButton},
    {65, 65, NotifyClick, OnOkButton},
    {66, 66, NotifyClick, OnCancelButton},
    {80, 84, NotifyPenDown, OnGridButton},
    {89, 89, NotifyToggled, OnMotionToggle},
    {97, 101, NotifyClick, OnSlotButton},
    {102, 105, NotifyPenDown, OnPlayButton},
    {112, 112, NotifyPenDown, OnPlayButton},
    {132, 134, NotifyStepped, OnSensitivitySelector},
    {146, 146, NotifyToggled, OnVibrationsCheck},
    {256, 256, NotifyToggled, OnPulseToggle},
};

const int kSoundListId = 64;

}  // namespace

int SlotOfBrowserId(LONG id) { return id >= 97 && id <= 101 ? static_cast<int>(id) - 96 : 0; }

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  int id = LOWORD(wParam);
  int code = HIWORD(wParam);
  if (id == kSoundListId && code >= NotifyPenDown && code <= NotifyClick) {
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
  if (appState.soundList != nullptr) appState.soundList->GlideStep(window, timerId);
}
