#include "options.h"

#include <charconv>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace jphost {
namespace {

// What the mode's defaults must not override.
struct Given {
  bool clock = false;
  bool audio = false;
  bool sensor = false;
};

template <class T>
bool ParseWhole(std::string_view text, T& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && !text.empty();
}

bool IntInRange(const std::string& name, const std::string& text, long min, long max, long& value,
                std::string& error) {
  if (!ParseWhole(text, value)) {
    error = name + ": '" + text + "' is not a whole number";
    return false;
  }
  if (value < min || value > max) {
    error = name + ": " + text + " is outside " + std::to_string(min) + ".." + std::to_string(max);
    return false;
  }
  return true;
}

bool SetScreen(const std::string& v, Options& o, Given&, std::string& error) {
  size_t x = v.find_first_of("xX");
  long w = 0, h = 0;
  if (x == std::string::npos || !ParseWhole(std::string_view(v).substr(0, x), w) ||
      !ParseWhole(std::string_view(v).substr(x + 1), h)) {
    error = "--screen: '" + v + "' is not WIDTHxHEIGHT (e.g. 480x640)";
    return false;
  }
  if (w < 64 || h < 64 || w > 4096 || h > 4096) {
    error = "--screen: " + v + " is outside 64x64..4096x4096";
    return false;
  }
  o.screenWidth = static_cast<int>(w);
  o.screenHeight = static_cast<int>(h);
  return true;
}

bool SetDpi(const std::string& v, Options& o, Given&, std::string& error) {
  long dpi = 0;
  if (!IntInRange("--dpi", v, 48, 960, dpi, error)) return false;
  o.dpi = static_cast<int>(dpi);
  return true;
}

bool SetScale(const std::string& v, Options& o, Given&, std::string& error) {
  double scale = 0;
  if (!ParseWhole(v, scale)) {
    error = "--scale: '" + v + "' is not a number (e.g. 0.5, 1 or 2)";
    return false;
  }
  if (!(scale >= 0.25 && scale <= 8)) {
    error = "--scale: " + v + " is outside 0.25..8";
    return false;
  }
  o.scale = scale;
  return true;
}

bool SetAudioPeriod(const std::string& v, Options& o, Given&, std::string& error) {
  long frames = 0;
  if (!IntInRange("--audio-period", v, 16, 32768, frames, error)) return false;
  o.audioPeriod = static_cast<uint32_t>(frames);
  return true;
}

bool SetClock(const std::string& v, Options& o, Given& given, std::string& error) {
  if (v == "virtual") {
    o.clock = wce::ClockMode::Virtual;
  } else if (v == "real") {
    o.clock = wce::ClockMode::Real;
  } else {
    error = "--clock: '" + v + "' is neither virtual nor real";
    return false;
  }
  given.clock = true;
  return true;
}

bool SetAudio(const std::string& v, Options& o, Given& given, std::string& error) {
  if (v.rfind("wav:", 0) == 0 && v.size() > 4) {
    o.audio = AudioChoice::Recording;
    o.audioPath = v.substr(4);
  } else if (v == "none") {
    o.audio = AudioChoice::None;
  } else if (v == "sdl" || (v.rfind("sdl:", 0) == 0 && v.size() > 4)) {
    o.audio = AudioChoice::Sdl;
    o.audioDevice = v.size() > 4 ? v.substr(4) : std::string();
  } else {
    error = "--audio: '" + v + "' is not wav:FILE, none, sdl or sdl:NAME";
    return false;
  }
  given.audio = true;
  return true;
}

bool SetSensor(const std::string& v, Options& o, Given& given, std::string& error) {
  if (v.rfind("replay:", 0) == 0 && v.size() > 7) {
    o.sensor = SensorChoice::Replay;
    o.replayPath = v.substr(7);
  } else if (v == "none") {
    o.sensor = SensorChoice::None;
  } else if (v == "keys") {
    o.sensor = SensorChoice::Keys;
  } else if (v == "fixed") {
    o.sensor = SensorChoice::Fixed;
  } else if (v == "iio" || (v.rfind("iio:", 0) == 0 && v.size() > 4)) {
    o.sensor = SensorChoice::Iio;
    o.iioDevice = v.size() > 4 ? v.substr(4) : std::string();
  } else if (v == "controller") {
    o.sensor = SensorChoice::Controller;
  } else {
    error = "--sensor: '" + v + "' is not replay:FILE, none, keys, fixed, iio, iio:DEVICE or controller";
    return false;
  }
  given.sensor = true;
  return true;
}

// A path option: anything but empty.
template <std::string Options::*field>
bool SetPath(const std::string& v, Options& o, Given&, std::string&) {
  o.*field = v;
  return true;
}

using Setter = bool (*)(const std::string& value, Options&, Given&, std::string& error);

struct OptionRule {
  const char* name;
  Setter set;  // null: a flag without a value
};

const OptionRule kOptions[] = {
    {"--headless", nullptr},
    {"--script", SetPath<&Options::scriptPath>},
    {"--clock", SetClock},
    {"--device", SetPath<&Options::deviceDir>},
    {"--app-dir", SetPath<&Options::appDir>},
    {"--screen", SetScreen},
    {"--dpi", SetDpi},
    {"--scale", SetScale},
    {"--audio", SetAudio},
    {"--audio-period", SetAudioPeriod},
    {"--trace", SetPath<&Options::tracePath>},
    {"--trace-latency", nullptr},
    {"--sensor", SetSensor},
    {"--vibrator", SetPath<&Options::vibrator>},
    {"--list-audio-devices", nullptr},
    {"--help", nullptr},
};

const OptionRule* FindOption(std::string_view name) {
  for (const OptionRule& rule : kOptions)
    if (name == rule.name) return &rule;
  return nullptr;
}

void ApplyModeDefaults(Options& o, const Given& given) {
  if (!given.clock) o.clock = o.headless ? wce::ClockMode::Virtual : wce::ClockMode::Real;
  if (!given.audio) o.audio = o.headless ? AudioChoice::None : AudioChoice::Sdl;
  if (!given.sensor) o.sensor = o.headless ? SensorChoice::Fixed : SensorChoice::Auto;
}

bool CheckCombination(const Options& o, std::string& error) {
  if (o.headless && o.scriptPath.empty()) {
    error = "--headless needs --script FILE";
    return false;
  }
  if (!o.headless && !o.scriptPath.empty()) {
    error = "--script needs --headless (a window takes its actions from the mouse and keys)";
    return false;
  }
  if (o.headless && o.sensor == SensorChoice::Controller) {
    error = "--sensor controller needs a window (the bench has no game controllers; use replay:FILE)";
    return false;
  }
  if (o.headless && !o.vibrator.empty()) {
    error = "--vibrator needs a window (the bench traces the motor instead)";
    return false;
  }
  if (o.traceLatency && o.tracePath.empty()) {
    error = "--trace-latency needs --trace FILE";
    return false;
  }
  if (!o.headless && o.clock == wce::ClockMode::Virtual) {
    error = "--clock virtual needs --headless (a window runs in real time)";
    return false;
  }
  return true;
}

}  // namespace

ParseOutcome ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
  Options o;
  Given given;
  bool help = false;
  bool listAudio = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      o.programArgs.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    }
    size_t equals = arg.find('=');
    std::string name = arg.substr(0, equals);
    const OptionRule* rule = arg.rfind("--", 0) == 0 ? FindOption(name) : nullptr;
    if (rule == nullptr) {
      error = arg.rfind("-", 0) == 0 ? "unknown option " + name
                                     : "unexpected argument '" + arg + "' (program arguments go after --)";
      return ParseOutcome::Error;
    }
    if (rule->set == nullptr) {
      if (equals != std::string::npos) {
        error = name + " takes no value";
        return ParseOutcome::Error;
      }
      if (name == "--help") help = true;
      if (name == "--headless") o.headless = true;
      if (name == "--list-audio-devices") listAudio = true;
      if (name == "--trace-latency") o.traceLatency = true;
      continue;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      error = name + " needs a value";
      return ParseOutcome::Error;
    }
    if (value.empty()) {
      error = name + " needs a value";
      return ParseOutcome::Error;
    }
    if (!rule->set(value, o, given, error)) return ParseOutcome::Error;
  }
  if (help) return ParseOutcome::Help;
  if (listAudio) return ParseOutcome::ListAudioDevices;
  ApplyModeDefaults(o, given);
  if (!CheckCombination(o, error)) return ParseOutcome::Error;
  options = std::move(o);
  return ParseOutcome::Run;
}

std::string UsageText() {
  return R"(Usage: jostlepad [options] [-- program arguments]
The sound box in a window, or on the test bench with --headless.

  --headless                 no window: play the --script on the test bench
  --script FILE              the user's actions, one a line (headless only)
  --clock virtual|real       device time (headless default: virtual; a window is real)
  --device DIR               the device's registry hive and single-instance rendezvous
                             (default: $XDG_STATE_HOME/jostlepad or ~/.local/state/jostlepad)
  --app-dir DIR              where the program appears to live, with Skin/ and Sounds/
                             (default: this executable's folder when it holds Skin/,
                             else ../share/jostlepad beside it); given, it is used as
                             it is: your own packs are not joined
  --screen WxH               emulated screen in pixels (default 480x640)
  --dpi N                    its dots per inch (default 192)
  --scale N                  window zoom, e.g. 0.5, 1 or 2 (default: fit the desktop)
  --audio wav:FILE|none|sdl|sdl:NAME
                             sound out (window default: sdl, the desktop's default
                             output; headless default: none); sdl:NAME picks the
                             output named as --list-audio-devices prints it.
                             SDL's pipewire driver on a PipeWire session, else
                             SDL's first that works (pulseaudio, alsa, ...);
                             SDL_AUDIODRIVER=pulseaudio (or alsa, ...) picks another
  --list-audio-devices       print the names of the sound outputs, one a line
  --audio-period FRAMES      frames per SDL audio period (default: 64 on SDL's
                             pipewire driver, 128 on pulseaudio, 256 on others)
  --trace FILE               device events, one a line: <device ms> <event>
  --trace-latency            add each press's way to the sound to the trace, as
                             latency pen-down|wave-write|first-mix <microseconds>
  --sensor replay:FILE|none|keys|fixed|iio|iio:DEVICE|controller
                             the accelerometer. iio: a Linux IIO accelerometer (as in
                             laptops, tablets and phones that turn their screen);
                             DEVICE is its folder (iio:device0) or name (accel_3d).
                             controller: a game controller's (window only).
                             Window default: the first there of iio, controller
                             and keys; headless: fixed at rest, set by the
                             script's accel lines
  --vibrator PATH|none       the phone's vibration motor, a force-feedback input
                             device (default: the first under /dev/input that
                             rumbles and is no game controller; window only)
  --help                     this text

In the window: the mouse, or one finger on a touch screen, is the stylus;
with the keys as the accelerometer, arrows and space jerk the phone
(left/right: X, up/down: Y, space: Z); Ctrl+C or closing the window asks
the program to close. A connected game controller rumbles while the
phone's vibration motor runs, and so does the motor of a Linux phone. On
a display too small for the screen, or a phone's when the program goes
full screen, the window fills the display (not with --scale).

Sound packs of your own go in $XDG_DATA_HOME/jostlepad/Sounds (default
~/.local/share/jostlepad/Sounds), no root needed: the program's Sounds folder
shows them beside the installed packs, and a pack of yours replaces an
installed one of the same name (unless --app-dir is given).

Exit status: the program's own (0 after a close); 1 when no window can
open (or SDL audio cannot start, for --list-audio-devices); 2 for a bad
option or script line; 3 when device time stood still on the bench because
a program thread never waited (the thread is named).

Script lines: wait MS | down X Y | move X Y | up X Y | tap X Y |
  drag X1 Y1 X2 Y2 MS | accel X Y Z | key NAME | activate | deactivate |
  close | shot FILE.png | # comment
)";
}

std::string DefaultDeviceDir(const char* xdgStateHome, const char* home) {
  // The XDG rules ignore a relative value.
  if (xdgStateHome != nullptr && xdgStateHome[0] == '/') return std::string(xdgStateHome) + "/jostlepad";
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/state/jostlepad";
  return std::string();
}

bool PrepareDeviceDir(const std::string& dir, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (std::filesystem::is_directory(dir)) return true;
  error = "--device: cannot make the folder " + dir + (ec ? ": " + ec.message() : std::string(": not a folder"));
  return false;
}

std::string ExecutableDir() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::string();
  return exe.parent_path().string();
}

double FitScale(int screenWidth, int screenHeight, int desktopWidth, int desktopHeight) {
  // A little room for the window's frame and title.
  const double roomW = desktopWidth * 0.95, roomH = desktopHeight * 0.92;
  for (double scale : {1.0, 0.75, 0.5}) {
    if (screenWidth * scale <= roomW && screenHeight * scale <= roomH) return scale;
  }
  return 0.25;
}

}  // namespace jphost
