#include "x_connection.h"

#include <unistd.h>

#include <atomic>

// Before Xlib, whose macros (None, ...) would rename its enumerators.
#include "device/device.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace jphost {
namespace {

std::atomic<bool> lost{false};
std::atomic<bool> closeAsked{false};
std::atomic<bool> programEnded{false};
Display* windowDisplay = nullptr;

void AskToClose() {
  if (!closeAsked.exchange(true)) wce::RequestClose();
}

// Called for every connection of the process that finds the server gone.
// The window's own then goes on failed (its exit handler below). SDL's other
// one only carries wake-ups, sent by the window's waker thread, which holds
// nothing of the program's but SDL's wake-up lock: Xlib would end the
// process when this returns, its destructors running under the program's
// threads. So the waker closes the program from here, and once it has ended
// (its settings written) ends the process itself.
int OnConnectionLost(Display* display) {
  if (!lost.exchange(true)) {
    const char text[] = "jostlepad: the X server went away; closing the program\n";
    ssize_t ignored = write(STDERR_FILENO, text, sizeof text - 1);
    (void)ignored;
  }
  if (display == windowDisplay) return 0;
  AskToClose();
  for (int waited = 0; waited < 10000 && !programEnded; waited += 10) usleep(10000);
  _exit(programEnded ? 0 : 1);
}

void CloseOnLostConnection(Display*, void*) { AskToClose(); }

}  // namespace

bool XServerLost() { return lost; }

void NoteProgramEnded() { programEnded = true; }

void CloseWhenTheXServerGoes(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  windowDisplay = info.info.x11.display;
  XSetIOErrorHandler(&OnConnectionLost);
  XSetIOErrorExitHandler(windowDisplay, &CloseOnLostConnection, nullptr);
}

}  // namespace jphost
