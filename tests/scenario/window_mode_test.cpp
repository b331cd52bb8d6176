// The sound box in a real X window (under Xvfb): it opens its window, answers
// the window manager's close request, and ends having saved its settings.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>

#include "scenario_support.h"
#include "x_display.h"

namespace jptest {
namespace {

const char kSettingsKey[] = "HKEY_LOCAL_MACHINE\\Software\\Marrowfen\\Jostlepad\\Settings";

pid_t StartInAWindow(const TempDir& temp, const std::map<std::string, std::string>& environment) {
  MakeDirs(temp / "device");
  return StartJostlepad({"--device", temp / "device", "--app-dir", StagedAppDir(), "--audio", "none", "--trace",
                         temp / "trace.txt"},
                        temp.Path(), environment);
}

// A close while the loader still runs may come before the settings exist;
// the splash period passes first, as it would for a person.
bool WaitPastTheSplash(const TempDir& temp) {
  if (!WaitForFileText(temp / "trace.txt", "window shown", 20000)) return false;
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  return true;
}

TEST(WindowMode, OpensAWindowAndClosesOnTheWindowManagersRequest) {
  Xvfb x;
  if (x.display == nullptr) GTEST_SKIP() << "no Xvfb on this machine (apt-get install xvfb)";
  TempDir temp;
  pid_t pid = StartInAWindow(temp, WindowModeEnvironment(x));
  ASSERT_GT(pid, 0);
  KillOnExit guard(pid);
  ASSERT_TRUE(WaitPastTheSplash(temp));
  // SDL may recreate its X window while it sets up rendering: looked for only now.
  Window window = WaitForWindow(x.display, "Jostlepad", 10000);
  ASSERT_NE(window, 0u) << "no window titled Jostlepad appeared";
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(x.display, window, &attributes));
  EXPECT_EQ(attributes.width, 480);
  EXPECT_EQ(attributes.height, 640);

  SendDeleteWindow(x.display, window);
  RunResult result = WaitJostlepad(pid, temp.Path(), 20000);
  guard.Release();
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(HiveKeyValues(temp / "device/registry.reg", kSettingsKey).size(), 17u);
}

// The session ending under the window: the program closes as it would on
// a close request, saving its settings, instead of dying with the server.
TEST(WindowMode, WhenTheXServerGoesItClosesAndSaves) {
  Xvfb x;
  if (x.display == nullptr) GTEST_SKIP() << "no Xvfb on this machine (apt-get install xvfb)";
  TempDir temp;
  // Where SDL's wake-up connection finds the server gone first, the process
  // is ended from there once the program has ended, before the window's
  // thread has joined it: no leak for the thread checker to report.
  auto environment = WindowModeEnvironment(x);
  const char* tsan = std::getenv("TSAN_OPTIONS");
  environment["TSAN_OPTIONS"] = std::string(tsan != nullptr ? tsan : "") + ":report_thread_leaks=0";
  pid_t pid = StartInAWindow(temp, environment);
  ASSERT_GT(pid, 0);
  KillOnExit guard(pid);
  ASSERT_TRUE(WaitPastTheSplash(temp));

  x.Stop();
  RunResult result = WaitJostlepad(pid, temp.Path(), 20000);
  guard.Release();
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.err.find("the X server went away"), std::string::npos) << result.err;
  EXPECT_EQ(HiveKeyValues(temp / "device/registry.reg", kSettingsKey).size(), 17u);
}

TEST(WindowMode, WithoutADisplayItSaysSoAndEnds) {
  TempDir temp;
  MakeDirs(temp / "device");
  RunResult result = RunJostlepad({"--device", temp / "device", "--app-dir", StagedAppDir(), "--audio", "none"},
                                  temp.Path(), 20000, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("cannot open a window"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("--headless"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace jptest
