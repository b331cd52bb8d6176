// The soak: minutes of random but reproducible use over every page, after
// which the device holds what it held after a bare start. Sanitizer builds
// run the same test; a report makes the program fail, and so the test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "app_scenario.h"
#include "soak_script.h"

namespace jptest {
namespace {

// The last "resources" line's counts by name; empty when there is none.
std::map<std::string, long> ResourceCounts(const std::vector<std::pair<long, std::string>>& trace) {
  std::map<std::string, long> counts;
  for (const auto& [ms, text] : trace) {
    if (text.rfind("resources ", 0) != 0) continue;
    counts.clear();
    std::istringstream words(text.substr(10));
    for (std::string pair; words >> pair;) {
      size_t eq = pair.find('=');
      if (eq != std::string::npos) counts[pair.substr(0, eq)] = std::atol(pair.c_str() + eq + 1);
    }
  }
  return counts;
}

bool HasLine(const std::string& script, const std::string& start) {
  return script.rfind(start, 0) == 0 || script.find("\n" + start) != std::string::npos;
}

TEST(SoakScript, CoversItsLengthWithEveryKindOfInputAndDependsOnlyOnTheSeed) {
  for (int64_t length : {120'000, 180'000, 3'600'000}) {
    SCOPED_TRACE(length);
    const std::string script = SoakScript({7, length});
    EXPECT_EQ(ScriptLengthMs(script), length);
    for (const char* kind : {"tap ", "drag ", "accel ", "deactivate", "activate", "wait "})
      EXPECT_TRUE(HasLine(script, kind)) << kind;
    EXPECT_EQ(script, SoakScript({7, length}));
    EXPECT_NE(script, SoakScript({8, length}));
  }
  EXPECT_EQ(SoakScript({7, 120'000, false}).find("tap 241 428"), std::string::npos) << "the donation button";
}

class Soak : public AppScenario {
 protected:
  // Five slots filled, and touch vibrations on: every tap on a control pulses.
  void PrepareSoak() {
    TestSettings settings;
    const char* folders[] = {"Pack1", "Pack2", "Pack3", "Pack1", "Pack2"};
    for (int n = 0; n < 5; ++n) {
      settings.slotFolder[n] = folders[n];
      settings.slotName[n] = "Slot" + std::to_string(n + 1) + ".wav";
    }
    settings.vibrationsOn = 1;
    Prepare(FiveSlotPacks(), settings);
  }

  // As Run, with the time a sanitizer build on a busy machine may need.
  RunResult RunLong(const std::string& script) {
    std::vector<std::string> args = {"--headless", "--script", WriteScript(temp_.Path(), "soak.txt", script),
                                     "--device",   temp_ / "device",
                                     "--app-dir",  AppDir(),
                                     "--trace",    TracePath(),
                                     "--audio",    "wav:" + (temp_ / "audio.wav")};
    return RunJostlepad(args, temp_.Path(), 110'000);
  }
};

TEST_F(Soak, MinutesOfUseLeaveTheDeviceAsAfterStartUp) {
  PrepareSoak();
  RunResult bare = Run("accel 0 0 -1000\nwait 8000\n");
  ASSERT_EQ(bare.status, 0) << bare.err;
  const std::map<std::string, long> afterStart = ResourceCounts(Trace());
  ASSERT_FALSE(afterStart.empty()) << "no resources line";

  // A fresh hive, so the soak starts from the same settings.
  PrepareSoak();
  const uint64_t seed = 20261208;
  RunResult soak = RunLong(SoakScript({seed, 3 * 60'000}));
  ASSERT_EQ(soak.status, 0) << "seed " << seed << "\n" << soak.err;
  EXPECT_EQ(soak.err.find("Sanitizer"), std::string::npos) << soak.err;
  std::map<std::string, long> afterSoak = ResourceCounts(Trace());
  ASSERT_FALSE(afterSoak.empty()) << "no resources line";

  // The browser's preview player stays open for the next preview (it is
  // replaced, never closed, until the program ends): one voice more.
  std::map<std::string, long> expected = afterStart;
  expected["wave"] += 1;
  EXPECT_EQ(afterSoak, expected) << "seed " << seed;
}

// Found by the soak: the bench's deactivation is sent to the program and
// waited for, while the program sleeps through a touch pulse in its pen
// handler; the send must let device time run on to the pulse's end.
TEST_F(Soak, ADeactivationDuringATouchPulseWaitsForThePulse) {
  TestSettings settings;
  settings.vibrationsOn = 1;
  Prepare(FiveSlotPacks(), settings);
  RunResult result = Run("wait 2500\n" + Tap(at::kSoundsTab) + "wait 10\ndeactivate\nwait 100\nactivate\nwait 100\n");
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<std::pair<long, std::string>> trace = Trace();
  EXPECT_EQ(FirstEventTime(trace, "vibrate on"), 2500);
  EXPECT_EQ(FirstEventTime(trace, "deactivate"), 2510);
  EXPECT_EQ(FirstEventTime(trace, "fullscreen off"), 2525) << "handled once the 25 ms pulse is over";
}

}  // namespace
}  // namespace jptest
