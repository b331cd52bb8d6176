// The whole program on a fresh device: WinMain on a program thread of its
// own, this test thread driving the virtual clock, the trace collected, and
// helpers for sounds and settings.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "device_fixture.h"

namespace apptest {

constexpr uint32_t kRate = 48000;
constexpr size_t FrameAt(uint64_t ms) { return static_cast<size_t>(ms * kRate / 1000); }

extern const wchar_t kSettingsKey[];

// A device with the trace collected; the program is started by the test.
class ProgramTest : public jptest::DeviceTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Before SetUp: the audio goes into a recording that follows the clock.
  void RecordAudio();

  // WinMain on its own thread; from here on this thread drives the clock.
  void StartProgram();
  // The system asks the program to close; WinMain's result once it has ended.
  int CloseProgram();
  bool ProgramRunning() const { return program_ != nullptr; }

  // Trace events starting with `prefix`, without their time stamps, and the
  // times of one event.
  std::vector<std::string> Events(const std::string& prefix = "") const;
  std::vector<uint64_t> TimesOf(const std::string& event) const;
  bool Traced(const std::string& event) const { return !TimesOf(event).empty(); }

  // A mono 16-bit file in Sounds/<pack>/ next to the executable.
  void WriteSound(const std::string& pack, const std::string& file, const std::vector<int16_t>& samples);
  void SetSetting(const wchar_t* name, const wchar_t* text);
  void SetDwordSetting(const wchar_t* name, DWORD value);
  // Ends the recording and returns its left channel, one value a frame.
  std::vector<int16_t> FinishRecording();

 private:
  static DWORD WINAPI RunProgram(LPVOID self);
  int WaitForProgram();

  HANDLE program_ = nullptr;
  int exitCode_ = -1;
  mutable std::mutex traceMutex_;
  std::vector<std::string> trace_;
};

std::vector<int16_t> Constant(size_t count, int16_t value);

// Frames [from, to) of `heard` all equal `value`.
::testing::AssertionResult FramesAre(const std::vector<int16_t>& heard, size_t from, size_t to, int16_t value);

}  // namespace apptest
