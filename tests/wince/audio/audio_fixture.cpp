#include "audio_fixture.h"

namespace jptest {

WAVEFORMATEX Format(WORD tag, WORD channels, DWORD rate, WORD bits) {
  WAVEFORMATEX f{};
  f.wFormatTag = tag;
  f.nChannels = channels;
  f.nSamplesPerSec = rate;
  f.wBitsPerSample = bits;
  f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
  f.nAvgBytesPerSec = rate * f.nBlockAlign;
  return f;
}

std::vector<uint8_t> Frames(int bytes, std::vector<uint32_t> channelCodes, size_t frames) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < frames; ++i)
    for (uint32_t code : channelCodes)
      for (int b = 0; b < bytes; ++b) out.push_back(static_cast<uint8_t>(code >> (8 * b)));
  return out;
}

Buffer::Buffer(std::vector<uint8_t> data) : bytes(std::move(data)) {
  header.lpData = reinterpret_cast<LPSTR>(bytes.data());
  header.dwBufferLength = static_cast<DWORD>(bytes.size());
}

void CALLBACK CallbackLog::Proc(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
  auto* log = reinterpret_cast<CallbackLog*>(instance);
  auto* header = message == WOM_DONE ? reinterpret_cast<WAVEHDR*>(param1) : nullptr;
  std::lock_guard<std::mutex> lock(log->mutex_);
  log->events_.push_back({device, message, header, header ? header->dwFlags : 0, std::this_thread::get_id()});
}

std::vector<CallbackEvent> CallbackLog::Events() {
  wce::AudioFlushCallbacks();
  std::lock_guard<std::mutex> lock(mutex_);
  return events_;
}

std::vector<int16_t> ReadRecording(const std::string& path) {
  std::vector<uint8_t> b = ReadFile(path);
  auto le = [&](size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + i];
    return v;
  };
  std::vector<int16_t> samples;
  EXPECT_GE(b.size(), 44u);
  if (b.size() < 44) return samples;
  auto tag = [&](size_t at, size_t n) { return std::string(b.begin() + at, b.begin() + at + n); };
  EXPECT_EQ(tag(0, 4) + tag(8, 8) + tag(36, 4), "RIFFWAVEfmt data");
  EXPECT_EQ(le(20, 2), 1u);  // PCM
  EXPECT_EQ(le(22, 2), 2u);  // stereo
  EXPECT_EQ(le(32, 2), 4u);  // block align
  EXPECT_EQ(le(34, 2), 16u);
  EXPECT_EQ(le(4, 4), b.size() - 8);
  EXPECT_EQ(le(40, 4), b.size() - 44);
  for (size_t at = 44; at + 1 < b.size(); at += 2) samples.push_back(static_cast<int16_t>(le(at, 2)));
  return samples;
}

size_t FirstOtherThan(const std::vector<int16_t>& r, int16_t value, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i)
    if (r.at(2 * i) != value || r.at(2 * i + 1) != value) return i;
  return to;
}

void RecordingTest::StartRecording(uint32_t rate) {
  ASSERT_FALSE(temp_.Path().empty());
  wce::ClockReset(wce::ClockMode::Virtual);
  // Under the test's hand from time 0: a playing buffer's end is a deadline,
  // and a free clock would run straight to it.
  wce::ClockAdvanceTo(0);
  path_ = temp_ / "mix.wav";
  wce::AudioConfig config;
  config.kind = wce::AudioSinkKind::Recording;
  config.recordingPath = path_;
  config.rate = rate;
  ASSERT_TRUE(wce::AudioStart(config));
}

HWAVEOUT RecordingTest::Open(const WAVEFORMATEX& format) {
  HWAVEOUT device = nullptr;
  EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&CallbackLog::Proc),
                        reinterpret_cast<DWORD_PTR>(&log_), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  return device;
}

void RecordingTest::Play(HWAVEOUT device, Buffer& buffer) {
  ASSERT_EQ(waveOutPrepareHeader(device, &buffer.header, kSize), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutWrite(device, &buffer.header, kSize), MMSYSERR_NOERROR);
}

std::vector<int16_t> RecordingTest::FinishRecording() {
  wce::AudioStop();
  return ReadRecording(path_);
}

}  // namespace jptest
