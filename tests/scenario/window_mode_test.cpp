// The sound box in a real X window (under Xvfb): it opens its window, answers
// the window manager's close request, and ends having saved its settings.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "scenario_support.h"

extern char** environ;

namespace jptest {
namespace {

const char kSettingsKey[] = "HKEY_LOCAL_MACHINE\\Software\\Marrowfen\\Jostlepad\\Settings";

// A private X server for the test.
class Xvfb {
 public:
  Xvfb() {
    if (access("/usr/bin/Xvfb", X_OK) != 0) return;
    display_ = ":" + std::to_string(90 + getpid() % 400);
    std::string lock = "/tmp/.X" + display_.substr(1) + "-lock";
    unlink(lock.c_str());
    const char* argv[] = {"/usr/bin/Xvfb", display_.c_str(), "-screen", "0", "800x800x24", "-nolisten", "tcp",
                          nullptr};
    if (posix_spawn(&pid_, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
    for (int i = 0; i < 500 && pid_ > 0 && display == nullptr; ++i) {
      display = XOpenDisplay(display_.c_str());
      if (display == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~Xvfb() {
    if (display != nullptr) XCloseDisplay(display);
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& Name() const { return display_; }
  Display* display = nullptr;

 private:
  std::string display_;
  pid_t pid_ = -1;
};

Window FindByTitle(Display* d, Window w, const std::string& title) {
  char* name = nullptr;
  if (XFetchName(d, w, &name) && name != nullptr) {
    bool match = title == name;
    XFree(name);
    if (match) return w;
  }
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  Window found = 0;
  if (XQueryTree(d, w, &root, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count && found == 0; ++i) found = FindByTitle(d, children[i], title);
    if (children != nullptr) XFree(children);
  }
  return found;
}

// What a window manager sends when the user clicks the close button.
void SendDeleteWindow(Display* d, Window w) {
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = w;
  event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &event);
  XFlush(d);
}

TEST(WindowMode, OpensAWindowAndClosesOnTheWindowManagersRequest) {
  Xvfb x;
  if (x.display == nullptr) GTEST_SKIP() << "no Xvfb on this machine (apt-get install xvfb)";
  TempDir temp;
  MakeDirs(temp / "device");
  pid_t pid = StartJostlepad({"--device", temp / "device", "--app-dir", StagedAppDir(), "--audio", "none",
                              "--trace", temp / "trace.txt"},
                             temp.Path(), {{"DISPLAY", x.Name()},
                              {"SDL_AUDIODRIVER", "dummy"},
                              // Mesa's llvmpipe threads sync in ways the thread
                              // sanitizer cannot see; SDL's own renderer and window
                              // surface need no GL
                              {"SDL_RENDER_DRIVER", "software"},
                              {"SDL_FRAMEBUFFER_ACCELERATION", "0"},
                              // the X and D-Bus client libraries keep allocations to the end
                              {"ASAN_OPTIONS", "detect_leaks=0"}});
  ASSERT_GT(pid, 0);
  KillOnExit guard(pid);

  ASSERT_TRUE(WaitForFileText(temp / "trace.txt", "window shown", 20000));
  // A close while the loader still runs may come before the settings exist;
  // let the splash period pass, as a person would. (SDL may also recreate its
  // X window while it sets up rendering: look for it only now.)
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  Window window = 0;
  for (int i = 0; i < 1000 && window == 0; ++i) {
    window = FindByTitle(x.display, DefaultRootWindow(x.display), "Jostlepad");
    if (window == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
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
