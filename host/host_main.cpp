#include "host_main.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "app_folders.h"
#include "controller_sensor.h"
#include "device/device.h"
#include "iio_source.h"
#include "key_jerk_source.h"
#include "options.h"
#include "script.h"
#include "script_runner.h"
#include "sdl_audio.h"
#include "window_host.h"
#include "x_connection.h"

namespace jphost {
namespace {

// How long a program may take to close once the script has ended.
constexpr std::chrono::seconds kCloseGuard(30);

void Complain(const std::string& text) { std::fprintf(stderr, "jostlepad: %s\n", text.c_str()); }

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

struct Session {
  Options options;
  std::vector<ScriptStep> script;
  std::string deviceDir;
  std::string modulePath;
  std::shared_ptr<wce::SensorSource> sensor;
  std::shared_ptr<wce::FixedSensorSource> fixed;  // takes the script's accel lines
  std::shared_ptr<KeyJerkSource> keys;            // takes the window's arrows and space
  std::shared_ptr<ControllerSensorSource> controller;  // fed by the window's controller events
  std::unique_ptr<std::FILE, FileCloser> trace;
};

bool MakeSensor(Session& s, std::string& error) {
  switch (s.options.sensor) {
    case SensorChoice::None: return true;
    case SensorChoice::Fixed:
      s.fixed = std::make_shared<wce::FixedSensorSource>(0, 0, KeyJerkSource::kRestZ);
      s.sensor = s.fixed;
      return true;
    case SensorChoice::Keys:
      s.keys = std::make_shared<KeyJerkSource>();
      s.sensor = s.keys;
      return true;
    case SensorChoice::Replay: {
      auto replay = std::make_shared<wce::ReplaySensorSource>();
      std::string why;
      if (!replay->Load(s.options.replayPath, why)) {
        error = "--sensor replay:" + s.options.replayPath + ": " + why;
        return false;
      }
      s.sensor = replay;
      return true;
    }
    case SensorChoice::Iio: {
      auto iio = std::make_shared<IioSensorSource>(IioSensorSource::kSysfsRoot, s.options.iioDevice);
      std::string why;
      if (!iio->Open(why)) {
        error = "--sensor iio" + (s.options.iioDevice.empty() ? std::string() : ":" + s.options.iioDevice) + ": " + why;
        return false;
      }
      s.sensor = iio;
      return true;
    }
    case SensorChoice::Controller:
      s.controller = std::make_shared<ControllerSensorSource>();
      s.sensor = s.controller;
      return true;
    case SensorChoice::Auto: return true;  // ChooseWindowSensor, once SDL can see the controllers
  }
  return true;
}

// The window's default accelerometer: the first there of an IIO one, a game
// controller's, and the keys. One line says which, unless it is the keys.
void ChooseWindowSensor(Session& s, WindowHost& window) {
  auto iio = std::make_shared<IioSensorSource>();
  std::string why;
  if (iio->Open(why)) {
    s.sensor = iio;
    Complain("motion from the accelerometer " + iio->Describe());
    return;
  }
  if (!iio->Describe().empty()) Complain(why + "; trying the next source");  // found, but unusable
  if (window.HasControllerAccelerometer()) {
    s.controller = std::make_shared<ControllerSensorSource>();
    s.sensor = s.controller;
    Complain("motion from the game controller's accelerometer");
    return;
  }
  s.keys = std::make_shared<KeyJerkSource>();
  s.sensor = s.keys;
}

// --list-audio-devices: the names, one a line (none at all is no error).
// -1 when listed, as for --help; 1 when SDL audio cannot start.
int ListAudioDevices() {
  std::string error;
  std::vector<std::string> names = ListSdlOutputDevices(&error);
  if (!error.empty()) {
    Complain("SDL audio could not start: " + error);
    return 1;
  }
  for (const std::string& name : names) std::printf("%s\n", name.c_str());
  return -1;
}

bool ResolveFolders(Session& s, std::string& error) {
  std::string device = s.options.deviceDir;
  if (device.empty()) device = DefaultDeviceDir(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
  if (device.empty()) {
    error = "--device: no folder given, and neither XDG_STATE_HOME nor HOME is set";
    return false;
  }
  if (!PrepareDeviceDir(device, error)) return false;
  std::error_code ec;
  s.deviceDir = std::filesystem::absolute(device, ec).string();

  std::string app = s.options.appDir.empty() ? FindAppDir(ExecutableDir()) : s.options.appDir;
  if (app.empty() || !std::filesystem::is_directory(app, ec)) {
    error = "--app-dir: " + (app.empty() ? std::string("cannot tell where this executable lives") : app + " is not a folder");
    return false;
  }
  s.modulePath = (std::filesystem::absolute(app, ec) / "Jostlepad.exe").lexically_normal().string();
  return true;
}

// Everything that can be wrong with the command line or its files is found
// here, before the device starts. 0: go on; otherwise the exit status.
int Prepare(const std::vector<std::string>& args, Session& s) {
  std::string error;
  switch (ParseOptions(args, s.options, error)) {
    case ParseOutcome::Help: std::fputs(UsageText().c_str(), stdout); return -1;
    case ParseOutcome::ListAudioDevices: return ListAudioDevices();
    case ParseOutcome::Error: Complain(error + " (see jostlepad --help)"); return 2;
    case ParseOutcome::Run: break;
  }
  const Options& o = s.options;
  if (o.headless) {
    ScriptRules rules{o.screenWidth, o.screenHeight, o.sensor == SensorChoice::Fixed};
    if (!LoadScript(o.scriptPath, rules, s.script, error)) {
      Complain(error);
      return 2;
    }
  }
  if (!ResolveFolders(s, error) || !MakeSensor(s, error)) {
    Complain(error);
    return 2;
  }
  if (!o.tracePath.empty()) {
    s.trace.reset(std::fopen(o.tracePath.c_str(), "w"));
    if (!s.trace) {
      Complain("--trace: cannot write " + o.tracePath);
      return 2;
    }
  }
  return 0;
}

// A fresh device with the program's resources, sound and trace. 0: started;
// otherwise the exit status.
int StartDevice(Session& s, const ProgramImage& program, std::function<void(const std::string&)> observer) {
  const Options& o = s.options;
  wce::SetScreenSize(o.screenWidth, o.screenHeight);
  wce::SetScreenDpi(o.dpi, o.dpi);
  wce::DeviceConfig config;
  config.clock = o.clock;
  config.deviceDir = s.deviceDir;
  config.modulePath = s.modulePath;
  // The user's own packs join the installed ones; --app-dir is that folder
  // exactly, so bench runs see only what they were given.
  if (o.appDir.empty()) {
    std::string app = std::filesystem::path(s.modulePath).parent_path().string();
    config.folderUnions = JoinedSoundFolders(app, UserSoundsDir(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
  }
  config.sensor = s.sensor;
  // Sound starts on its own below, so a missing sound card is told apart from a broken device.
  if (!wce::DeviceStart(config)) {
    Complain("the device could not start (see above)");
    wce::DeviceStop();
    return 1;
  }
  wce::SetModuleResources(program.resources, program.resourceCount);
  wce::AudioConfig audio;
  switch (o.audio) {
    case AudioChoice::None: break;
    case AudioChoice::Recording:
      audio.kind = wce::AudioSinkKind::Recording;
      audio.recordingPath = o.audioPath;
      break;
    case AudioChoice::Sdl:
      audio.kind = wce::AudioSinkKind::Output;
      audio.output = std::make_shared<SdlAudioOutput>(o.audioPeriod, o.audioDevice);
      break;
  }
  if (!wce::AudioStart(audio)) {
    if (o.audio == AudioChoice::Recording) {
      Complain("--audio: cannot record into " + o.audioPath);
      wce::DeviceStop();
      return 2;
    }
    Complain("no sound: SDL audio could not start; going on without it");
  }
  wce::SetLatencyStamps(o.traceLatency);
  std::FILE* trace = s.trace.get();
  wce::SetTraceSink([trace, observer = std::move(observer)](const std::string& line) {
    if (trace != nullptr) {
      std::fputs(line.c_str(), trace);
      std::fputc('\n', trace);
      std::fflush(trace);  // other tools watch the file while we run
    }
    if (observer) observer(line);
  });
  return 0;
}

// On the virtual clock a program thread that never waits would hang the bench
// without a word: the device's watchdog names it and the run ends.
void WatchForStalls() {
  wce::SetStallHandler([](const std::string& what) {
    Complain("device time cannot move: " + what);
    std::fflush(nullptr);
    std::_Exit(3);  // that thread is still inside the program: no orderly stop
  });
}

int StopDevice(const ProgramThread& program) {
  wce::SetStallHandler(nullptr);
  wce::SetTraceSink(nullptr);
  wce::DeviceStop();
  return program.ExitCode();
}

int RunHeadless(Session& s, const ProgramImage& program, const std::vector<std::string>& args) {
  if (int status = StartDevice(s, program, nullptr)) return status;
  // Time stays at 0 until the script lets it move.
  if (s.options.clock == wce::ClockMode::Virtual) {
    wce::ClockAdvanceTo(0);
    WatchForStalls();
  }
  ProgramThread thread;
  thread.Start(program.entry, JoinCommandLine(args));
  // What the program does at time 0 (its window, the loader's start) comes
  // before the script's first line, so even an empty script closes a window.
  wce::ClockSettle();
  DeviceScriptTarget target(s.fixed, [&thread] { return thread.Ended(); });
  RunScript(s.script, target, std::cerr);
  // The script is over: the system closes the program and waits for it.
  wce::RequestClose();
  wce::ClockRelease();
  if (!thread.WaitEnd(kCloseGuard)) {
    Complain("the program did not end within " + std::to_string(kCloseGuard.count()) +
             " s of being asked to close");
    std::fflush(nullptr);
    std::_Exit(3);  // its thread is still inside the device: no orderly stop
  }
  return StopDevice(thread);
}

int RunWindow(Session& s, const ProgramImage& program, const std::vector<std::string>& args) {
  WindowHost window;
  std::string error;
  if (!window.Open(s.options.screenWidth, s.options.screenHeight, s.options.scale, error)) {
    Complain("cannot open a window: " + error + " (no display? use --headless)");
    return 1;
  }
  if (s.options.sensor == SensorChoice::Auto) ChooseWindowSensor(s, window);
  if (s.options.sensor == SensorChoice::Controller && !window.HasControllerAccelerometer())
    Complain("--sensor controller: no game controller with an accelerometer is connected; motion starts when one is");
  if (int status = StartDevice(s, program, [&window](const std::string& line) { window.OnTrace(line); }))
    return status;
  if (s.options.vibrator != "none") {
    auto vibrator = std::make_unique<Vibrator>(LinuxForceFeedbackFiles(), ControllerRumble::kRumbleMs,
                                               ControllerRumble::kMissedPulseMs, Complain);
    if (vibrator->Open(s.options.vibrator)) window.AttachVibrator(std::move(vibrator));
  }
  window.Connect(s.keys);
  window.ConnectSensor(s.controller);
  ProgramThread thread;
  thread.Start(program.entry, JoinCommandLine(args), [&window] {
    NoteProgramEnded();
    window.Wake();
  });
  window.Run([&thread] { return thread.Ended(); });
  thread.WaitEnd(std::chrono::hours(1));  // it has ended; this joins it
  window.Disconnect();
  return StopDevice(thread);
}

}  // namespace

int HostMain(const std::vector<std::string>& args, const ProgramImage& program) {
  // Signals are the host's (see CloseOnSignals), never SDL's.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  Session session;
  int status = Prepare(args, session);
  if (status != 0) return status < 0 ? 0 : status;
  return session.options.headless ? RunHeadless(session, program, args) : RunWindow(session, program, args);
}

}  // namespace jphost
