// The three axis detectors over a fixed accelerometer reading that the test
// changes before each poll.
#include <windows.h>

#include <memory>
#include <vector>

#include "device_fixture.h"
#include "device/device.h"
#include "sound/MotionDetector.h"
#include "sound/TiltSensor.h"

namespace {

struct Reading {
  int16_t x, y, z;
};
using Codes = std::vector<WPARAM>;

// X readings with a resting, ungated Z.
std::vector<Reading> Xs(std::initializer_list<int16_t> xs, int16_t z = -900) {
  std::vector<Reading> readings;
  for (int16_t x : xs) readings.push_back({x, 0, z});
  return readings;
}

std::vector<Reading> Zs(std::initializer_list<int16_t> zs) {
  std::vector<Reading> readings;
  for (int16_t z : zs) readings.push_back({0, 0, z});
  return readings;
}

class MotionDetectorTest : public jptest::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    wce::SetSensorSource(source_);
    ASSERT_TRUE(sensor_.Open(1));
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"MotionTest";
    ASSERT_NE(RegisterClassW(&wc), 0);
    window_ = CreateWindowExW(0, L"MotionTest", L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_NE(window_, nullptr);
  }

  // One poll per reading; the motion codes posted to the window, in order.
  Codes Feed(MotionDetector& detector, const std::vector<Reading>& readings) {
    for (const Reading& r : readings) {
      source_->Set(r.x, r.y, r.z);
      detector.Poll();
    }
    Codes codes;
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
      EXPECT_EQ(msg.hwnd, window_);
      EXPECT_EQ(msg.message, static_cast<UINT>(WM_MOTION));
      EXPECT_EQ(msg.lParam, 0);
      codes.push_back(msg.wParam);
    }
    return codes;
  }

  std::shared_ptr<wce::FixedSensorSource> source_ = std::make_shared<wce::FixedSensorSource>();
  TiltSensor sensor_;
  HWND window_ = NULL;
};

TEST(MotionDetectorTable, SensitivityGivesPeakThreshold) {
  const SHORT expected[] = {1100, 1000, 900, 800, 700, 600, 500, 400, 300, 200};
  for (LONG s = 1; s <= 10; ++s) EXPECT_EQ(MotionDetector::PeakThresholdFor(s), expected[s - 1]) << s;
  for (LONG s : {0L, 11L, -1L}) EXPECT_EQ(MotionDetector::PeakThresholdFor(s), 800) << s;
}

TEST_F(MotionDetectorTest, Excursions) {
  struct Case {
    const char* what;
    char axis;
    std::vector<Reading> readings;
    Codes posted;
    bool firedAtEnd;
    SHORT startLevel = 100;  // the values start-up applies; sensitivity 5
    SHORT peakThreshold = 700;
  };
  const Case cases[] = {
      {"fires at the first sample past the peak", 'X', Xs({150, 400, 760, 720}), {4}, true},
      {"negative X", 'X', Xs({-150, -400, -760, -720}), {3}, true},
      {"peak must pass the threshold", 'X', Xs({150, 400, 690, 650, 700, 650}), {}, false},
      {"sensitivity 10", 'X', Xs({300, 250}), {4}, true, 100, MotionDetector::PeakThresholdFor(10)},
      {"Z not below the gate: fired, not posted", 'X', Xs({150, 400, 760, 720, 900, 800}, -100), {}, true},
      {"Z exactly at the gate", 'X', Xs({760, 720}, -200), {}, true},
      {"direction of the firing sample, not the peak", 'X', Xs({400, 760, -720}), {3}, true},
      {"a sample equal to the peak is falling", 'X', Xs({760, 760}), {4}, true},
      {"fires again only after the start level", 'X', Xs({760, 720, 1500, 1400, 101, 1200, 800, 100, -760, -720}),
       {4, 3}, true},
      {"full scale is the largest magnitude", 'X', Xs({-32768, -32768}), {3}, true},
      {"zero reading has no direction", 'X', Xs({10, 0, 6, 20, 10}), {}, true, -1, 5},
      {"Y codes; X swings ignored", 'Y',
       {{900, 10, -900}, {900, -400, -900}, {0, -760, -900}, {0, -720, -900}, {0, 50, -900}, {0, 760, -900},
        {0, 720, -900}},
       {1, 2}, true},
      {"Z rests at 1000 and must pass 1000 + threshold", 'Z',
       Zs({-1000, 1000, -1100, -1150, -1700, -1650, -1000, -1701, -1650}), {5}, true},
      {"a positive Z jerk is above the gate", 'Z', Zs({1800, 1750}), {}, true},
      {"Z at full scale", 'Z', Zs({-32768, -32000}), {5}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MotionDetectorX x(window_, sensor_, WM_MOTION);
    MotionDetectorY y(window_, sensor_, WM_MOTION);
    MotionDetectorZ z(window_, sensor_, WM_MOTION);
    MotionDetector& detector = c.axis == 'X' ? static_cast<MotionDetector&>(x)
                               : c.axis == 'Y' ? static_cast<MotionDetector&>(y)
                                               : static_cast<MotionDetector&>(z);
    detector.SetStartThreshold(c.startLevel).SetPeakThreshold(c.peakThreshold).SetZGate(-200);
    detector.Start();
    EXPECT_EQ(Feed(detector, c.readings), c.posted);
    EXPECT_EQ(detector.HasFired(), c.firedAtEnd);
  }
}

TEST_F(MotionDetectorTest, StoppedDetectorsKeepTheirExcursion) {
  MotionDetectorX x(window_, sensor_, WM_MOTION);
  EXPECT_EQ(x.StartThreshold(), 200);
  EXPECT_EQ(x.PeakThreshold(), 750);
  EXPECT_EQ(x.ZGate(), -300);
  x.SetStartThreshold(100).SetPeakThreshold(70000).SetZGate(-200);
  EXPECT_EQ(x.PeakThreshold(), static_cast<SHORT>(70000));  // kept as 16 bits
  x.SetPeakThreshold(700);

  EXPECT_EQ(Feed(x, Xs({760, 720})), Codes{});  // never started
  EXPECT_FALSE(x.IsArmed());
  x.Start();
  EXPECT_EQ(Feed(x, Xs({400, 760})), Codes{});
  x.Stop();
  EXPECT_EQ(Feed(x, Xs({720, 50})), Codes{});
  // Start reads one sample but keeps the excursion where it was.
  source_->Set(-5, 6, -7);
  x.Start();
  EXPECT_EQ(x.LastSample().x, -5);
  EXPECT_EQ(x.LastSample().z, -7);
  EXPECT_TRUE(x.IsArmed());
  EXPECT_EQ(x.Peak(), 760);
  EXPECT_EQ(Feed(x, Xs({720})), Codes{4});
  x.Stop();
  x.Start();
  EXPECT_TRUE(x.HasFired());
  EXPECT_EQ(Feed(x, Xs({900, 800})), Codes{});
}

}  // namespace
