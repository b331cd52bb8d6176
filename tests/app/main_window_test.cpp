// The main window on the running program: motion messages to slots, the
// detectors' poll timers, activation and deactivation, and painting.
#include <gtest/gtest.h>

#include <windows.h>
#include <regext.h>

#include <memory>

#include "app/AppState.h"
#include "ui/core/CheckBox.h"
#include "app/Motion.h"
#include "program_fixture.h"
#include "device/device.h"

namespace apptest {
namespace {

// Slot n plays a constant 1000 * n.
const wchar_t* const kSlotFiles[] = {L"One.wav", L"Two.wav", L"Three.wav", L"Four.wav", L"Five.wav"};
const char* const kSlotFileNames[] = {"One.wav", "Two.wav", "Three.wav", "Four.wav", "Five.wav"};
const wchar_t* const kSlotNameValues[] = {L"SoundSlot1Name", L"SoundSlot2Name", L"SoundSlot3Name",
                                          L"SoundSlot4Name", L"SoundSlot5Name"};

class MainWindowTest : public ProgramTest {
 protected:
  void SetUp() override {
    RecordAudio();
    sensor_ = std::make_shared<wce::FixedSensorSource>(0, 0, -1000);
    config_.sensor = sensor_;
    ProgramTest::SetUp();
  }

  // Five slots, each `ms` long.
  void FillSlots(size_t ms) {
    for (int n = 1; n <= 5; ++n) {
      WriteSound("Pad", kSlotFileNames[n - 1], Constant(FrameAt(ms), static_cast<int16_t>(1000 * n)));
      SetSetting(kSlotNameValues[n - 1], kSlotFiles[n - 1]);
    }
  }

  // An X jerk whose peak is `peak`, read by the polls at start + 50, + 100, + 150:
  // up, peak, then down (the detector fires on the way down).
  void JerkX(uint64_t start, int16_t peak) {
    wce::ClockAdvanceTo(start + 40);
    sensor_->Set(static_cast<int16_t>(peak / 2), 0, -1000);
    wce::ClockAdvanceTo(start + 90);
    sensor_->Set(peak, 0, -1000);
    wce::ClockAdvanceTo(start + 140);
    sensor_->Set(static_cast<int16_t>(peak * 4 / 5), 0, -1000);
    wce::ClockAdvanceTo(start + 190);
    sensor_->Set(0, 0, -1000);
  }

  std::shared_ptr<wce::FixedSensorSource> sensor_;
};

TEST_F(MainWindowTest, EachMotionCodePlaysItsSlotAndOtherCodesPlayNothing) {
  FillSlots(100);
  StartProgram();
  wce::ClockAdvanceTo(2000);
  // Y negative: top; Y positive: bottom; X negative: left; X positive: right; Z: centre.
  const struct {
    WPARAM code;
    int slot;
  } kCases[] = {{1, 1}, {2, 3}, {3, 4}, {4, 2}, {5, 5}};
  uint64_t at = 2100;
  for (const auto& c : kCases) {
    wce::ClockAdvanceTo(at);
    PostMessageW(appState.mainWindow, WM_MOTION, c.code, 0);
    at += 200;
  }
  wce::ClockAdvanceTo(at);
  PostMessageW(appState.mainWindow, WM_MOTION, 0, 0);
  PostMessageW(appState.mainWindow, WM_MOTION, 6, 0);
  wce::ClockAdvanceTo(at + 300);
  EXPECT_EQ(CloseProgram(), 0);

  std::vector<int16_t> heard = FinishRecording();
  at = 2100;
  for (const auto& c : kCases) {
    EXPECT_TRUE(FramesAre(heard, FrameAt(at - 100), FrameAt(at), 0)) << "before code " << c.code;
    EXPECT_TRUE(FramesAre(heard, FrameAt(at), FrameAt(at + 100), static_cast<int16_t>(1000 * c.slot)))
        << "code " << c.code;
    at += 200;
  }
  EXPECT_TRUE(FramesAre(heard, FrameAt(at), FrameAt(at + 300), 0)) << "codes 0 and 6";
}

TEST_F(MainWindowTest, DetectorsPollOnTheirTimersWithTheAppliedLevels) {
  FillSlots(100);
  SetDwordSetting(L"SensitivityX", 10);  // a peak above 200 is enough
  StartProgram();
  wce::ClockAdvanceTo(2000);
  StartMotion();
  // Peak 300: under the detectors' own level of 750, over the applied one.
  JerkX(2000, 300);
  wce::ClockAdvanceTo(2400);
  EXPECT_EQ(CloseProgram(), 0);

  std::vector<int16_t> heard = FinishRecording();
  // Fired at the 2150 poll, X positive: the right cell, slot 2.
  EXPECT_TRUE(FramesAre(heard, FrameAt(2000), FrameAt(2150), 0));
  EXPECT_TRUE(FramesAre(heard, FrameAt(2150), FrameAt(2250), 2000));
  EXPECT_TRUE(FramesAre(heard, FrameAt(2250), FrameAt(2400), 0));
}

TEST_F(MainWindowTest, DeactivationStopsSoundMotionAndKeepAwakeAndRestoresTheDisplay) {
  FillSlots(2000);
  // The shortest power timeout is 1 s: the keep-awake timer ticks every 900 ms.
  ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, L"\\System\\CurrentControlSet\\Control\\Power",
                             L"ScreenPowerOff", 1),
            S_OK);
  // The user holds the phone turned.
  DEVMODEW turned = {};
  turned.dmSize = sizeof(turned);
  turned.dmFields = DM_DISPLAYORIENTATION;
  turned.dmDisplayOrientation = DMDO_90;
  ASSERT_EQ(ChangeDisplaySettingsEx(NULL, &turned, NULL, CDS_RESET, NULL), DISP_CHANGE_SUCCESSFUL);

  StartProgram();
  wce::ClockAdvanceTo(1000);
  wce::InjectActivate(true);
  wce::ClockAdvanceTo(2000);
  EXPECT_TRUE(Traced("fullscreen on"));
  EXPECT_TRUE(Traced("orientation 0"));
  // Motion on, as the Home page's check box does it.
  StartMotion();
  appState.keepAwake->Start();
  wce::ClockAdvanceTo(2100);
  PostMessageW(appState.mainWindow, WM_MOTION, 1, 0);
  wce::ClockAdvanceTo(3000);
  wce::InjectActivate(false);
  wce::ClockSettle();
  EXPECT_EQ(TimesOf("fullscreen off"), std::vector<uint64_t>{3000});
  EXPECT_EQ(TimesOf("orientation 1").back(), 3000u);
  EXPECT_FALSE(appState.motionX->IsStarted());
  EXPECT_FALSE(appState.keepAwake->IsRunning());
  // A jerk now reaches no detector.
  JerkX(3000, 900);
  wce::ClockAdvanceTo(4000);
  EXPECT_EQ(CloseProgram(), 0);

  EXPECT_EQ(TimesOf("idle-reset"), std::vector<uint64_t>{2900});
  std::vector<int16_t> heard = FinishRecording();
  EXPECT_TRUE(FramesAre(heard, FrameAt(2100), FrameAt(3000), 1000));
  EXPECT_TRUE(FramesAre(heard, FrameAt(3000), FrameAt(4000), 0));
}

TEST_F(MainWindowTest, UnrotatedDisplayIsOnlyQueriedAndAMinimizedActivationCountsAsLeaving) {
  StartProgram();
  wce::ClockAdvanceTo(2000);
  wce::InjectActivate(true);
  wce::ClockSettle();
  ASSERT_TRUE(Traced("fullscreen on"));
  size_t offs = TimesOf("fullscreen off").size();
  // Active, but minimised (high word set): the whole parameter is compared.
  SendMessageW(appState.mainWindow, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 1), 0);
  wce::ClockSettle();
  EXPECT_EQ(TimesOf("fullscreen off").size(), offs + 1);
  EXPECT_EQ(CloseProgram(), 0);
  EXPECT_EQ(Events("orientation"), std::vector<std::string>{});
}

TEST_F(MainWindowTest, PaintingCoversTheWholeScreenWhenActive) {
  StartProgram();
  wce::ClockAdvanceTo(2000);
  wce::InjectActivate(true);
  wce::ClockAdvanceTo(2100);
  RECT window = {};
  ASSERT_TRUE(GetWindowRect(appState.mainWindow, &window));
  wce::ScreenSize size = wce::GetScreenSize();
  EXPECT_EQ(window.left, 0);
  EXPECT_EQ(window.top, 0);
  EXPECT_EQ(window.right, size.width);
  EXPECT_EQ(window.bottom, size.height);
  wce::ScreenImage shot = wce::CaptureScreen();
  ASSERT_EQ(shot.width, size.width);
  ASSERT_EQ(shot.height, size.height);
  // Without a skin only the captions of the two Home check boxes draw.
  RECT captions[2];
  appState.motionToggle->GetRect(&captions[0]);
  appState.pulseToggle->GetRect(&captions[1]);
  size_t notBlack = 0;
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      POINT point = {x, y};
      if (PtInRect(&captions[0], point) || PtInRect(&captions[1], point)) continue;
      notBlack += shot.pixels[static_cast<size_t>(y) * shot.width + x] != 0;
    }
  }
  EXPECT_EQ(notBlack, 0u);
  EXPECT_EQ(CloseProgram(), 0);
}

}  // namespace
}  // namespace apptest
