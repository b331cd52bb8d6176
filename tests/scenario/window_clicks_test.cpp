// The pages clicked through in a real X window with real pointer events
// (XTest), each step's window pixels compared with the headless bench's shot
// of the same step: the two modes show the same program.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app_scenario.h"
#include "image_compare.h"
#include "x_display.h"

namespace jptest {
namespace {

struct Step {
  const char* name;
  int x, y;  // where to click
};

// Home, then each tab, About and back: every page a click away.
const Step kSteps[] = {{"sounds", 240, 586},  {"settings", 400, 586}, {"about", 402, 26},
                       {"back", 240, 586},    {"home", 80, 586}};

Image WindowPixels(Display* d, Window w, int width, int height) {
  Image image;
  XImage* x = XGetImage(d, w, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes,
                        ZPixmap);
  if (x == nullptr) return image;
  image = Image(width, height);
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col) image.At(col, row) = static_cast<uint32_t>(XGetPixel(x, col, row)) & 0xFFFFFF;
  XDestroyImage(x);
  return image;
}

// The window's pixels once they equal `expected`, or as they are after
// `timeoutMs` of real time (the window runs on the real clock).
Image SettledPixels(Display* d, Window w, const Image& expected, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  Image seen = WindowPixels(d, w, expected.width, expected.height);
  while (seen.pixels != expected.pixels && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    seen = WindowPixels(d, w, expected.width, expected.height);
  }
  return seen;
}

Image FromPng(const PngImage& png) {
  Image image(png.width, png.height);
  image.pixels = png.pixels;
  return image;
}

class WindowClicks : public AppScenario {};

TEST_F(WindowClicks, EachPageInTheWindowLooksAsOnTheHeadlessBench) {
  Xvfb x;
  if (x.display == nullptr) GTEST_SKIP() << "no Xvfb on this machine (apt-get install xvfb)";
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(x.display, &event, &error, &major, &minor)) GTEST_SKIP() << "Xvfb without XTest";
  PrepareDefault();
  // The window gets a device of its own with the same settings.
  MakeDirs(temp_ / "window-device");
  ASSERT_TRUE(WriteFile(temp_ / "window-device/registry.reg", ReadFile(Hive())));

  // The headless run of the same steps.
  std::string script = "wait 2500\n" + ShotLine("start");
  for (const Step& s : kSteps)
    script += "tap " + std::to_string(s.x) + " " + std::to_string(s.y) + "\nwait 600\n" + ShotLine(s.name);
  RunResult headless = Run(script);
  ASSERT_EQ(headless.status, 0) << headless.err;

  MakeDirs(temp_ / "window-logs");
  pid_t pid = StartJostlepad({"--device", temp_ / "window-device", "--app-dir", AppDir(), "--audio", "none",
                              "--trace", temp_ / "window-trace.txt"},
                             temp_ / "window-logs", WindowModeEnvironment(x));
  ASSERT_GT(pid, 0);
  KillOnExit guard(pid);
  ASSERT_TRUE(WaitForFileText(temp_ / "window-trace.txt", "window shown", 20000));
  // SDL may recreate its X window while it sets up rendering: look for it
  // once the splash period has passed.
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  Window window = WaitForWindow(x.display, "Jostlepad", 10000);
  ASSERT_NE(window, 0u);

  Image start = FromPng(Shot("start"));
  ASSERT_TRUE(ImagesMatch(SettledPixels(x.display, window, start, 15000), start, 0, "start"));
  for (const Step& s : kSteps) {
    Click(x.display, window, s.x, s.y);
    Image expected = FromPng(Shot(s.name));
    EXPECT_TRUE(ImagesMatch(SettledPixels(x.display, window, expected, 5000), expected, 0, s.name));
  }
  kill(pid, SIGTERM);
  RunResult result = WaitJostlepad(pid, temp_ / "window-logs", 20000);
  guard.Release();
  EXPECT_EQ(result.status, 0) << result.err;
}

}  // namespace
}  // namespace jptest
