// The whole road of a jerk on the device: a recorded accelerometer stream,
// the three detectors polled by their 50 ms window timers, WM_MOTION mapped to
// a slot, and the slot's samples in the audio recording from the firing time.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "config/Settings.h"
#include "recording.h"
#include "device/device.h"
#include "sound/MotionDetector.h"
#include "sound/SoundBank.h"
#include "sound/SoundSlots.h"
#include "sound/TiltSensor.h"

namespace jptest {
namespace {

// Two jerks: X positive peaking at 400 ms (fires at the 450 ms poll, code 4),
// then X negative peaking at 850 ms (fires at 900 ms, code 3). Z rests at -900.
const char kStream[] =
    "0     0    0 -900\n"
    "300 150    0 -900\n"
    "350 400    0 -900\n"
    "400 760    0 -900\n"
    "450 720    0 -900\n"
    "500  50    0 -900\n"
    "800 -300   0 -900\n"
    "850 -900   0 -900\n"
    "900 -850   0 -900\n"
    "950   0    0 -900\n";

// Motion code to slot, as the main window maps it.
const int kSlotOfCode[] = {0, 1, 3, 4, 2, 5};

struct Pad {
  SoundSlots* slots = nullptr;
  MotionDetector* detectors[3] = {};
  std::vector<std::pair<DWORD, WPARAM>> motions;  // (device ms, code)
};
Pad* gPad = nullptr;

LRESULT CALLBACK PadProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOTION && wParam >= 1 && wParam <= 5) {
    gPad->motions.emplace_back(GetTickCount(), wParam);
    gPad->slots->Play(kSlotOfCode[wParam]);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void CALLBACK PollProc(HWND, UINT, UINT_PTR id, DWORD) { gPad->detectors[id - 1]->Poll(); }
void CALLBACK QuitProc(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }

class JerkToSoundTest : public RecordingTest {
 protected:
  void SetUp() override {
    auto replay = std::make_shared<wce::ReplaySensorSource>();
    std::string error;
    ASSERT_TRUE(replay->Parse(kStream, error)) << error;
    config_.sensor = replay;
    RecordingTest::SetUp();
  }
};

TEST_F(JerkToSoundTest, ReplayedJerksPlayTheirSlotsFromTheFiringTime) {
  std::vector<int16_t> kick = Ramp(4800, 1);      // 100 ms
  std::vector<int16_t> bell = Ramp(2400, -3000);  // 50 ms
  MakeDirs(temp_ / "app/Sounds/Drums");
  MakeDirs(temp_ / "app/Sounds/Bells");
  WriteSound("Sounds/Drums/Kick.wav", MonoWav(kick));
  WriteSound("Sounds/Bells/Bell.wav", MonoWav(bell));

  // Start-up as the loader does it: sensor, settings, bank, slots, detectors.
  TiltSensor sensor;
  ASSERT_TRUE(sensor.Open(1));
  Settings settings;
  settings.Load();
  SoundBank bank;
  bank.Scan(settings.soundsFolder);
  bank.Sort(SoundBank::PackNameAscending);
  SoundSlots slots;
  ASSERT_TRUE(slots.Assign(2, bank.FindByFileName(L"Kick.wav")));
  ASSERT_TRUE(slots.Assign(4, bank.FindByFileName(L"Bell.wav")));

  WNDCLASSW wc = {};
  wc.lpfnWndProc = PadProc;
  wc.lpszClassName = L"PadClass";
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND hwnd = CreateWindowExW(0, L"PadClass", L"Pad", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, NULL, NULL);
  ASSERT_NE(hwnd, nullptr);

  MotionDetectorX x(hwnd, sensor, WM_MOTION);
  MotionDetectorY y(hwnd, sensor, WM_MOTION);
  MotionDetectorZ z(hwnd, sensor, WM_MOTION);
  Pad pad;
  pad.slots = &slots;
  pad.detectors[0] = &x;
  pad.detectors[1] = &y;
  pad.detectors[2] = &z;
  gPad = &pad;
  LONG sensitivity[3] = {settings.sensitivityX, settings.sensitivityY, settings.sensitivityZ};
  for (int i = 0; i < 3; ++i) {
    pad.detectors[i]->SetStartThreshold(100).SetPeakThreshold(MotionDetector::PeakThresholdFor(sensitivity[i])).SetZGate(-200);
    pad.detectors[i]->Start();
    ASSERT_EQ(SetTimer(hwnd, i + 1, 50, PollProc), static_cast<UINT_PTR>(i + 1));
  }
  SetTimer(hwnd, 9, 1200, QuitProc);

  MSG msg;
  while (GetMessageW(&msg, NULL, 0, 0) > 0) DispatchMessageW(&msg);
  DestroyWindow(hwnd);
  gPad = nullptr;

  std::vector<std::pair<DWORD, WPARAM>> expected = {{450, 4}, {900, 3}};
  EXPECT_EQ(pad.motions, expected);

  std::vector<int16_t> left = FinishRecording();
  ASSERT_GE(left.size(), FrameAt(1200));
  for (size_t f = 0; f < FrameAt(450); ++f) ASSERT_EQ(left[f], 0) << "sound before the jerk at frame " << f;
  for (size_t i = 0; i < kick.size(); ++i) ASSERT_EQ(left[FrameAt(450) + i], kick[i]) << "kick sample " << i;
  for (size_t f = FrameAt(450) + kick.size(); f < FrameAt(900); ++f) ASSERT_EQ(left[f], 0) << "frame " << f;
  for (size_t i = 0; i < bell.size(); ++i) ASSERT_EQ(left[FrameAt(900) + i], bell[i]) << "bell sample " << i;
}

}  // namespace
}  // namespace jptest
