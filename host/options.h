// The device's own command-line options: which mode, where the device keeps
// its files, what the screen, sound and accelerometer are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/device.h"

namespace jphost {

// Auto, the window's default: the first that exists of an IIO accelerometer,
// a game controller with one, and the keys.
enum class SensorChoice { None, Keys, Fixed, Replay, Iio, Controller, Auto };

// Where sound goes: nowhere, a WAV recording that follows device time, or SDL.
enum class AudioChoice { None, Recording, Sdl };

struct Options {
  bool headless = false;
  std::string scriptPath;
  wce::ClockMode clock = wce::ClockMode::Real;
  std::string deviceDir;  // empty: the per-user default (DefaultDeviceDir)
  std::string appDir;     // empty: the folder of this executable
  int screenWidth = 480;
  int screenHeight = 640;
  int dpi = 192;
  double scale = 0;  // window zoom; 0: fit the desktop
  AudioChoice audio = AudioChoice::Sdl;
  std::string audioPath;    // the recording, for wav:
  std::string audioDevice;  // the SDL output device, for sdl:NAME; empty: the default one
  uint32_t audioPeriod = 0;  // 0: the SDL driver's own (DefaultAudioPeriod)
  std::string tracePath;  // empty: no trace
  bool traceLatency = false;  // tap-to-sound stamps in the trace
  SensorChoice sensor = SensorChoice::Auto;
  std::string replayPath;  // for replay:
  std::string iioDevice;   // for iio:DEVICE (folder or name); empty: the first one
  std::string vibrator;    // the motor's evdev device; empty: the first found; "none": none
  // What follows "--": not options. (The program is given the whole command
  // line, as it ignores it anyway.)
  std::vector<std::string> programArgs;
};

// ListAudioDevices: --list-audio-devices was given (print them, run nothing).
enum class ParseOutcome { Run, Help, ListAudioDevices, Error };

// Parses the arguments after the program name. The defaults of the chosen
// mode are filled in (headless: virtual clock, no sound, a fixed sensor at
// rest; window: real clock, SDL sound, Auto). On Error, `error` names the
// option and what is wrong with it.
ParseOutcome ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

std::string UsageText();

// $XDG_STATE_HOME/jostlepad, else $HOME/.local/state/jostlepad; empty when
// neither is set (either may be null).
std::string DefaultDeviceDir(const char* xdgStateHome, const char* home);

// Creates the folder and its parents; false with a message when it cannot be
// made or is not a folder.
bool PrepareDeviceDir(const std::string& dir, std::string& error);

// The folder of the running executable (from /proc/self/exe); empty if unknown.
std::string ExecutableDir();

// The zoom that fits the screen on a desktop with the given usable area:
// 1 when it fits, else the largest of 0.75, 0.5, 0.25 that does (0.25 at least).
double FitScale(int screenWidth, int screenHeight, int desktopWidth, int desktopHeight);

}  // namespace jphost
