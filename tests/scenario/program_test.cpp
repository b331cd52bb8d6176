// The whole program on the headless bench, as outside tools drive it.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "scenario_support.h"

namespace jptest {
namespace {

const char kSettingsKey[] = "HKEY_LOCAL_MACHINE\\Software\\Marrowfen\\Jostlepad\\Settings";

class ProgramScenario : public ::testing::Test {
 protected:
  void SetUp() override { MakeDirs(DeviceDir()); }
  std::string DeviceDir() const { return temp_ / "device"; }
  std::string Hive() const { return temp_ / "device/registry.reg"; }

  // Headless run on the virtual clock with a script; returns the exit status.
  RunResult Run(const std::string& script, const std::string& trace, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"--headless", "--script", WriteScript(temp_.Path(), "run.txt", script),
                                     "--device", DeviceDir(), "--app-dir", StagedAppDir(), "--trace", trace};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunJostlepad(args, temp_.Path());
  }

  // Headless on the real clock, so the test can look in while it runs.
  pid_t StartReal(const std::string& script, const std::string& trace, const std::string& logDir) {
    return StartJostlepad({"--headless", "--clock", "real", "--script",
                           WriteScript(temp_.Path(), "real-" + std::to_string(++scripts_) + ".txt", script),
                           "--device", DeviceDir(), "--app-dir", StagedAppDir(), "--trace", trace},
                          logDir);
  }

  TempDir temp_;
  int scripts_ = 0;
};

TEST_F(ProgramScenario, CloseSavesTheSeventeenValuesAndTheNextStartReadsThemBack) {
  RunResult first = Run("wait 2500\n", temp_ / "trace1.txt");
  ASSERT_EQ(first.status, 0) << first.err;
  std::map<std::string, std::string> saved = HiveKeyValues(Hive(), kSettingsKey);
  std::map<std::string, std::string> defaults = {
      {"SoundSlot1Folder", "\"\""}, {"SoundSlot2Folder", "\"\""}, {"SoundSlot3Folder", "\"\""},
      {"SoundSlot4Folder", "\"\""}, {"SoundSlot5Folder", "\"\""}, {"SoundSlot1Name", "\"\""},
      {"SoundSlot2Name", "\"\""},   {"SoundSlot3Name", "\"\""},   {"SoundSlot4Name", "\"\""},
      {"SoundSlot5Name", "\"\""},   {"SensitivityX", "dword:00000005"}, {"SensitivityY", "dword:00000005"},
      {"SensitivityZ", "dword:00000005"}, {"XButtonClose", "dword:00000001"}, {"AnimationsOn", "dword:00000001"},
      {"VibrationsOn", "dword:00000000"}, {"PulseVibrationsOn", "dword:00000001"}};
  EXPECT_EQ(saved, defaults);

  // Change what the user would have changed, then start again: the values come back and go out again.
  std::vector<uint8_t> bytes = ReadFile(Hive());
  std::string text(bytes.begin(), bytes.end());
  auto replace = [&](const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  };
  replace("\"SensitivityX\"=dword:00000005", "\"SensitivityX\"=dword:00000009");
  replace("\"SoundSlot2Name\"=\"\"", "\"SoundSlot2Name\"=\"Kick.wav\"");
  replace("\"VibrationsOn\"=dword:00000000", "\"VibrationsOn\"=dword:00000001");
  ASSERT_TRUE(WriteText(Hive(), text));

  RunResult second = Run("wait 2500\n", temp_ / "trace2.txt");
  ASSERT_EQ(second.status, 0) << second.err;
  saved = HiveKeyValues(Hive(), kSettingsKey);
  EXPECT_EQ(saved["SensitivityX"], "dword:00000009");
  EXPECT_EQ(saved["SoundSlot2Name"], "\"Kick.wav\"");
  EXPECT_EQ(saved["VibrationsOn"], "dword:00000001");
  EXPECT_EQ(saved.size(), 17u);
}

TEST_F(ProgramScenario, NothingIsWrittenUntilTheProgramCloses) {
  std::string trace = temp_ / "trace.txt";
  pid_t pid = StartReal("wait 4000\nclose\nwait 500\n", trace, temp_.Path());
  ASSERT_GT(pid, 0);
  KillOnExit guard(pid);
  ASSERT_TRUE(WaitForFileText(trace, "fullscreen on", 20000));
  EXPECT_TRUE(HiveKeyValues(Hive(), kSettingsKey).empty()) << "settings written before close";
  RunResult result = WaitJostlepad(pid, temp_.Path(), 30000);
  guard.Release();
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(HiveKeyValues(Hive(), kSettingsKey).size(), 17u);
}

TEST_F(ProgramScenario, ATermSignalClosesTheProgramAsTheSystemWould) {
  std::string trace = temp_ / "trace.txt";
  pid_t pid = StartReal("wait 60000\n", trace, temp_.Path());
  ASSERT_GT(pid, 0);
  KillOnExit guard(pid);
  ASSERT_TRUE(WaitForFileText(trace, "fullscreen on", 20000));
  // Past the splash period, so the settings have been loaded.
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  kill(pid, SIGTERM);
  RunResult result = WaitJostlepad(pid, temp_.Path(), 30000);
  guard.Release();
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(HiveKeyValues(Hive(), kSettingsKey).size(), 17u);
  EXPECT_TRUE(WaitForFileText(trace, "exit 0", 1000));
}

TEST_F(ProgramScenario, ASecondStartRaisesTheFirstAndEnds) {
  std::string trace = temp_ / "first.txt";
  std::string firstLogs = temp_ / "first";
  MakeDirs(firstLogs);
  pid_t first = StartReal("wait 6000\n", trace, firstLogs);
  ASSERT_GT(first, 0);
  KillOnExit guard(first);
  ASSERT_TRUE(WaitForFileText(trace, "window shown", 20000));

  RunResult second = Run("wait 100\n", temp_ / "second.txt");
  EXPECT_EQ(second.status, 0) << second.err;
  // The second one made no window of its own.
  std::vector<std::pair<long, std::string>> secondTrace = ReadTrace(temp_ / "second.txt");
  EXPECT_EQ(FirstEventTime(secondTrace, "window shown"), -1);
  EXPECT_TRUE(WaitForFileText(trace, "foreground", 10000));

  RunResult firstResult = WaitJostlepad(first, firstLogs, 30000);
  guard.Release();
  EXPECT_EQ(firstResult.status, 0) << firstResult.err;
}

TEST_F(ProgramScenario, ActivationChangesAreTraced) {
  std::string trace = temp_ / "trace.txt";
  RunResult result = Run("wait 2500\ndeactivate\nwait 100\nactivate\nwait 100\n", trace);
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<std::pair<long, std::string>> events = ReadTrace(trace);
  EXPECT_EQ(FirstEventTime(events, "window shown"), 0);
  EXPECT_EQ(FirstEventTime(events, "fullscreen on"), 0);
  EXPECT_EQ(FirstEventTime(events, "deactivate"), 2500);
  EXPECT_EQ(FirstEventTime(events, "fullscreen off"), 2500);
  // After the deactivation, activation takes full screen again.
  bool sawOff = false, onAgain = false;
  for (const auto& [ms, text] : events) {
    if (text == "fullscreen off") sawOff = true;
    if (sawOff && text == "fullscreen on") {
      EXPECT_EQ(ms, 2600);
      onAgain = true;
    }
  }
  EXPECT_TRUE(onAgain);
  EXPECT_EQ(FirstEventTime(events, "exit 0"), 2700);
}

TEST_F(ProgramScenario, AnEmptyScriptClosesTheProgramAtOnce) {
  std::string trace = temp_ / "trace.txt";
  RunResult result = Run("# nothing to do\n", trace);
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<std::pair<long, std::string>> events = ReadTrace(trace);
  EXPECT_EQ(FirstEventTime(events, "window shown"), 0);
  long exitTime = FirstEventTime(events, "exit 0");
  EXPECT_GE(exitTime, 0);
  EXPECT_LT(exitTime, 100);  // the loader stops at its next step
}

TEST_F(ProgramScenario, BadOptionsAndScriptLinesAreNamed) {
  RunResult badOption = RunJostlepad({"--headless", "--bogus"}, temp_.Path());
  EXPECT_EQ(badOption.status, 2);
  EXPECT_NE(badOption.err.find("--bogus"), std::string::npos) << badOption.err;

  RunResult badLine = Run("wait 10\njump 3 4\n", temp_ / "trace.txt");
  EXPECT_EQ(badLine.status, 2);
  EXPECT_NE(badLine.err.find("line 2"), std::string::npos) << badLine.err;
  EXPECT_TRUE(HiveKeyValues(Hive(), kSettingsKey).empty());
}

}  // namespace
}  // namespace jptest
