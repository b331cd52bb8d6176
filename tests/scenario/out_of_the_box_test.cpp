// The program as it is installed: the staged folder with the default skin and
// sound packs, a new device. The five slots start empty; a user fills them in
// the sound browser, then every slot sounds when jerked and when tapped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app_scenario.h"

namespace jptest {
namespace {

// A script and the device time its lines have reached.
struct Timeline {
  std::string text;
  long ms = 0;

  void Line(const std::string& line) { text += line + "\n"; }
  void Tap(int x, int y) { Line("tap " + std::to_string(x) + " " + std::to_string(y)); }
  void Wait(long wait) {
    Line("wait " + std::to_string(wait));
    ms += wait;
  }
};

struct SlotTrigger {
  int slot;
  const char* accel;  // a reading that jerks the axis and direction of the slot
};

// Slot 1 top (Y negative), 2 right (X positive), 3 bottom (Y positive), 4 left (X negative), 5 centre (Z).
const SlotTrigger kSlots[] = {
    {1, "0 -900 -1000"}, {2, "900 0 -1000"}, {3, "0 900 -1000"}, {4, "-900 0 -1000"}, {5, "0 0 -2000"}};

// Long enough for the longest shipped sound to end before the next trigger.
constexpr long kGap = 2000;

class OutOfTheBox : public AppScenario {
 protected:
  RunResult RunStaged(const std::string& script) {
    return RunJostlepad({"--headless", "--script", WriteScript(temp_.Path(), "run.txt", script), "--device",
                         temp_ / "device", "--app-dir", StagedAppDir(), "--trace", TracePath(), "--audio",
                         "wav:" + (temp_ / "audio.wav")},
                        temp_.Path());
  }
};

int PeakBetween(const std::vector<int16_t>& recording, long fromMs, long toMs) {
  int peak = 0;
  size_t end = std::min(recording.size(), FrameAtMs(toMs));
  for (size_t i = FrameAtMs(fromMs); i < end; ++i) peak = std::max(peak, std::abs(int(recording[i])));
  return peak;
}

TEST_F(OutOfTheBox, EmptySlotsFilledInTheBrowserEachSoundByAJerkAndByATap) {
  Timeline s;
  s.Line("accel 0 0 -1000");
  s.Wait(2500);
  // A first start has nothing in its slots: the grid is silent.
  long emptyFrom = s.ms;
  for (const SlotTrigger& t : kSlots) {
    auto [x, y] = GridCell(t.slot);
    s.Tap(x + 80, y + 80);
    s.Wait(100);
  }
  long emptyTo = s.ms;

  // Fill slot n with row n - 1 of the browser, as a user would.
  s.Tap(at::kSoundsTab[0], at::kSoundsTab[1]);
  s.Wait(400);
  for (const SlotTrigger& t : kSlots) {
    s.Tap(200, SoundsRowTop(t.slot) + 48);
    s.Wait(400);
    s.Tap(240, ListRowTop(t.slot - 1) + 40);
    s.Wait(100);
    s.Tap(at::kOk[0], at::kOk[1]);
    s.Wait(400);
  }
  s.Tap(at::kHomeTab[0], at::kHomeTab[1]);
  s.Wait(400);
  s.Tap(at::kMotion[0], at::kMotion[1]);
  s.Wait(kGap);  // the last preview dies away

  std::vector<std::pair<std::string, long>> triggers;
  for (const SlotTrigger& t : kSlots) {
    triggers.emplace_back("jerk for slot " + std::to_string(t.slot), s.ms);
    s.Line(std::string("accel ") + t.accel);
    s.Wait(150);
    s.Line("accel 0 0 -1000");
    s.Wait(kGap - 150);
  }
  for (const SlotTrigger& t : kSlots) {
    auto [x, y] = GridCell(t.slot);
    triggers.emplace_back("tap on slot " + std::to_string(t.slot), s.ms);
    s.Tap(x + 80, y + 80);
    s.Wait(kGap);
  }
  s.Line("close");

  RunResult result = RunStaged(s.text);
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<int16_t> recording = Recording();
  ASSERT_GE(recording.size(), FrameAtMs(s.ms - kGap));
  EXPECT_EQ(PeakBetween(recording, emptyFrom, emptyTo), 0) << "an empty slot sounded";

  for (const auto& [what, ms] : triggers) {
    SCOPED_TRACE(what);
    EXPECT_EQ(PeakBetween(recording, ms - 300, ms), 0) << "not silent before the trigger";
    // A jerk is found on the second poll; a tap plays on the pen going down.
    EXPECT_GT(PeakBetween(recording, ms, ms + 400), 3000) << "no sound after the trigger";
  }
  EXPECT_EQ(EventTimes(Trace(), "vibrate on").size(), std::size(kSlots)) << "one pulse a jerk, none a tap";

  // The choices are kept: five different sounds, saved by name.
  std::map<std::string, std::string> saved = SavedSettings();
  std::vector<std::string> names;
  for (int n = 1; n <= 5; ++n) {
    std::string name = saved["SoundSlot" + std::to_string(n) + "Name"];
    EXPECT_NE(name, "\"\"") << "slot " << n;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::unique(names.begin(), names.end()), names.end()) << "two slots hold the same sound";
}

}  // namespace
}  // namespace jptest
