// A jerk's path through the running program: from WM_MOTION posted to the
// main window (what a detector does when it fires) to the slot's first sample
// coming out of the mixer. The program thread takes the message, plays the
// slot (reset and write of its prepared buffer) and pulses the motor; this
// thread renders the mix one 256-frame period at a time until the sound is
// there. Goal: within one period (5.3 ms at 48 kHz).
#include <benchmark/benchmark.h>

#include <windows.h>

#include <mutex>
#include <string>

#include "app/AppState.h"
#include "app/WinMain.h"
#include "audio/wave_out_driver.h"
#include "device/device.h"
#include "kernel/clock.h"
#include "sound/MotionDetector.h"
#include "test_app_dir.h"
#include "test_files.h"

namespace {

const size_t kPeriod = 256;

DWORD WINAPI RunProgram(LPVOID) {
  static WCHAR commandLine[] = L"";
  return static_cast<DWORD>(WinMain(GetModuleHandleW(NULL), NULL, commandLine, SW_SHOW));
}

// One period of the mix; true when its first frame is the slot's sound.
bool FirstFrameSounds(int16_t value) {
  int16_t frames[kPeriod * 2];
  std::lock_guard<std::mutex> lock(wce::DeviceLock());
  wce::audio::Driver().RenderS16Locked(frames, kPeriod);
  return frames[0] == value;
}

void BM_JerkToFirstSample(benchmark::State& state) {
  jptest::TempDir temp;
  // Slot 2 (an x jerk in the positive direction, code 4) holds a second of one value.
  std::vector<jptest::TestPack> packs = {{"Pack", {{"Long.wav", 2000, 1000}}}};
  if (!jptest::WriteTestAppDir(temp / "app", packs)) return state.SkipWithError("no app folder");
  jptest::TestSettings settings;
  settings.slotFolder[1] = "Pack";
  settings.slotName[1] = "Long.wav";
  jptest::MakeDirs(temp / "device");
  jptest::WriteText(temp / "device/registry.reg", jptest::TestHive(settings));

  wce::DeviceConfig config;
  config.deviceDir = temp / "device";
  config.modulePath = temp / "app/Jostlepad.exe";
  // The recording renders only as the clock moves, and it stands still while
  // this thread renders the periods it looks at.
  config.audio.kind = wce::AudioSinkKind::Recording;
  config.audio.recordingPath = temp / "out.wav";
  if (!wce::DeviceStart(config)) return state.SkipWithError("no device");
  wce::ClockAdvanceTo(0);
  HANDLE program = CreateThread(NULL, 0, RunProgram, NULL, 0, NULL);
  wce::UnregisterProgramThread();
  wce::InjectActivate(true);
  wce::ClockAdvanceTo(2500);
  if (IsLoading() || appState.mainWindow == NULL) state.SkipWithError("the program did not start");

  uint64_t now = 2500;
  int64_t polls = 0;
  for (auto _ : state) {
    PostMessageW(appState.mainWindow, WM_MOTION, 4, 0);
    int tries = 0;
    while (!FirstFrameSounds(2000) && ++tries < 1000000) {
    }
    polls += tries + 1;
    if (tries == 1000000) {
      state.SkipWithError("the slot never sounded");
      break;
    }
    state.PauseTiming();
    // Let the pulse's 25 ms run out, so each jerk starts from rest.
    now += 50;
    wce::ClockAdvanceTo(now);
    state.ResumeTiming();
  }
  // Periods rendered (silent ones while the program is still at work, then the sounding one).
  state.counters["polls"] = benchmark::Counter(static_cast<double>(polls), benchmark::Counter::kAvgIterations);

  wce::RequestClose();
  wce::ClockRelease();
  WaitForSingleObject(program, INFINITE);
  CloseHandle(program);
  ResetAppState();
  wce::DeviceStop();
}

}  // namespace

BENCHMARK(BM_JerkToFirstSample)->Unit(benchmark::kMicrosecond)->UseRealTime();

BENCHMARK_MAIN();
