// Real-world WAV files with every kind of quirk: each gives a player that plays
// or stays silent exactly as the fixed 44-byte layout decides, and none crashes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "recording.h"
#include "sound/WavePlayer.h"

namespace jptest {
namespace {

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

// What the header at the fixed offsets asks of the device, whatever the
// chunks really say: PCM 8/16/24/32 or 32-bit float, 1 or 2 channels,
// 8 to 192 kHz, and a block align that matches.
bool FixedHeaderIsPlayable(const std::vector<uint8_t>& file) {
  if (file.size() < 44) return false;
  uint32_t tag = Le(file, 20, 2), channels = Le(file, 22, 2), rate = Le(file, 24, 4);
  uint32_t align = Le(file, 32, 2), bits = Le(file, 34, 2);
  bool pcm = tag == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
  bool ieee = tag == 3 && bits == 32;
  return (pcm || ieee) && channels >= 1 && channels <= 2 && rate >= 8000 && rate <= 192000 &&
         align == channels * bits / 8;
}

class WavCorpusTest : public RecordingTest {};

TEST_F(WavCorpusTest, EveryFilePlaysOrStaysSilentAsItsFixedHeaderSays) {
  std::string corpora = CorporaDir();
  if (corpora.empty() || !std::filesystem::is_directory(corpora + "/wav"))
    GTEST_SKIP() << "WAV corpus not found beside the checkout (../shared/corpora/wav)";

  int files = 0, playable = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(corpora + "/wav")) {
    if (!entry.is_regular_file() || entry.path().extension() != ".wav") continue;
    std::vector<uint8_t> bytes = ReadFile(entry.path().string());
    bool expected = FixedHeaderIsPlayable(bytes);
    {
      WavePlayer player(wce::PosixPathToDevice(entry.path().string()).c_str());
      EXPECT_EQ(player.Play(), expected) << entry.path();
      if (bytes.size() >= 44) {
        EXPECT_EQ(player.FileSize(), bytes.size()) << entry.path();
      }
      Sleep(20);      // let the mixer read the samples
      player.Play();  // and restart while playing
      Sleep(5);
    }  // destroyed mid-sound
    ++files;
    playable += expected ? 1 : 0;
  }
  EXPECT_GE(files, 40) << "the corpus looks incomplete";
  EXPECT_GT(playable, 10);
  EXPECT_LT(playable, files);
  RecordProperty("files", files);
  RecordProperty("playable", playable);
  std::vector<int16_t> left = FinishRecording();
  EXPECT_FALSE(left.empty());
}

}  // namespace
}  // namespace jptest
