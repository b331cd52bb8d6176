// What the recording holds: sounds placed at their device time, at unity gain,
// summed, clipped, converted from every layout and resampled to the output rate.
#include <bit>

#include "audio_fixture.h"

namespace jptest {
namespace {

using MixTest = RecordingTest;

uint32_t F(float v) { return std::bit_cast<uint32_t>(v); }

TEST_F(MixTest, ASoundStartsAtTheFrameOfItsDeviceTimeWithItsExactValue) {
  HWAVEOUT device = Open(Pcm16());
  auto buffer = MakeBuffer(Mono16(-1234, 4800));
  wce::ClockAdvanceTo(100);
  Play(device, *buffer);
  wce::ClockAdvanceTo(300);

  std::vector<int16_t> r = FinishRecording();
  ASSERT_EQ(r.size(), 2u * 14400);
  EXPECT_EQ(FirstOtherThan(r, 0, 0, 4800), 4800u);
  EXPECT_EQ(FirstOtherThan(r, -1234, 4800, 9600), 9600u);
  EXPECT_EQ(FirstOtherThan(r, 0, 9600, 14400), 14400u);
}

TEST_F(MixTest, VoicesSumAtUnityGainAndClipAtFullScale) {
  HWAVEOUT a = Open(Pcm16());
  HWAVEOUT b = Open(Pcm16(2));
  HWAVEOUT c = Open(Pcm16(2));
  auto mono = MakeBuffer(Mono16(1000, 9600));                          // 0..200 ms
  auto stereo = MakeBuffer(Frames(2, {uint16_t(-300), 500}, 9600));   // 100..300 ms
  auto loud = MakeBuffer(Frames(2, {30000, uint16_t(-30000)}, 4800));  // 400..500 ms, twice
  auto loud2 = MakeBuffer(loud->bytes);
  Play(a, *mono);
  wce::ClockAdvanceTo(100);
  Play(b, *stereo);
  wce::ClockAdvanceTo(400);
  Play(b, *loud);
  Play(c, *loud2);
  wce::ClockAdvanceTo(500);

  std::vector<int16_t> r = FinishRecording();
  ASSERT_EQ(r.size(), 2u * 24000);
  auto frame = [&](size_t i) { return std::pair<int, int>(r[2 * i], r[2 * i + 1]); };
  EXPECT_EQ(FirstOtherThan(r, 1000, 0, 4800), 4800u);
  EXPECT_EQ(frame(4800), std::pair(700, 1500));
  EXPECT_EQ(frame(9599), std::pair(700, 1500));
  EXPECT_EQ(frame(9600), std::pair(-300, 500));
  EXPECT_EQ(frame(14399), std::pair(-300, 500));
  EXPECT_EQ(FirstOtherThan(r, 0, 14400, 19200), 19200u);
  EXPECT_EQ(frame(19200), std::pair(32767, -32768));
  EXPECT_EQ(frame(23999), std::pair(32767, -32768));
}

TEST_F(MixTest, EveryLayoutLandsAtItsLevelAndLength) {
  struct Case {
    const char* what;
    WAVEFORMATEX format;
    std::vector<uint8_t> bytes;  // 100 ms of sound
    int left, right, tolerance;  // in the recording
  };
  const Case cases[] = {
      {"8-bit", Format(WAVE_FORMAT_PCM, 2, 48000, 8), Frames(1, {192, 0}, 4800), 16384, -32768, 0},
      {"16-bit", Pcm16(2), Frames(2, {1000, uint16_t(-2000)}, 4800), 1000, -2000, 0},
      {"24-bit", Format(WAVE_FORMAT_PCM, 2, 48000, 24), Frames(3, {0x123456, 0xE00000}, 4800), 4660, -8192, 1},
      {"32-bit", Format(WAVE_FORMAT_PCM, 1, 48000, 32), Frames(4, {0x40000000}, 4800), 16384, 16384, 0},
      {"float", Format(WAVE_FORMAT_IEEE_FLOAT, 2, 48000, 32), Frames(4, {F(0.25f), F(-0.5f)}, 4800), 8192, -16384, 0},
      {"float past full scale", Format(WAVE_FORMAT_IEEE_FLOAT, 1, 48000, 32), Frames(4, {F(3.0f)}, 4800), 32767,
       32767, 0},
      {"44.1 kHz", Pcm16(1, 44100), Mono16(3000, 4410), 3000, 3000, 1},
      {"22.05 kHz float", Format(WAVE_FORMAT_IEEE_FLOAT, 1, 22050, 32), Frames(4, {F(-0.125f)}, 2205), -4096, -4096, 1},
      {"8 kHz 8-bit", Format(WAVE_FORMAT_PCM, 1, 8000, 8), Frames(1, {64}, 800), -16384, -16384, 1},
      {"192 kHz 24-bit", Format(WAVE_FORMAT_PCM, 2, 192000, 24), Frames(3, {0x100000, 0x080000}, 19200), 4096, 2048, 1},
  };
  // one case every 200 ms: 100 ms of sound, then 100 ms of silence
  std::vector<std::unique_ptr<Buffer>> buffers;
  uint64_t t = 0;
  for (const Case& c : cases) {
    HWAVEOUT device = Open(c.format);
    buffers.push_back(MakeBuffer(c.bytes));
    wce::ClockAdvanceTo(t);
    Play(device, *buffers.back());
    t += 200;
  }
  wce::ClockAdvanceTo(t);

  std::vector<int16_t> r = FinishRecording();
  ASSERT_EQ(r.size(), 2 * t * 48);
  for (size_t n = 0; n < std::size(cases); ++n) {
    const Case& c = cases[n];
    SCOPED_TRACE(c.what);
    const size_t start = n * 9600;
    size_t length = 0;
    while (length < 9600 && (r[2 * (start + length)] != 0 || r[2 * (start + length) + 1] != 0)) ++length;
    EXPECT_NEAR(double(length), 4800.0, 1.0);
    for (size_t i = start; i < start + 4799; ++i) {
      ASSERT_NEAR(r[2 * i], c.left, c.tolerance) << "frame " << i - start;
      ASSERT_NEAR(r[2 * i + 1], c.right, c.tolerance) << "frame " << i - start;
    }
  }
}

TEST_F(MixTest, ResamplingInterpolatesBetweenSourceFrames) {
  // a ramp at half the output rate: every other output frame lies halfway
  HWAVEOUT device = Open(Pcm16(1, 24000));
  std::vector<uint32_t> ramp;
  for (uint32_t i = 0; i < 100; ++i) ramp.push_back(100 * i);
  std::vector<uint8_t> bytes;
  for (uint32_t v : ramp) bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v >> 8)});
  auto buffer = MakeBuffer(bytes);
  Play(device, *buffer);
  wce::ClockAdvanceTo(10);

  std::vector<int16_t> r = FinishRecording();
  for (int k = 0; k < 99; ++k) {
    ASSERT_EQ(r[4 * k], 100 * k) << k;
    ASSERT_EQ(r[4 * k + 2], 100 * k + 50) << k;
  }
  EXPECT_EQ(FirstOtherThan(r, 9900, 198, 200), 200u);  // the last frame is held, not faded
  EXPECT_EQ(FirstOtherThan(r, 0, 200, 480), 480u);
}

TEST_F(MixTest, QueuedBuffersPlayBackToBack) {
  HWAVEOUT same = Open(Pcm16(2));
  auto a = MakeBuffer(Frames(2, {1000, 1000}, 100));
  std::vector<uint8_t> odd = Frames(2, {2000, 2000}, 100);
  odd.insert(odd.end(), {0x11, 0x22, 0x33});  // a partial frame at the end is not played
  auto b = MakeBuffer(odd);
  HWAVEOUT resampled = Open(Pcm16(1, 44100));
  auto c = MakeBuffer(Mono16(1000, 441));
  auto d = MakeBuffer(Mono16(1000, 441));
  wce::ClockAdvanceTo(10);
  Play(same, *a);
  Play(same, *b);
  wce::ClockAdvanceTo(20);
  Play(resampled, *c);
  Play(resampled, *d);
  wce::ClockAdvanceTo(60);

  std::vector<int16_t> r = FinishRecording();
  EXPECT_EQ(FirstOtherThan(r, 1000, 480, 580), 580u);
  EXPECT_EQ(FirstOtherThan(r, 2000, 580, 680), 680u);
  EXPECT_EQ(FirstOtherThan(r, 0, 680, 960), 960u);
  EXPECT_EQ(FirstOtherThan(r, 1000, 960, 1920), 1920u);  // no gap where they join
  EXPECT_EQ(FirstOtherThan(r, 0, 1920, 2880), 2880u);
}

TEST_F(MixTest, ResetSilencesTheVoiceAtThatDeviceTime) {
  HWAVEOUT device = Open(Pcm16());
  auto buffer = MakeBuffer(Mono16(5000, 48000));
  Play(device, *buffer);
  wce::ClockAdvanceTo(250);
  ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
  wce::ClockAdvanceTo(400);
  ASSERT_EQ(waveOutWrite(device, &buffer->header, kSize), MMSYSERR_NOERROR);  // again from the start
  wce::ClockAdvanceTo(450);

  std::vector<int16_t> r = FinishRecording();
  ASSERT_EQ(r.size(), 2u * 21600);
  EXPECT_EQ(FirstOtherThan(r, 5000, 0, 12000), 12000u);
  EXPECT_EQ(FirstOtherThan(r, 0, 12000, 19200), 19200u);
  EXPECT_EQ(FirstOtherThan(r, 5000, 19200, 21600), 21600u);
}

TEST_F(MixTest, TheRecordingIsAValidWavWhileItGrowsAndAtItsOwnRate) {
  wce::ClockAdvanceTo(30);
  EXPECT_EQ(ReadRecording(path_).size(), 2u * 1440);
  wce::ClockAdvanceTo(1000);
  EXPECT_EQ(ReadRecording(path_).size(), 2u * 48000);

  wce::AudioStop();
  StartRecording(44100);
  HWAVEOUT device = Open(Pcm16(1, 44100));
  auto buffer = MakeBuffer(Mono16(-77, 441));
  wce::ClockAdvanceTo(100);
  Play(device, *buffer);
  wce::ClockAdvanceTo(200);
  std::vector<int16_t> r = FinishRecording();
  std::vector<uint8_t> bytes = ReadFile(path_);
  EXPECT_EQ(bytes.at(24) | bytes.at(25) << 8 | bytes.at(26) << 16, 44100);
  ASSERT_EQ(r.size(), 2u * 8820);
  EXPECT_EQ(FirstOtherThan(r, 0, 0, 4410), 4410u);
  EXPECT_EQ(FirstOtherThan(r, -77, 4410, 4851), 4851u);
  EXPECT_EQ(FirstOtherThan(r, 0, 4851, 8820), 8820u);
}

}  // namespace
}  // namespace jptest
