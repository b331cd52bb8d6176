// The recording on the real clock starts, plays and stops; only what needs
// no real time to pass is looked at.
#include "audio_fixture.h"

namespace jptest {
namespace {

void StartPlayCutStop(const wce::AudioConfig& config) {
  ASSERT_TRUE(wce::AudioStart(config));
  EXPECT_EQ(waveOutGetNumDevs(), 1u);
  const WAVEFORMATEX f = Pcm16(1, 44100);
  HWAVEOUT device = nullptr;
  ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  Buffer buffer(Mono16(100, 44100));
  ASSERT_EQ(waveOutPrepareHeader(device, &buffer.header, kSize), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutWrite(device, &buffer.header, kSize), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
  EXPECT_EQ(buffer.header.dwFlags, DWORD(WHDR_PREPARED | WHDR_DONE));
  EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
  wce::AudioStop();
  EXPECT_EQ(waveOutGetNumDevs(), 0u);
}

TEST(SinkTest, RecordingOnTheRealClockFinishesItsFile) {
  TempDir temp;
  wce::ClockReset(wce::ClockMode::Real);
  wce::AudioConfig config;
  config.kind = wce::AudioSinkKind::Recording;
  config.recordingPath = temp / "real.wav";
  StartPlayCutStop(config);
  ReadRecording(config.recordingPath);  // checks the header against the length
  wce::ClockReset(wce::ClockMode::Virtual);
}

}  // namespace
}  // namespace jptest
