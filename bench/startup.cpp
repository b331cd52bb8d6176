// Headless start-up: the real time the program needs to get through its 2000 ms
// of device time (window, loader thread, eleven steps with the skin, the splash
// composed at every step, its minimum hold) on the virtual clock, with the
// staged skin and sound packs; and the screen layout alone, the 62 controls
// made, skinned and hung in their tree.
#include <benchmark/benchmark.h>

#include <windows.h>

#include <string>

#include "app/AppState.h"
#include "app/ScreenLayout.h"
#include "app/WinMain.h"
#include "device/device.h"
#include "test_files.h"

namespace {

DWORD WINAPI RunProgram(LPVOID) {
  static WCHAR commandLine[] = L"";
  return static_cast<DWORD>(WinMain(GetModuleHandleW(NULL), NULL, commandLine, SW_SHOW));
}

void BM_StartupToEndOfLoading(benchmark::State& state) {
  jptest::TempDir temp;
  jptest::MakeDirs(temp / "device");
  wce::DeviceConfig config;
  config.deviceDir = temp / "device";
  config.modulePath = std::string(JP_STAGE_DIR) + "/Jostlepad.exe";
  for (auto _ : state) {
    state.PauseTiming();
    wce::DeviceStart(config);
    wce::ClockAdvanceTo(0);  // time moves only as far as we say
    state.ResumeTiming();

    HANDLE program = CreateThread(NULL, 0, RunProgram, NULL, 0, NULL);
    wce::UnregisterProgramThread();  // CreateThread counted us in; we only drive
    wce::ClockAdvanceTo(2000);
    if (IsLoading()) state.SkipWithError("still loading at 2000 ms");

    state.PauseTiming();
    wce::RequestClose();
    wce::ClockRelease();
    WaitForSingleObject(program, INFINITE);
    CloseHandle(program);
    ResetAppState();
    wce::DeviceStop();
    state.ResumeTiming();
  }
}

void BM_BuildScreen(benchmark::State& state) {
  jptest::TempDir temp;
  jptest::MakeDirs(temp / "device");
  wce::DeviceConfig config;
  config.deviceDir = temp / "device";
  config.modulePath = std::string(JP_STAGE_DIR) + "/Jostlepad.exe";
  wce::DeviceStart(config);
  appState.skin.reset(new Skin());
  std::wstring skinFolder = wce::PosixPathToDevice(std::string(JP_STAGE_DIR) + "/Skin/");
  appState.skin->Load(skinFolder.c_str(), L"");
  for (auto _ : state) {
    BuildScreen();
    state.PauseTiming();
    DeleteControls();
    state.ResumeTiming();
  }
  ResetAppState();
  wce::DeviceStop();
}

}  // namespace

BENCHMARK(BM_StartupToEndOfLoading)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildScreen)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
