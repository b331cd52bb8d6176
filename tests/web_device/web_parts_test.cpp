// The browser device's parts that need no browser: the motion conversion,
// the sensor's fallback to keys, the ring the worklet reads, the recording's
// WAV file and the addresses given to a new tab.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "addresses.h"
#include "audio_ring.h"
#include "device/device.h"
#include "motion.h"

namespace {

TEST(WebMotion, BrowserAxesInMetresBecomeDeviceUnits) {
  const double g = 9.80665;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double x, y, z;
    int16_t dx, dy, dz;
  } cases[] = {
      {0, 0, g, 0, 0, -1000},       // lying face up: the device's rest
      {g, 0, 0, 1000, 0, 0},        // X keeps its sign
      {0, g, 0, 0, -1000, 0},       // the browser's y points up the screen
      {g / 2, -g / 4, 2 * g, 500, 250, -2000},
      {0.0049, -0.0049, 0, 0, 0, 0},  // rounds to the nearest unit
      {1e6, -1e6, nan, 32767, 32767, 0},
      {-1e6, 1e6, 0, -32768, -32768, 0},
  };
  for (const Case& c : cases) {
    jpweb::DeviceReading r = jpweb::MotionToDevice(c.x, c.y, c.z);
    EXPECT_EQ(r.x, c.dx) << c.x;
    EXPECT_EQ(r.y, c.dy) << c.y;
    EXPECT_EQ(r.z, c.dz) << c.z;
  }
}

TEST(WebMotion, KeysJerkUntilTheSensorSpeaks) {
  uint64_t now = 0;
  auto keys = std::make_shared<jphost::KeyJerkSource>([&now] { return now; });
  jpweb::SharedMotion shared;
  jpweb::PageMotionSource source(shared, keys);
  int16_t x = 0, y = 0, z = 0;
  keys->Press(jphost::Jerk::Right);
  ASSERT_TRUE(source.Read(x, y, z));
  EXPECT_GT(x, 0);
  EXPECT_EQ(z, jphost::KeyJerkSource::kRestZ);

  shared.x = -7;
  shared.y = 8;
  shared.z = -990;
  shared.count = 1;
  ASSERT_TRUE(source.Read(x, y, z));
  EXPECT_EQ(x, -7);
  EXPECT_EQ(y, 8);
  EXPECT_EQ(z, -990);

  jpweb::SharedMotion silent;
  jpweb::PageMotionSource none(silent, nullptr);
  EXPECT_FALSE(none.Read(x, y, z));
}

TEST(WebAudioRing, KeepsOrderAcrossTheWrapAndRefusesWhatDoesNotFit) {
  jpweb::AudioRing ring(8);
  std::vector<float> in(2 * 6), out(2 * 8);
  float next = 1;
  float expected = 1;
  for (int round = 0; round < 5; ++round) {  // 30 frames through 8 slots
    for (float& v : in) v = next++;
    ASSERT_TRUE(ring.Write(in.data(), 6));
    EXPECT_EQ(ring.Free(), 2u);
    EXPECT_FALSE(ring.Write(in.data(), 3));
    ASSERT_EQ(ring.Read(out.data(), 8), 6u);  // only what is there
    for (int i = 0; i < 12; ++i) EXPECT_EQ(out[i], expected++);
  }
  EXPECT_EQ(ring.Read(out.data(), 1), 0u);
}

TEST(WebRecording, WavHeaderAndSamplesAsTheBenchRecords) {
  std::vector<float> samples = {1.0f, -1.0f, 0.5f, std::nanf(""), 2.0f, -0.25f};
  std::vector<uint8_t> wav = wce::WavOfMix(samples.data(), samples.size() / 2, 48000);
  ASSERT_EQ(wav.size(), 44u + 12u);
  EXPECT_EQ(std::memcmp(wav.data(), "RIFF", 4), 0);
  EXPECT_EQ(std::memcmp(wav.data() + 8, "WAVEfmt ", 8), 0);
  auto u32 = [&](size_t at) { return wav[at] | wav[at + 1] << 8 | wav[at + 2] << 16 | uint32_t(wav[at + 3]) << 24; };
  auto s16 = [&](size_t at) { return static_cast<int16_t>(wav[at] | wav[at + 1] << 8); };
  EXPECT_EQ(u32(4), 36u + 12u);
  EXPECT_EQ(u32(24), 48000u);
  EXPECT_EQ(u32(28), 48000u * 4);
  EXPECT_EQ(u32(40), 12u);
  const int16_t pcm[] = {32767, -32768, 16384, 0, 32767, -8192};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(s16(44 + 2 * i), pcm[i]) << i;
}

TEST(WebAddresses, ASchemeIsAddedOnlyWhereNoneIsGiven) {
  struct Case {
    const char* given;
    const char* opened;
  } cases[] = {
      {"https://example.org/give", "https://example.org/give"},
      {"http://example.org", "http://example.org"},
      {"example.org/give", "https://example.org/give"},
      {"www.example.org:8080/x", "https://www.example.org:8080/x"},
      {"MAILTO:me@example.org", "MAILTO:me@example.org"},
      {"x-custom+1.0://y", "x-custom+1.0://y"},
      {"1http://bad", "https://1http://bad"},
  };
  for (const Case& c : cases) EXPECT_EQ(jpweb::WithScheme(c.given), c.opened);
}

}  // namespace
