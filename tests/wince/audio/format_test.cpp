// Which formats a wave-out device takes, and how waveOutOpen refuses the rest.
#include "audio_fixture.h"

namespace jptest {
namespace {

using OpenTest = RecordingTest;

MMRESULT Query(const WAVEFORMATEX& f) { return waveOutOpen(nullptr, WAVE_MAPPER, &f, 0, 0, WAVE_FORMAT_QUERY); }

TEST_F(OpenTest, EveryLayoutWePlayIsAccepted) {
  const std::pair<WORD, WORD> encodings[] = {{WAVE_FORMAT_PCM, 8},  {WAVE_FORMAT_PCM, 16},
                                             {WAVE_FORMAT_PCM, 24}, {WAVE_FORMAT_PCM, 32},
                                             {WAVE_FORMAT_IEEE_FLOAT, 32}};
  for (auto [tag, bits] : encodings) {
    for (WORD channels : {1, 2}) {
      for (DWORD rate : {8000u, 44100u, 192000u}) {
        SCOPED_TRACE(testing::Message() << tag << "/" << bits << " bits/" << channels << " ch/" << rate);
        WAVEFORMATEX f = Format(tag, channels, rate, bits);
        f.nAvgBytesPerSec = 12345;  // neither the byte rate
        f.cbSize = 99;              // nor the extra size of a plain format is looked at
        EXPECT_EQ(Query(f), MMSYSERR_NOERROR);
        HWAVEOUT device = nullptr;
        ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
        EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
      }
    }
  }
}

TEST_F(OpenTest, InconsistentOrUnplayableFormatsAreRefused) {
  auto with = [](auto change) {
    WAVEFORMATEX f = Pcm16(2);
    change(f);
    return f;
  };
  const std::pair<const char*, WAVEFORMATEX> rows[] = {
      {"0 channels", with([](auto& f) { f.nChannels = 0; })},
      {"3 channels", Format(WAVE_FORMAT_PCM, 3, 48000, 16)},
      {"0 rate", with([](auto& f) { f.nSamplesPerSec = 0; })},
      {"7999 Hz", with([](auto& f) { f.nSamplesPerSec = 7999; })},
      {"192001 Hz", with([](auto& f) { f.nSamplesPerSec = 192001; })},
      {"block align of mono", with([](auto& f) { f.nBlockAlign = 2; })},
      {"block align padded", with([](auto& f) { f.nBlockAlign = 8; })},
      {"12 bits", Format(WAVE_FORMAT_PCM, 1, 48000, 12)},
      {"64-bit PCM", Format(WAVE_FORMAT_PCM, 1, 48000, 64)},
      {"16-bit float", Format(WAVE_FORMAT_IEEE_FLOAT, 1, 48000, 16)},
      {"ADPCM tag 2", Format(2, 1, 48000, 16)},
      {"mu-law tag 7", Format(7, 1, 8000, 8)},
      {"extensible tag", Format(0xFFFE, 2, 48000, 16)},
      {"tag 0", Format(0, 2, 48000, 16)},
  };
  for (const auto& [what, format] : rows) {
    SCOPED_TRACE(what);
    EXPECT_EQ(Query(format), WAVERR_BADFORMAT);
    HWAVEOUT device = reinterpret_cast<HWAVEOUT>(uintptr_t(0x10));
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    EXPECT_EQ(device, nullptr);
  }
}

TEST_F(OpenTest, ArgumentsAndFlagsAreChecked) {
  const WAVEFORMATEX f = Pcm16();
  HWAVEOUT device = nullptr;
  EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, nullptr, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
  EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
  EXPECT_EQ(waveOutOpen(&device, 1, &f, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_WINDOW), MMSYSERR_NOTSUPPORTED);
  EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_EVENT), MMSYSERR_NOTSUPPORTED);
  EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, 0x00040000), MMSYSERR_INVALFLAG);
  EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_FUNCTION | 0x100), MMSYSERR_INVALFLAG);
  EXPECT_EQ(device, nullptr);
  // device 0 is the one device; a null function is simply not called
  ASSERT_EQ(waveOutOpen(&device, 0, &f, 0, 0, CALLBACK_FUNCTION), MMSYSERR_NOERROR);
  auto buffer = MakeBuffer(Mono16(5, 10));
  Play(device, *buffer);
  wce::ClockAdvanceTo(10);
  EXPECT_EQ(buffer->header.dwFlags, DWORD(WHDR_DONE | WHDR_PREPARED));
  EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

TEST(NoSinkTest, WithoutARunningSinkThereIsNoDevice) {
  TempDir temp;
  wce::AudioConfig none, unwritable, badRate;
  unwritable.kind = badRate.kind = wce::AudioSinkKind::Recording;
  unwritable.recordingPath = temp / "missing-folder/x.wav";
  badRate.recordingPath = temp / "x.wav";
  badRate.rate = 4000;
  for (const wce::AudioConfig* config : {&none, &unwritable, &badRate}) {
    EXPECT_EQ(wce::AudioStart(*config), config == &none);
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    const WAVEFORMATEX f = Pcm16();
    HWAVEOUT device = nullptr;
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveOutOpen(&device, 0, &f, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(device, nullptr);
  }
}

}  // namespace
}  // namespace jptest
