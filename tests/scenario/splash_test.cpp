// The splash screen on the headless bench: what a person sees during start-up,
// how long it stays, and that a run is the same every time.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "png_reader.h"
#include "scenario_support.h"

namespace jptest {
namespace {

// At 192 dpi on a 480 x 640 screen the bar spans x = 60..420, y = 480..496,
// inside a one-pixel grey frame; the status line is centred in y = 520..640.
constexpr int kBarLeft = 60;
constexpr int kBarWidth = 360;
constexpr int kBarMiddleRow = 488;
constexpr uint32_t kTrack = 0x333333;
constexpr uint32_t kFrame = 0x808080;
constexpr uint32_t kFillTop = 0xFED411;

class SplashScenario : public ::testing::Test {
 protected:
  RunResult Run(const std::string& script, const std::string& tag, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"--headless",  "--script", WriteScript(temp_.Path(), tag + ".txt", script),
                                     "--device",    temp_ / ("device-" + tag), "--app-dir", StagedAppDir(),
                                     "--screen",    "480x640", "--dpi", "192", "--trace", temp_ / (tag + ".trace")};
    MakeDirs(temp_ / ("device-" + tag));
    args.insert(args.end(), extra.begin(), extra.end());
    return RunJostlepad(args, temp_.Path());
  }

  PngImage Shot(const std::string& name) {
    PngImage image;
    EXPECT_TRUE(ReadPngRgb(temp_ / name, image)) << name;
    return image;
  }

  TempDir temp_;
};

// Filled pixels of the bar, counted along its middle row up to the track.
int BarLength(const PngImage& shot) {
  int x = kBarLeft;
  while (x < kBarLeft + kBarWidth && shot.At(x, kBarMiddleRow) != kTrack) ++x;
  return x - kBarLeft;
}

std::vector<uint32_t> StatusLine(const PngImage& shot) {
  return std::vector<uint32_t>(shot.pixels.begin() + 520 * shot.width, shot.pixels.end());
}

TEST_F(SplashScenario, StartUpShowsTheElevenStepsInOrderAndHoldsTheSplashUntilTwoSeconds) {
  // The loader announces a step every 10 ms from time 0; a shot 5 ms into each.
  auto shot = [&](const std::string& name) { return "shot " + temp_ / name + "\n"; };
  std::string script = "wait 5\n" + shot("step1.png");
  for (int step = 2; step <= 11; ++step) script += "wait 10\n" + shot("step" + std::to_string(step) + ".png");
  script += "wait 1894\n" + shot("held.png") + "wait 1\n" + shot("after.png");  // 1999 ms, then 2000 ms
  RunResult run = Run(script, "startup");
  ASSERT_EQ(run.status, 0) << run.err;

  std::set<std::vector<uint32_t>> statusLines;
  for (int step = 1; step <= 11; ++step) {
    PngImage shot = Shot("step" + std::to_string(step) + ".png");
    ASSERT_EQ(shot.width, 480);
    ASSERT_EQ(shot.height, 640);
    EXPECT_EQ(BarLength(shot), kBarWidth * (step - 1) * 10 / 100) << "step " << step;
    EXPECT_EQ(shot.At(kBarLeft - 1, kBarMiddleRow), kFrame) << "step " << step;
    if (step > 1) {
      EXPECT_EQ(shot.At(kBarLeft, 480), kFillTop) << "step " << step;
    }
    statusLines.insert(StatusLine(shot));
  }
  // Each step has a status text of its own.
  EXPECT_EQ(statusLines.size(), 11u);

  PngImage held = Shot("held.png");
  EXPECT_EQ(BarLength(held), kBarWidth);
  PngImage after = Shot("after.png");
  EXPECT_NE(after.At(kBarLeft, kBarMiddleRow), held.At(kBarLeft, kBarMiddleRow)) << "splash still shown at 2000 ms";
  EXPECT_NE(after.At(kBarLeft - 1, kBarMiddleRow), kFrame);
}

TEST_F(SplashScenario, ACloseDuringTheSplashEndsTheProgramAtOnce) {
  RunResult run = Run("wait 500\nclose\nwait 5000\n", "close");
  ASSERT_EQ(run.status, 0) << run.err;
  auto trace = ReadTrace(temp_ / "close.trace");
  long exitAt = -1;
  for (const auto& [ms, event] : trace) {
    if (event.rfind("exit", 0) == 0) exitAt = ms;
  }
  ASSERT_GE(exitAt, 500);
  EXPECT_LT(exitAt, 600);
}

TEST_F(SplashScenario, TwoRunsOfOneScriptGiveTheSameShotsTraceAndRecording) {
  const std::string script =
      "wait 37\nshot a.png\ntap 240 320\nwait 2000\nshot b.png\naccel 0 900 -1000\nwait 300\ndeactivate\n"
      "wait 50\nactivate\nwait 20\nshot c.png\n";
  std::vector<std::vector<uint8_t>> outputs[2];
  for (int run = 0; run < 2; ++run) {
    std::string tag = "run" + std::to_string(run);
    MakeDirs(temp_ / tag);
    std::string body = script;
    for (const char* name : {"a.png", "b.png", "c.png"}) {
      body.replace(body.find(name), std::string(name).size(), temp_ / (tag + "/" + name));
    }
    RunResult result = Run(body, tag, {"--audio", "wav:" + temp_ / (tag + "/out.wav")});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* name : {"a.png", "b.png", "c.png", "out.wav"}) outputs[run].push_back(ReadFile(temp_ / (tag + "/" + name)));
    outputs[run].push_back(ReadFile(temp_ / (tag + ".trace")));
  }
  ASSERT_EQ(outputs[0].size(), outputs[1].size());
  for (size_t i = 0; i < outputs[0].size(); ++i) {
    EXPECT_FALSE(outputs[0][i].empty()) << i;
    EXPECT_TRUE(outputs[0][i] == outputs[1][i]) << "output " << i << " differs between runs";
  }
}

}  // namespace
}  // namespace jptest
