// Fuzz target: the device's command line, the bytes split into arguments at
// NUL and newline. An error always says what is wrong; options taken for a
// run hold values the device can use, and written back as arguments they
// parse to the same options.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "options.h"

namespace {

using jphost::Options;
using jphost::ParseOutcome;
using jphost::AudioChoice;
using jphost::SensorChoice;

std::vector<std::string> SplitArguments(const uint8_t* data, size_t size) {
  std::vector<std::string> args;
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\0' || data[i] == '\n') {
      args.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  if (size > 0) args.push_back(current);
  return args;
}

bool Usable(const Options& o) {
  if (o.headless == o.scriptPath.empty()) return false;
  if (!o.headless && o.clock != wce::ClockMode::Real) return false;
  if (o.headless && (o.sensor == SensorChoice::Controller || o.sensor == SensorChoice::Auto)) return false;
  if (o.screenWidth < 64 || o.screenWidth > 4096 || o.screenHeight < 64 || o.screenHeight > 4096) return false;
  if (o.dpi < 48 || o.dpi > 960) return false;
  if (o.scale != 0 && !(o.scale >= 0.25 && o.scale <= 8)) return false;
  // 0: the SDL driver's own period
  if (o.audioPeriod != 0 && (o.audioPeriod < 16 || o.audioPeriod > 32768)) return false;
  if (o.audio == AudioChoice::Recording && o.audioPath.empty()) return false;
  if (o.sensor == SensorChoice::Replay && o.replayPath.empty()) return false;
  return true;
}

const char* ClockName(wce::ClockMode m) { return m == wce::ClockMode::Virtual ? "virtual" : "real"; }

std::string AudioValue(const Options& o) {
  switch (o.audio) {
    case AudioChoice::Recording: return "wav:" + o.audioPath;
    case AudioChoice::None: return "none";
    default: return o.audioDevice.empty() ? "sdl" : "sdl:" + o.audioDevice;
  }
}

std::string SensorValue(const Options& o) {
  switch (o.sensor) {
    case SensorChoice::Replay: return "replay:" + o.replayPath;
    case SensorChoice::None: return "none";
    case SensorChoice::Fixed: return "fixed";
    case SensorChoice::Iio: return o.iioDevice.empty() ? "iio" : "iio:" + o.iioDevice;
    case SensorChoice::Controller: return "controller";
    case SensorChoice::Auto: return "";  // the window's default, not spelled
    default: return "keys";
  }
}

// Every value spelled out, each as its own argument.
std::vector<std::string> WriteBack(const Options& o) {
  std::vector<std::string> args;
  auto add = [&args](const char* name, const std::string& value) {
    args.push_back(name);
    args.push_back(value);
  };
  if (o.headless) {
    args.push_back("--headless");
    add("--script", o.scriptPath);
  }
  add("--clock", ClockName(o.clock));
  if (!o.deviceDir.empty()) add("--device", o.deviceDir);
  if (!o.appDir.empty()) add("--app-dir", o.appDir);
  add("--screen", std::to_string(o.screenWidth) + "x" + std::to_string(o.screenHeight));
  add("--dpi", std::to_string(o.dpi));
  if (o.scale != 0) {
    char scale[40];
    std::snprintf(scale, sizeof scale, "%.17g", o.scale);
    add("--scale", scale);
  }
  add("--audio", AudioValue(o));
  if (o.audioPeriod != 0) add("--audio-period", std::to_string(o.audioPeriod));
  if (!o.tracePath.empty()) add("--trace", o.tracePath);
  if (o.sensor != SensorChoice::Auto) add("--sensor", SensorValue(o));
  args.push_back("--");
  args.insert(args.end(), o.programArgs.begin(), o.programArgs.end());
  return args;
}

// The values the device reads: a path or name left behind by an earlier
// choice of the same option does not count.
bool Same(const Options& a, const Options& b) {
  bool sameAudio = a.audio == b.audio &&
                   (a.audio != AudioChoice::Recording || a.audioPath == b.audioPath) &&
                   (a.audio != AudioChoice::Sdl || a.audioDevice == b.audioDevice);
  bool sameSensor = a.sensor == b.sensor && (a.sensor != SensorChoice::Replay || a.replayPath == b.replayPath) &&
                    (a.sensor != SensorChoice::Iio || a.iioDevice == b.iioDevice);
  return a.headless == b.headless && a.scriptPath == b.scriptPath && a.clock == b.clock &&
         a.deviceDir == b.deviceDir && a.appDir == b.appDir && a.screenWidth == b.screenWidth &&
         a.screenHeight == b.screenHeight && a.dpi == b.dpi && a.scale == b.scale && sameAudio &&
         a.audioPeriod == b.audioPeriod && a.tracePath == b.tracePath && sameSensor &&
         a.programArgs == b.programArgs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool usageWritten = !jphost::UsageText().empty();
  if (!usageWritten) std::abort();

  Options options;
  std::string error;
  ParseOutcome outcome = jphost::ParseOptions(SplitArguments(data, size), options, error);
  if (outcome == ParseOutcome::Error && error.empty()) std::abort();
  if (outcome != ParseOutcome::Run) return 0;
  if (!Usable(options)) std::abort();
  Options again;
  if (jphost::ParseOptions(WriteBack(options), again, error) != ParseOutcome::Run || !Same(options, again))
    std::abort();
  return 0;
}
