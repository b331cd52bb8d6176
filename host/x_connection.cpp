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

// Xlib's own would print and exit; returning hands over to the exit handler.
int SayConnectionLost(Display*) {
  if (lost) return 0;  // once, not for every call on the failed display
  const char text[] = "jostlepad: the X server went away; closing the program\n";
  ssize_t ignored = write(STDERR_FILENO, text, sizeof text - 1);
  (void)ignored;
  return 0;
}

void CloseOnLostConnection(Display*, void*) {
  if (!lost.exchange(true)) wce::RequestClose();
}

}  // namespace

bool XServerLost() { return lost; }

void CloseWhenTheXServerGoes(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  XSetIOErrorHandler(&SayConnectionLost);
  XSetIOErrorExitHandler(info.info.x11.display, &CloseOnLostConnection, nullptr);
}

}  // namespace jphost
