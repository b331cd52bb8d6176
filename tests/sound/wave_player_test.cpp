// Players over the recording sink: what is heard, and when.
#include <windows.h>

#include <memory>

#include "recording.h"
#include "sound/WavePlayer.h"
#include "wav_builder.h"

namespace {

using jptest::Constant;
using jptest::FrameAt;
using jptest::MonoWav;
using jptest::Ramp;

// `expected` heard from frame `from` on; reports the first difference only.
void ExpectFrames(const std::vector<int16_t>& heard, size_t from, const std::vector<int16_t>& expected) {
  ASSERT_GE(heard.size(), from + expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    if (heard[from + i] != expected[i]) {
      ADD_FAILURE() << "frame " << from + i << ": heard " << heard[from + i] << ", expected " << expected[i];
      return;
    }
  }
}

void ExpectSilence(const std::vector<int16_t>& heard, size_t from, size_t to) {
  ExpectFrames(heard, from, Constant(to - from, 0));
}

// Bytes from offset 44 on, as the 16-bit samples a mono file plays.
std::vector<int16_t> SamplesFrom44(const std::vector<uint8_t>& file) {
  std::vector<int16_t> samples;
  for (size_t p = 44; p + 1 < file.size(); p += 2) samples.push_back(static_cast<int16_t>(file[p] | (file[p + 1] << 8)));
  return samples;
}

void Put(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Chunk header plus a 16-byte PCM format body: mono, 16 bits, `rate`.
void PutFormatChunk(std::vector<uint8_t>& out, const char* tag, uint32_t size, uint32_t rate) {
  Put(out, tag);
  Put32(out, size);
  Put32(out, 0x00010001);  // PCM, one channel
  Put32(out, rate);
  Put32(out, rate * 2);
  Put32(out, 0x00100002);  // block align 2, 16 bits
}

using WavePlayerTest = jptest::RecordingTest;

TEST_F(WavePlayerTest, EveryPlayStartsFromTheFirstSample) {
  std::vector<int16_t> sound = Ramp(480);  // 10 ms; each frame tells its offset
  WavePlayer player(WriteSound("ramp.wav", MonoWav(sound)).c_str());
  EXPECT_TRUE(player.HasDevice());
  EXPECT_EQ(player.FileSize(), 44u + 480 * 2);
  EXPECT_EQ(player.Format().cbSize, 0);
  EXPECT_TRUE(player.Play());
  wce::ClockAdvanceTo(5);
  EXPECT_TRUE(player.Play());  // cuts itself short and restarts
  wce::ClockAdvanceTo(20);
  EXPECT_TRUE(player.Play());  // after it ran out
  wce::ClockAdvanceTo(25);
  EXPECT_TRUE(player.Stop());
  EXPECT_TRUE(player.Stop());
  wce::ClockAdvanceTo(40);
  std::vector<int16_t> heard = FinishRecording();
  ExpectFrames(heard, 0, Ramp(FrameAt(5)));
  ExpectFrames(heard, FrameAt(5), sound);
  ExpectSilence(heard, FrameAt(15), FrameAt(20));
  ExpectFrames(heard, FrameAt(20), Ramp(FrameAt(5)));
  ExpectSilence(heard, FrameAt(25), FrameAt(40));
}

TEST_F(WavePlayerTest, FileIsReadAtFixedOffsets) {
  // fmt, a LIST chunk, data, then bytes after the samples: everything from
  // offset 44 on is played, the LIST chunk's body first.
  std::vector<uint8_t> file;
  Put(file, "RIFF");
  Put32(file, 0);  // never looked at
  Put(file, "WAVE");
  PutFormatChunk(file, "fmt ", 16, 48000);
  Put(file, "LIST");
  Put32(file, 4);
  Put(file, "abcd");
  Put(file, "data");
  Put32(file, 20);
  std::vector<uint8_t> samples = jptest::Pcm16(Constant(10, 500));
  file.insert(file.end(), samples.begin(), samples.end());
  Put(file, "tail");
  WavePlayer player(WriteSound("chunks.wav", file).c_str());
  EXPECT_TRUE(player.Play());

  // A JUNK chunk before fmt: its body is where the format is read.
  std::vector<uint8_t> junk;
  Put(junk, "RIFF");
  Put32(junk, 0);
  Put(junk, "WAVE");
  PutFormatChunk(junk, "JUNK", 24, 24000);
  Put(junk, "zzzz");
  Put(junk, "zzzz");
  PutFormatChunk(junk, "fmt ", 16, 44100);
  WavePlayer junkFirst(WriteSound("junk.wav", junk).c_str());
  EXPECT_EQ(junkFirst.Format().nSamplesPerSec, 24000u);
  EXPECT_EQ(junkFirst.Format().nAvgBytesPerSec, 48000u);
  EXPECT_EQ(junkFirst.Format().wBitsPerSample, 16);

  wce::ClockAdvanceTo(10);
  std::vector<int16_t> heard = FinishRecording();
  std::vector<int16_t> played = SamplesFrom44(file);
  ASSERT_EQ(played.size(), 2u + 2u + 2u + 10u + 2u);  // "abcd", "data", its size, samples, "tail"
  EXPECT_EQ(played[0], 0x6261);                        // "ab"
  ExpectFrames(heard, 0, played);
  ExpectSilence(heard, played.size(), FrameAt(10));
}

TEST_F(WavePlayerTest, UnusableFilesGiveSilentPlayers) {
  std::vector<uint8_t> full = MonoWav(Ramp(100));
  jptest::WavFormat noChannels;
  noChannels.channels = 0;
  noChannels.blockAlign = 2;
  jptest::WavFormat adpcm;
  adpcm.formatTag = 2;
  WavePlayer missing(L"\\no\\such\\file.wav");
  WavePlayer tooShort(WriteSound("short.wav", std::vector<uint8_t>(full.begin(), full.begin() + 43)).c_str());
  WavePlayer refused(WriteSound("refused.wav", jptest::CanonicalWav(noChannels, jptest::Pcm16(Ramp(100)))).c_str());
  WavePlayer compressed(WriteSound("adpcm.wav", jptest::CanonicalWav(adpcm, jptest::Pcm16(Ramp(100)))).c_str());
  for (WavePlayer* player : {&missing, &tooShort, &refused, &compressed}) {
    EXPECT_FALSE(player->HasDevice());
    EXPECT_FALSE(player->Play());
    EXPECT_FALSE(player->Stop());
  }
  EXPECT_EQ(tooShort.FileSize(), 0u);
  wce::ClockAdvanceTo(10);
  ExpectSilence(FinishRecording(), 0, FrameAt(10));
}

TEST_F(WavePlayerTest, DestroyingAPlayerSilencesItAndFreesEverything) {
  std::wstring path = WriteSound("ramp.wav", MonoWav(Ramp(960)));
  { WavePlayer neverPlayed(path.c_str()); }  // prepared, never queued: the leak check watches it
  auto player = std::make_unique<WavePlayer>(path.c_str());
  EXPECT_TRUE(player->Play());
  wce::ClockAdvanceTo(5);
  player.reset();
  wce::ClockAdvanceTo(30);
  std::vector<int16_t> heard = FinishRecording();
  ExpectFrames(heard, 0, Ramp(FrameAt(5)));
  ExpectSilence(heard, FrameAt(5), FrameAt(30));
}

}  // namespace
