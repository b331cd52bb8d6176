// The one process-wide record of the shell: handles, the subsystem objects and
// the controls. Every user tests a field for null before use.
#pragma once

#include <windows.h>

#include <memory>

#include "app/KeepAwakeTimer.h"
#include "config/Settings.h"
#include "config/Skin.h"
#include "sound/MotionDetector.h"
#include "sound/SoundBank.h"
#include "sound/SoundSlots.h"
#include "sound/TiltSensor.h"
#include "sound/WavePlayer.h"
#include "splash/ResourceImages.h"
#include "splash/SplashScreen.h"
#include "ui/composite/ControlPanel.h"
#include "ui/composite/ScreenTransition.h"

// The control classes; a user of a control field includes its header.
class PictureBox;
class ImageButton;
class TwoLineButton;
class CheckBox;
class TextLabel;
class ValueSelector;
class ScrollList;

// The controls, one field each, all made by the screen layout. Null until
// the loader builds the tree, and for good when one could not be made.
struct ScreenControls {
  ControlPanel* rootPanel;
  ControlPanel* mainPanel;
  PictureBox* topBarPicture;
  ImageButton* closeButton;
  ImageButton* aboutButton;
  ControlPanel* tabPanel;
  ControlPanel* aboutPage;
  ControlPanel* browserPage;
  PictureBox* bottomBarPicture;
  CheckBox* homeTab;
  CheckBox* soundsTab;
  CheckBox* settingsTab;
  ControlPanel* homePage;
  ControlPanel* soundsPage;
  ControlPanel* settingsPage;
  TextLabel* titleLabel;
  TextLabel* platformLabel;
  TextLabel* versionLabel;
  PictureBox* logoPicture;
  TextLabel* webLabel;
  TextLabel* mailLabel;
  ImageButton* donateButton;
  TextLabel* noticeLabel;
  ImageButton* backButton;
  ScrollList* soundList;
  ImageButton* okButton;
  ImageButton* cancelButton;
  ImageButton* gridButton[5];  // slot n at [n - 1]
  PictureBox* gridCorner[4];
  CheckBox* motionToggle;
  CheckBox* pulseToggle;
  PictureBox* soundsPagePicture;
  TwoLineButton* slotButton[5];  // slot n at [n - 1]
  ImageButton* playButton[5];    // slot n at [n - 1]
  TextLabel* sensitivityLabel;
  TextLabel* axisLabel[3];              // X, Y, Z
  ValueSelector* sensitivitySelector[3];  // X, Y, Z
  TextLabel* xButtonLabel;
  CheckBox* xButtonCheck;
  TextLabel* animationsLabel;
  CheckBox* animationsCheck;
  TextLabel* vibrationsLabel;
  CheckBox* vibrationsCheck;
};

struct AppState : ScreenControls {
  HINSTANCE hInstance;
  HWND mainWindow;
  // 1 from window creation until the loader's last step: only the splash
  // paints. Two threads meet here: read and write it with IsLoading/SetLoading.
  LONG loading;
  LONG browserSlotId;

  HDC backDC;
  HBITMAP backBitmap;
  HDC fromDC;
  HBITMAP fromBitmap;
  HDC toDC;
  HBITMAP toBitmap;

  std::unique_ptr<ResourceImages> resources;
  std::unique_ptr<Settings> settings;
  std::unique_ptr<Skin> skin;
  std::unique_ptr<SplashScreen> splash;
  std::unique_ptr<TiltSensor> tiltSensor;
  std::unique_ptr<KeepAwakeTimer> keepAwake;
  std::unique_ptr<SoundBank> soundBank;
  std::unique_ptr<SoundSlots> soundSlots;
  std::unique_ptr<MotionDetector> motionX;
  std::unique_ptr<MotionDetector> motionY;
  std::unique_ptr<MotionDetector> motionZ;
  std::unique_ptr<WavePlayer> previewPlayer;
  std::unique_ptr<ScreenTransition> transition;

  // Set by the loader once the controls show the settings. Until then a close
  // saves the record as it was loaded: the controls may exist but hold nothing.
  bool settingsApplied;
  // Set by WM_DESTROY: a loader still running stops at its next step.
  bool windowDestroyed;
  // Kept so that the entry can let the loader finish before the process ends.
  HANDLE loaderThread;
  // A manual-reset event WM_DESTROY sets: the loader cuts its splash hold short.
  HANDLE loaderStop;
};

extern AppState appState;

bool IsLoading();
void SetLoading(LONG value);

// The loader thread writes the object fields while the UI thread already
// runs. It holds the loader lock (a CRITICAL_SECTION, recursive) for each
// step's work; the UI thread holds a LoadingLock around what it does with
// those objects while loading. Waits (Sleep, a vibration) stay outside it, so
// neither thread sits out a pause behind the other.
void InitializeLoaderLock();
void EnterLoaderLock();
void LeaveLoaderLock();

// Holds the loader lock while the loader may still be writing; after loading
// it holds nothing, so the UI thread is free to wait inside its handlers.
class LoadingLock {
 public:
  LoadingLock();
  ~LoadingLock();

 private:
  LoadingLock(const LoadingLock&) = delete;
  LoadingLock& operator=(const LoadingLock&) = delete;

  bool held;
};

// The display orientation saved when the window was activated; -1 before.
extern LONG savedOrientation;
// The splash screen is blended opaque.
constexpr BYTE kSplashAlpha = 255;
