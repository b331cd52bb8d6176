// The runner's order and timing of actions, against a recorder standing in
// for the device.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "script.h"
#include "script_runner.h"

namespace jphost {
namespace {

// Writes down each action with the device time the runner had driven to.
class Recorder : public ScriptTarget {
 public:
  void AdvanceTo(uint64_t ms) override {
    EXPECT_GE(ms, now) << "time went back";
    now = ms;
  }
  void Settle() override { ++settles; }
  void Pen(wce::PenAction action, int x, int y) override {
    static const char* const kNames[] = {"down", "move", "up"};
    Log(std::string(kNames[static_cast<int>(action)]) + " " + std::to_string(x) + " " + std::to_string(y));
  }
  void Key(uint32_t vk, bool down) override { Log("key " + std::to_string(vk) + (down ? " down" : " up")); }
  void Activate(bool active) override { Log(active ? "activate" : "deactivate"); }
  void Close() override {
    Log("close");
    if (endOnClose) ended = true;
  }
  void Accel(int16_t x, int16_t y, int16_t z) override {
    Log("accel " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(z));
  }
  bool Shot(const std::string& path, std::string& error) override {
    Log("shot " + path);
    error = "cannot write " + path;
    return false;
  }
  bool ProgramEnded() override { return ended; }

  void Log(const std::string& what) { actions.push_back(std::to_string(now) + " " + what); }

  uint64_t now = 0;
  int settles = 0;
  bool ended = false;
  bool endOnClose = false;
  std::vector<std::string> actions;
};

std::vector<ScriptStep> Steps(const std::string& text) {
  std::vector<ScriptStep> steps;
  std::string error;
  EXPECT_TRUE(ParseScript(text, "t", {}, steps, error)) << error;
  return steps;
}

using Actions = std::vector<std::string>;

TEST(ScriptRunner, WaitsAddUpAndActionsHappenAtTheirMoment) {
  Recorder r;
  std::ostringstream log;
  ScriptOutcome outcome =
      RunScript(Steps("wait 100\ntap 5 6\nwait 50\nkey a\naccel 1 2 3\nactivate\ndeactivate\nclose\nwait 0\n"), r, log);
  EXPECT_FALSE(outcome.programEnded);
  EXPECT_EQ(r.actions, (Actions{"100 down 5 6", "100 up 5 6", "150 key 65 down", "150 key 65 up", "150 accel 1 2 3",
                                "150 activate", "150 deactivate", "150 close"}));
  EXPECT_EQ(r.now, 150u);
  // Each injection is followed by the program catching up, before the next one.
  EXPECT_EQ(r.settles, 8);
  EXPECT_TRUE(log.str().empty()) << log.str();
}

TEST(ScriptRunner, DragSpreadsItsMovesOverTheTime) {
  Recorder r;
  std::ostringstream log;
  RunScript(Steps("wait 10\ndrag 0 0 100 50 64\n"), r, log);
  EXPECT_EQ(r.actions, (Actions{"10 down 0 0", "26 move 25 12", "42 move 50 25", "58 move 75 37", "74 move 100 50",
                                "74 up 100 50"}));
  EXPECT_EQ(r.now, 74u);
}

TEST(ScriptRunner, AnInstantDragStillMovesToItsEnd) {
  Recorder r;
  std::ostringstream log;
  RunScript(Steps("drag 5 5 9 9 0\nwait 1\n"), r, log);
  EXPECT_EQ(r.actions, (Actions{"0 down 5 5", "0 move 9 9", "0 up 9 9"}));
  EXPECT_EQ(r.now, 1u);
}

TEST(ScriptRunner, StopsWhenTheProgramHasEnded) {
  Recorder r;
  r.endOnClose = true;
  std::ostringstream log;
  ScriptOutcome outcome = RunScript(Steps("wait 20\nclose\nwait 100\ntap 1 1\n"), r, log);
  EXPECT_TRUE(outcome.programEnded);
  EXPECT_EQ(outcome.nextLine, 3);
  EXPECT_EQ(r.actions, (Actions{"20 close"}));
  EXPECT_EQ(r.now, 20u);
  EXPECT_NE(log.str().find("before script line 3"), std::string::npos) << log.str();
}

TEST(ScriptRunner, ALastLineThatEndsTheProgramIsNoSurprise) {
  Recorder r;
  r.endOnClose = true;
  std::ostringstream log;
  EXPECT_FALSE(RunScript(Steps("close\n"), r, log).programEnded);
  EXPECT_TRUE(log.str().empty());
}

TEST(ScriptRunner, AFailedShotIsReportedAndTheScriptGoesOn) {
  Recorder r;
  std::ostringstream log;
  RunScript(Steps("wait 5\nshot nowhere/x.png\ntap 1 2\n"), r, log);
  EXPECT_EQ(r.actions, (Actions{"5 shot nowhere/x.png", "5 down 1 2", "5 up 1 2"}));
  EXPECT_NE(log.str().find("line 2: cannot write nowhere/x.png"), std::string::npos) << log.str();
}

}  // namespace
}  // namespace jphost
