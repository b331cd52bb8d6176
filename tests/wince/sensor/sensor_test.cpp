// HTCSensorSDK.dll's entries as the program calls them, and the sources behind
// them: fixed readings and recordings replayed on the device clock.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

#include "device/device.h"
#include "device/internal.h"
#include "test_files.h"
#include "windows.h"

namespace {

using OpenFn = HANDLE (*)(DWORD);
using ReadFn = DWORD (*)(HANDLE, void*);
using CloseFn = void (*)(HANDLE);

template <class Fn>
Fn Entry(HMODULE module, const wchar_t* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddressW(module, name)));
}

int16_t At(const uint8_t* sample, size_t offset) {
  int16_t value;
  std::memcpy(&value, sample + offset, sizeof value);
  return value;
}

class SensorLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    wce::internal::KernelReset();
    wce::internal::SensorReset();
    wce::ClockReset(wce::ClockMode::Virtual);
    wce::SetSensorSource(fixed_);
    module_ = LoadLibraryW(L"HTCSensorSDK.dll");
    ASSERT_NE(module_, nullptr);
    open_ = Entry<OpenFn>(module_, L"HTCSensorOpen");
    read_ = Entry<ReadFn>(module_, L"HTCSensorGetDataOutput");
    close_ = Entry<CloseFn>(module_, L"HTCSensorClose");
    ASSERT_TRUE(open_ && read_ && close_);
  }
  void TearDown() override {
    wce::SetSensorSource(nullptr);
    wce::internal::KernelReset();
  }

  // Reads into a 20-byte record pre-filled with junk.
  DWORD Read(HANDLE sensor, uint8_t (&sample)[20]) {
    std::memset(sample, 0xAA, sizeof sample);
    return read_(sensor, sample);
  }

  std::shared_ptr<wce::FixedSensorSource> fixed_ = std::make_shared<wce::FixedSensorSource>();
  HMODULE module_ = nullptr;
  OpenFn open_ = nullptr;
  ReadFn read_ = nullptr;
  CloseFn close_ = nullptr;
};

TEST_F(SensorLibrary, SampleHoldsXYZAtTheirOffsetsAndZerosAfter) {
  HANDLE sensor = open_(1);
  ASSERT_NE(sensor, nullptr);
  fixed_->Set(-300, 1000, -32768);
  uint8_t sample[20];
  EXPECT_EQ(Read(sensor, sample), 1u);
  EXPECT_EQ(At(sample, 0), -300);
  EXPECT_EQ(At(sample, 2), 1000);
  EXPECT_EQ(At(sample, 4), -32768);
  EXPECT_EQ(sample[0], 0xD4);  // -300 little-endian, as on the phone
  EXPECT_EQ(sample[1], 0xFE);
  for (size_t i = 6; i < 20; ++i) EXPECT_EQ(sample[i], 0) << i;
  fixed_->Set(5, 6, 7);
  EXPECT_EQ(Read(sensor, sample), 1u);
  EXPECT_EQ(At(sample, 0), 5);
  EXPECT_EQ(At(sample, 4), 7);
  close_(sensor);
}

TEST_F(SensorLibrary, BadClosedOrSourcelessReadsGiveZeroSamples) {
  fixed_->Set(100, 200, 300);
  HANDLE sensor = open_(1);
  uint8_t sample[20];
  const uint8_t zeros[20] = {};
  EXPECT_EQ(Read(nullptr, sample), 0u);
  EXPECT_EQ(std::memcmp(sample, zeros, 20), 0);
  EXPECT_EQ(Read(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x77)), sample), 0u);
  EXPECT_EQ(std::memcmp(sample, zeros, 20), 0);
  EXPECT_EQ(read_(sensor, nullptr), 0u);

  wce::SetSensorSource(nullptr);  // the library was loaded; the source went away
  EXPECT_EQ(Read(sensor, sample), 0u);
  EXPECT_EQ(std::memcmp(sample, zeros, 20), 0);

  wce::SetSensorSource(fixed_);
  close_(sensor);
  close_(sensor);  // twice: harmless
  close_(nullptr);
  EXPECT_EQ(Read(sensor, sample), 0u);
  EXPECT_EQ(std::memcmp(sample, zeros, 20), 0);

  HANDLE other = open_(1);
  EXPECT_NE(other, sensor);  // a closed handle is not handed out again
  wce::internal::SensorReset();
  EXPECT_EQ(Read(other, sample), 0u);
}

TEST_F(SensorLibrary, ASourceWithoutAReadingGivesRest) {
  struct Silent : wce::SensorSource {
    bool Read(int16_t& x, int16_t& y, int16_t& z) override {
      x = y = z = 99;  // whatever it leaves behind must not show
      return false;
    }
  };
  wce::SetSensorSource(std::make_shared<Silent>());
  HANDLE sensor = open_(1);
  uint8_t sample[20];
  Read(sensor, sample);
  const uint8_t zeros[20] = {};
  EXPECT_EQ(std::memcmp(sample, zeros, 20), 0);
}

TEST_F(SensorLibrary, ReplayFollowsTheDeviceClock) {
  auto replay = std::make_shared<wce::ReplaySensorSource>();
  std::string error;
  ASSERT_TRUE(replay->Parse("# recorded on a desk\n"
                            "100 10 20 1000\n"
                            "\n"
                            "250   -400 0 980   # a jerk\r\n"
                            "250 -500 0 970\n"
                            "400 0 0 1000",
                            error))
      << error;
  wce::SetSensorSource(replay);
  HANDLE sensor = open_(1);
  uint8_t sample[20];
  auto expectAt = [&](uint64_t ms, int16_t x, int16_t z) {
    wce::ClockAdvanceTo(ms);
    ASSERT_EQ(wce::ClockNowMs(), ms);
    Read(sensor, sample);
    EXPECT_EQ(At(sample, 0), x) << "at " << ms;
    EXPECT_EQ(At(sample, 4), z) << "at " << ms;
  };
  expectAt(0, 0, 0);  // before the first line: rest
  expectAt(99, 0, 0);
  expectAt(100, 10, 1000);
  expectAt(249, 10, 1000);
  expectAt(250, -500, 970);  // two lines at one time: the later one
  expectAt(399, -500, 970);
  expectAt(400, 0, 1000);
  expectAt(100000, 0, 1000);
}

TEST(FixedSensorSource, ReadsNeverMixTwoSettings) {
  wce::FixedSensorSource source;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int16_t i = 1; i < 20000; ++i) source.Set(i, static_cast<int16_t>(-i), static_cast<int16_t>(2 * (i % 1000)));
    done = true;
  });
  int16_t x = 0, y = 0, z = 0;
  bool mixed = false;
  while (!done && !mixed) {
    source.Read(x, y, z);
    mixed = x != -y || z != 2 * (x % 1000);
  }
  writer.join();
  EXPECT_FALSE(mixed) << x << " " << y << " " << z;
  source.Read(x, y, z);
  EXPECT_EQ(x, 19999);
}

TEST(ReplaySensorSource, RefusesMalformedRecordingsNamingTheLine) {
  struct Case {
    const char* text;
    const char* lineTag;
  } cases[] = {
      {"0 1 2 3\n10 1 2\n", "line 2:"},
      {"# header\n\n5 x 2 3\n", "line 3:"},
      {"0 1 2 3\n10 32768 0 0\n", "line 2:"},
      {"0 1 -32769 0\n", "line 1:"},
      {"0 1 2 99999999999999999999999\n", "line 1:"},
      {"-5 1 2 3\n", "line 1:"},
      {"0 1 2 3\n200 1 2 3\n150 1 2 3\n", "line 3:"},
      {"0 1 2 3z\n", "line 1:"},
  };
  for (const Case& c : cases) {
    wce::ReplaySensorSource replay;
    std::string error;
    EXPECT_FALSE(replay.Parse(c.text, error)) << c.text;
    EXPECT_EQ(error.rfind(c.lineTag, 0), 0u) << c.text << " -> " << error;
  }
}

TEST(ReplaySensorSource, LoadsTheInt16RangeAndKeepsOldReadingsOnFailure) {
  wce::ClockReset(wce::ClockMode::Virtual);
  jptest::TempDir dir;
  ASSERT_TRUE(jptest::WriteText(dir / "tilt.txt", "0 -32768 32767 0\n"));
  wce::ReplaySensorSource replay;
  std::string error;
  ASSERT_TRUE(replay.Load(dir / "tilt.txt", error)) << error;
  EXPECT_FALSE(replay.Parse("0 1 2\n", error));
  EXPECT_FALSE(replay.Load(dir / "missing.txt", error));
  EXPECT_NE(error.find("missing.txt"), std::string::npos);
  int16_t x = 0, y = 0, z = 1;
  ASSERT_TRUE(replay.Read(x, y, z));
  EXPECT_EQ(x, -32768);
  EXPECT_EQ(y, 32767);
  EXPECT_EQ(z, 0);
}

}  // namespace
