#include "program_fixture.h"

#include <regext.h>

#include <cstring>

#include "app/AppState.h"
#include "app/WinMain.h"
#include "device/device.h"
#include "wav_builder.h"

namespace apptest {

const wchar_t kSettingsKey[] = L"Software\\Marrowfen\\Jostlepad\\Settings";

void ProgramTest::RecordAudio() {
  config_.audio.kind = wce::AudioSinkKind::Recording;
  config_.audio.recordingPath = temp_ / "recording.wav";
  config_.audio.rate = kRate;
}

void ProgramTest::SetUp() {
  wce::SetTraceSink([this](const std::string& line) {
    std::lock_guard<std::mutex> lock(traceMutex_);
    trace_.push_back(line);
  });
  DeviceTest::SetUp();
}

void ProgramTest::TearDown() {
  if (program_ != nullptr) CloseProgram();
  ResetAppState();
  DeviceTest::TearDown();
  wce::SetTraceSink(nullptr);
}

DWORD WINAPI ProgramTest::RunProgram(LPVOID) {
  static WCHAR commandLine[] = L"";
  return static_cast<DWORD>(WinMain(GetModuleHandleW(NULL), NULL, commandLine, SW_SHOW));
}

void ProgramTest::StartProgram() {
  program_ = CreateThread(NULL, 0, RunProgram, this, 0, NULL);
  ASSERT_NE(program_, nullptr);
  wce::UnregisterProgramThread();
}

int ProgramTest::WaitForProgram() {
  // Whatever is left (the loader's wait, say) runs free now.
  wce::ClockRelease();
  WaitForSingleObject(program_, INFINITE);
  DWORD code = 0;
  GetExitCodeThread(program_, &code);
  CloseHandle(program_);
  program_ = nullptr;
  exitCode_ = static_cast<int>(code);
  return exitCode_;
}

int ProgramTest::CloseProgram() {
  wce::RequestClose();
  return WaitForProgram();
}

std::vector<std::string> ProgramTest::Events(const std::string& prefix) const {
  std::lock_guard<std::mutex> lock(traceMutex_);
  std::vector<std::string> events;
  for (const std::string& line : trace_) {
    std::string event = line.substr(line.find(' ') + 1);
    if (event.rfind(prefix, 0) == 0) events.push_back(event);
  }
  return events;
}

std::vector<uint64_t> ProgramTest::TimesOf(const std::string& event) const {
  std::lock_guard<std::mutex> lock(traceMutex_);
  std::vector<uint64_t> times;
  for (const std::string& line : trace_) {
    size_t blank = line.find(' ');
    if (blank != std::string::npos && line.substr(blank + 1) == event) {
      times.push_back(std::stoull(line.substr(0, blank)));
    }
  }
  return times;
}

void ProgramTest::WriteSound(const std::string& pack, const std::string& file, const std::vector<int16_t>& samples) {
  std::string folder = temp_ / ("app/Sounds/" + pack);
  ASSERT_TRUE(jptest::MakeDirs(folder));
  jptest::WavFormat format;
  format.rate = kRate;
  ASSERT_TRUE(jptest::WriteFile(folder + "/" + file, jptest::CanonicalWav(format, jptest::Pcm16(samples))));
}

void ProgramTest::SetSetting(const wchar_t* name, const wchar_t* text) {
  ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, kSettingsKey, name, text), S_OK);
}

void ProgramTest::SetDwordSetting(const wchar_t* name, DWORD value) {
  ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettingsKey, name, value), S_OK);
}

std::vector<int16_t> ProgramTest::FinishRecording() {
  wce::AudioStop();
  std::vector<int16_t> left = jptest::LeftChannel(jptest::ReadFile(config_.audio.recordingPath));
  return left;
}

std::vector<int16_t> Constant(size_t count, int16_t value) { return std::vector<int16_t>(count, value); }

::testing::AssertionResult FramesAre(const std::vector<int16_t>& heard, size_t from, size_t to, int16_t value) {
  if (heard.size() < to) {
    return ::testing::AssertionFailure() << "recording has " << heard.size() << " frames, wanted " << to;
  }
  for (size_t f = from; f < to; ++f) {
    if (heard[f] != value) {
      return ::testing::AssertionFailure() << "frame " << f << " (" << f * 1000 / kRate << " ms): heard "
                                           << heard[f] << ", expected " << value;
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace apptest
