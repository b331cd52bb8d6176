#include "app_scenario.h"

#include <algorithm>
#include <cstdio>

#include "wav_builder.h"

namespace jptest {

const char kSettingsKeyName[] = "HKEY_LOCAL_MACHINE\\Software\\Marrowfen\\Jostlepad\\Settings";

std::string Tap(const int (&point)[2]) {
  return "tap " + std::to_string(point[0]) + " " + std::to_string(point[1]) + "\n";
}

std::pair<int, int> GridCell(int slot) {
  static const std::pair<int, int> cells[] = {{160, 52}, {320, 212}, {160, 372}, {0, 212}, {160, 212}};
  return cells[slot - 1];
}

AppScenario::AppScenario() { MakeDirs(temp_ / "device"); }

void AppScenario::Prepare(const std::vector<TestPack>& packs, const TestSettings& settings) {
  ASSERT_TRUE(WriteTestAppDir(AppDir(), packs));
  ASSERT_TRUE(WriteText(Hive(), TestHive(settings)));
}

void AppScenario::PrepareDefault() {
  TestSettings settings;
  const char* folders[] = {"Pack1", "Pack2", "Pack3", "Pack1", "Pack2"};
  for (int n = 0; n < 5; ++n) {
    settings.slotFolder[n] = folders[n];
    settings.slotName[n] = "Slot" + std::to_string(n + 1) + ".wav";
  }
  Prepare(FiveSlotPacks(), settings);
}

RunResult AppScenario::Run(const std::string& script, const std::vector<std::string>& extra) {
  std::vector<std::string> args = {"--headless", "--script", WriteScript(temp_.Path(), "run.txt", script),
                                   "--device",   temp_ / "device",
                                   "--app-dir",  AppDir(),
                                   "--trace",    TracePath(),
                                   "--audio",    "wav:" + (temp_ / "audio.wav")};
  args.insert(args.end(), extra.begin(), extra.end());
  return RunJostlepad(args, temp_.Path());
}

PngImage AppScenario::Shot(const std::string& name) const {
  PngImage image;
  EXPECT_TRUE(ReadPngRgb(ShotPath(name), image)) << name;
  return image;
}

std::vector<int16_t> AppScenario::Recording() const { return LeftChannel(ReadFile(temp_ / "audio.wav")); }

std::vector<int16_t> ValuesBetween(const std::vector<int16_t>& recording, long fromMs, long toMs) {
  std::vector<int16_t> values;
  size_t end = std::min(recording.size(), FrameAtMs(toMs));
  for (size_t i = FrameAtMs(fromMs); i < end; ++i) {
    if (recording[i] == 0) continue;
    if (values.empty() || values.back() != recording[i]) values.push_back(recording[i]);
  }
  return values;
}

std::vector<long> EventTimes(const std::vector<std::pair<long, std::string>>& trace, const std::string& event) {
  std::vector<long> times;
  for (const auto& [ms, text] : trace)
    if (text == event) times.push_back(ms);
  return times;
}

::testing::AssertionResult ShowsColour(const PngImage& shot, int x, int y, uint32_t rgb) {
  if (x < 0 || y < 0 || x >= shot.width || y >= shot.height)
    return ::testing::AssertionFailure() << "(" << x << ", " << y << ") is off the " << shot.width << " x "
                                         << shot.height << " shot";
  uint32_t seen = shot.At(x, y);
  if (seen == rgb) return ::testing::AssertionSuccess();
  char text[96];
  std::snprintf(text, sizeof text, "(%d, %d) shows %06X, not %06X", x, y, seen, rgb);
  return ::testing::AssertionFailure() << text;
}

::testing::AssertionResult ShowsPicture(const PngImage& shot, int x, int y, const std::string& stem) {
  ::testing::AssertionResult result = ShowsColour(shot, x, y, SkinColour(stem));
  if (!result) result << " (" << stem << ")";
  return result;
}

}  // namespace jptest
