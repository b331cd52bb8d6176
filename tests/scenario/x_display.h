// A private X server (Xvfb) for window-mode tests, and finding the program's
// window on it.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <map>
#include <string>

namespace jptest {

class Xvfb {
 public:
  Xvfb();  // display stays null when Xvfb is not installed or does not start
  ~Xvfb();
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;
  const std::string& Name() const { return display_; }
  void Stop();  // the server gone, as when a session ends
  Display* display = nullptr;

 private:
  std::string display_;
  pid_t pid_ = -1;
};

// The window titled `title` under `w`, or 0.
Window FindByTitle(Display* d, Window w, const std::string& title);
// Waits up to `timeoutMs` for a window titled `title`.
Window WaitForWindow(Display* d, const std::string& title, int timeoutMs);

// What a window manager sends when the user clicks the close button.
void SendDeleteWindow(Display* d, Window w);
// A real pointer click (XTest) at (x, y) of window `w`.
void Click(Display* d, Window w, int x, int y);

// The environment a window-mode run gets on `x`: SDL's software renderer and
// window surface (Mesa's threads sync in ways the thread sanitizer cannot
// see), no sound, and no leak report for the X client libraries.
std::map<std::string, std::string> WindowModeEnvironment(const Xvfb& x);

}  // namespace jptest
