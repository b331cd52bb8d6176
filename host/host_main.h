// The Linux device's start-up: the device's own options, a fresh device,
// then the program's WinMain on its own thread, in a window or on the
// headless test bench, until WinMain returns.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "device/device.h"
#include "program_thread.h"

namespace jphost {

// What the executable carries: its entry point and its built-in resources.
struct ProgramImage {
  ProgramEntry entry = nullptr;
  const wce::EmbeddedResource* resources = nullptr;
  size_t resourceCount = 0;
};

// `args` are the arguments after the executable's name. Returns the exit
// status: WinMain's result; 2 for a bad option, script line or unusable
// file; 1 when no window can be opened, the device cannot start, or SDL
// audio cannot start to list its devices; 3 when the program does not end
// after being asked to close, or when on the virtual clock one of its
// threads keeps device time from moving (it has not waited for the device's
// stall limit of real time; a message names it).
int HostMain(const std::vector<std::string>& args, const ProgramImage& program);

}  // namespace jphost
