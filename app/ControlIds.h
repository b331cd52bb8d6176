// Every id the main window hands out: its controls (panels and pages among
// them) and its timers. A control's id is what WM_COMMAND carries, so the
// command table, the layout and the page changes all go by these names.
#pragma once

#include <windows.h>

enum ControlId {
  RootPanelId = 1,
  MainPanelId = 5,
  TopBarPictureId = 16,
  CloseButtonId = 17,
  AboutButtonId = 18,
  TabPanelId = 19,
  AboutPageId = 20,
  BrowserPageId = 21,
  BottomBarPictureId = 22,
  HomeTabId = 32,
  SoundsTabId = 33,
  SettingsTabId = 34,
  HomePageId = 35,
  SoundsPageId = 36,
  SettingsPageId = 37,
  TitleLabelId = 48,
  PlatformLabelId = 49,
  VersionLabelId = 50,
  LogoPictureId = 51,
  WebLabelId = 52,
  MailLabelId = 53,
  DonateButtonId = 54,
  NoticeLabelId = 55,
  BackButtonId = 56,
  SoundListId = 64,
  OkButtonId = 65,
  CancelButtonId = 66,
  FirstGridButtonId = 80,  // slot n is FirstGridButtonId + n - 1
  LastGridButtonId = 84,
  FirstGridCornerId = 85,  // top left, top right, bottom left, bottom right
  MotionCheckId = 89,
  SoundsPagePictureId = 96,
  FirstSlotButtonId = 97,  // slot n is FirstSlotButtonId + n - 1
  LastSlotButtonId = 101,
  FirstPlayButtonId = 102,  // slots 1 to 4; slot 5's button is LastPlayButtonId
  FourthPlayButtonId = 105,
  LastPlayButtonId = 112,
  SensitivityLabelId = 128,
  FirstAxisLabelId = 129,            // X, Y, Z
  FirstSensitivitySelectorId = 132,  // X, Y, Z
  LastSensitivitySelectorId = 134,
  XButtonLabelId = 135,
  XButtonCheckId = 136,
  AnimationsLabelId = 137,
  AnimationsCheckId = 144,
  VibrationsLabelId = 145,
  VibrationsCheckId = 146,
  PulseCheckId = 256,
};

// Slot n's play button at [n - 1]: the fifth came later and got an id of its own.
const int kPlayButtonIds[5] = {FirstPlayButtonId, FirstPlayButtonId + 1, FirstPlayButtonId + 2, FourthPlayButtonId,
                               LastPlayButtonId};

// The main window's timers.
enum TimerId {
  MotionXTimerId = 1,
  MotionYTimerId = 2,
  MotionZTimerId = 3,
  GlideTimerId = 4,
  TransitionTimerId = 5,
  KeepAwakeTimerId = 6,
};
