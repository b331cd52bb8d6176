#include "x_display.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace jptest {

Xvfb::Xvfb() {
  if (access("/usr/bin/Xvfb", X_OK) != 0) return;
  display_ = ":" + std::to_string(90 + getpid() % 400);
  std::string lock = "/tmp/.X" + display_.substr(1) + "-lock";
  unlink(lock.c_str());
  const char* argv[] = {"/usr/bin/Xvfb", display_.c_str(), "-screen", "0", "800x800x24", "-nolisten", "tcp", nullptr};
  if (posix_spawn(&pid_, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
  for (int i = 0; i < 500 && pid_ > 0 && display == nullptr; ++i) {
    display = XOpenDisplay(display_.c_str());
    if (display == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

Xvfb::~Xvfb() { Stop(); }

void Xvfb::Stop() {
  if (display != nullptr) XCloseDisplay(display);
  display = nullptr;
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  pid_ = -1;
}

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

Window WaitForWindow(Display* d, const std::string& title, int timeoutMs) {
  Window window = 0;
  for (int waited = 0; waited < timeoutMs && window == 0; waited += 10) {
    window = FindByTitle(d, DefaultRootWindow(d), title);
    if (window == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return window;
}

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

void Click(Display* d, Window w, int x, int y) {
  int rootX = 0, rootY = 0;
  Window child = 0;
  XTranslateCoordinates(d, w, DefaultRootWindow(d), x, y, &rootX, &rootY, &child);
  XTestFakeMotionEvent(d, DefaultScreen(d), rootX, rootY, CurrentTime);
  XTestFakeButtonEvent(d, 1, True, CurrentTime);
  XFlush(d);
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  XTestFakeButtonEvent(d, 1, False, CurrentTime);
  XFlush(d);
}

std::map<std::string, std::string> WindowModeEnvironment(const Xvfb& x) {
  return {{"DISPLAY", x.Name()},
          {"SDL_AUDIODRIVER", "dummy"},
          {"SDL_RENDER_DRIVER", "software"},
          {"SDL_FRAMEBUFFER_ACCELERATION", "0"},
          {"ASAN_OPTIONS", "detect_leaks=0"}};
}

}  // namespace jptest
