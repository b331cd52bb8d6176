// A key press jerks the phone once: the program's own motion detectors,
// polling every 50 ms, fire exactly once for it at every sensitivity and
// whatever the phase of their polls.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "device_fixture.h"
#include "key_jerk_source.h"
#include "sound/MotionDetector.h"
#include "sound/TiltSensor.h"

namespace jphost {
namespace {

class KeyJerkTest : public jptest::DeviceTest {
 protected:
  void SetUp() override {
    config_.sensor = keys_;
    DeviceTest::SetUp();
    ASSERT_TRUE(sensor_.Open(1));
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"JerkTest";
    ASSERT_NE(RegisterClassW(&wc), 0);
    window_ = CreateWindowExW(0, L"JerkTest", L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_NE(window_, nullptr);
  }

  // The three detectors as the program sets them up for one sensitivity.
  void StartDetectors(LONG sensitivity) {
    detectors_.clear();
    detectors_.push_back(std::make_unique<MotionDetectorX>(window_, sensor_, WM_MOTION));
    detectors_.push_back(std::make_unique<MotionDetectorY>(window_, sensor_, WM_MOTION));
    detectors_.push_back(std::make_unique<MotionDetectorZ>(window_, sensor_, WM_MOTION));
    for (auto& d : detectors_) {
      d->SetStartThreshold(100).SetPeakThreshold(MotionDetector::PeakThresholdFor(sensitivity)).SetZGate(-200);
      d->Start();
    }
  }

  // Polls all three at each of `times`; the motion codes posted, in order.
  std::vector<WPARAM> PollAt(const std::vector<uint64_t>& times) {
    for (uint64_t t : times) {
      now_ = t;
      for (auto& d : detectors_) d->Poll();
    }
    std::vector<WPARAM> codes;
    MSG msg;
    while (PeekMessageW(&msg, window_, WM_MOTION, WM_MOTION, PM_REMOVE)) codes.push_back(msg.wParam);
    return codes;
  }

  static std::vector<uint64_t> Every(uint64_t first, uint64_t step, uint64_t until) {
    std::vector<uint64_t> times;
    for (uint64_t t = first; t < until; t += step) times.push_back(t);
    return times;
  }

  uint64_t now_ = 0;
  std::shared_ptr<KeyJerkSource> keys_ = std::make_shared<KeyJerkSource>([this] { return now_; });
  TiltSensor sensor_;
  HWND window_ = NULL;
  std::vector<std::unique_ptr<MotionDetector>> detectors_;
};

struct KeyCode {
  Jerk jerk;
  WPARAM code;  // what the detectors post: the slot's motion code
};
const KeyCode kKeys[] = {{Jerk::Left, 3}, {Jerk::Right, 4}, {Jerk::Up, 1}, {Jerk::Down, 2}, {Jerk::Space, 5}};

TEST_F(KeyJerkTest, EveryKeyFiresOnceAtEverySensitivityAndPhase) {
  uint64_t base = 0;  // each case a few seconds after the last
  for (LONG sensitivity = 1; sensitivity <= 10; ++sensitivity) {
    for (const KeyCode& key : kKeys) {
      for (uint64_t phase : {0, 1, 17, 25, 49}) {
        base += 5000;
        StartDetectors(sensitivity);
        now_ = base + 1000;
        keys_->Press(key.jerk);
        EXPECT_EQ(PollAt(Every(base + 500 + phase, 50, base + 2000)), std::vector<WPARAM>{key.code})
            << "sensitivity " << sensitivity << ", phase " << phase << ", code " << key.code;
      }
    }
  }
}

TEST_F(KeyJerkTest, LateAndEarlyPollsStillFireOnce) {
  // A busy desktop: polls 30 to 90 ms apart instead of 50.
  const uint64_t gaps[] = {90, 30, 85, 40, 90, 90, 35, 60, 90, 45};
  for (uint64_t shift = 0; shift < 90; shift += 7) {
    const uint64_t base = shift * 1000;
    StartDetectors(1);
    now_ = base + 1000;
    keys_->Press(Jerk::Right);
    std::vector<uint64_t> times;
    uint64_t t = base + 900 + shift;
    for (int i = 0; t < base + 1600; ++i) {
      times.push_back(t);
      t += gaps[i % 10];
    }
    EXPECT_EQ(PollAt(times), std::vector<WPARAM>{4}) << "shift " << shift;
  }
}

TEST_F(KeyJerkTest, QuickPressesQueueAndEachFires) {
  StartDetectors(5);
  now_ = 1000;
  keys_->Press(Jerk::Right);
  now_ = 1010;
  keys_->Press(Jerk::Left);
  keys_->Press(Jerk::Right);
  now_ = 1020;
  keys_->Press(Jerk::Down);  // another axis goes at once
  EXPECT_EQ(PollAt(Every(1025, 50, 2500)), (std::vector<WPARAM>{4, 2, 3, 4}));
}

TEST_F(KeyJerkTest, AKeyPressedAsAnExcursionEndsWaitsForTheAxisToRest) {
  StartDetectors(5);
  now_ = 1000;
  keys_->Press(Jerk::Up);
  std::vector<WPARAM> codes = PollAt(Every(1025, 50, 1250));  // the last poll sees the fall
  now_ = 1250;  // pressed again the moment the first excursion is over
  keys_->Press(Jerk::Up);
  std::vector<WPARAM> more = PollAt(Every(1275, 50, 2000));
  codes.insert(codes.end(), more.begin(), more.end());
  EXPECT_EQ(codes, (std::vector<WPARAM>{1, 1}));
}

TEST_F(KeyJerkTest, HeldDownKeysDoNotQueueForever) {
  now_ = 0;
  for (int i = 0; i < 100; ++i) keys_->Press(Jerk::Right);
  int16_t x, y, z;
  now_ = 7 * KeyJerkSource::kSpacingMs + 75;  // the eighth
  keys_->Read(x, y, z);
  EXPECT_EQ(x, 1200);
  now_ = 8 * KeyJerkSource::kSpacingMs + 75;  // where a ninth would be
  keys_->Read(x, y, z);
  EXPECT_EQ(x, 0);
}

}  // namespace
}  // namespace jphost
