// The jostlepad executable: the Linux device around the program.
#include <string>
#include <vector>

#include "app/WinMain.h"
#include "close_signals.h"
#include "device/device.h"
#include "host_main.h"

// The program's resources, generated from resources/ at build time.
extern const wce::EmbeddedResource kProgramResources[];
extern const size_t kProgramResourceCount;

int main(int argc, char** argv) {
  jphost::CloseOnSignals signals;  // first, so every later thread leaves the signals to it
  std::vector<std::string> args(argv + 1, argv + argc);
  return jphost::HostMain(args, {&WinMain, kProgramResources, kProgramResourceCount});
}
