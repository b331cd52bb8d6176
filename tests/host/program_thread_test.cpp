// WinMain's own thread: it counts for the clock from the moment Start
// returns, gets the command line, and its return is traced and kept.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "device/device.h"
#include "harmless_programs.h"
#include "program_thread.h"
#include "test_files.h"

namespace jphost {
namespace {

std::wstring gCommandLine;
int gShow = -1;
bool gInstanceIsTheProgram = false;

int WINAPI SleepyProgram(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show) {
  gCommandLine = commandLine;
  gShow = show;
  gInstanceIsTheProgram = instance == GetModuleHandleW(nullptr) && previous == nullptr;
  Sleep(1000);
  return 7;
}

TEST(ProgramThread, RunsOnTheDeviceClockAndTracesItsExit) {
  jptest::TempDir temp;
  wce::DeviceConfig config;
  config.deviceDir = temp.Path();
  config.modulePath = temp / "Jostlepad.exe";
  jptest::UseHarmlessPrograms(config);
  ASSERT_TRUE(wce::DeviceStart(config));
  std::mutex mutex;
  std::vector<std::string> trace;
  wce::SetTraceSink([&](const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex);
    trace.push_back(line);
  });

  wce::ClockAdvanceTo(0);
  ProgramThread program;
  program.Start(&SleepyProgram, L"a \"b c\"");
  // Time had no chance to slip past the start: the program's second lasts a second.
  wce::ClockAdvanceTo(500);
  EXPECT_FALSE(program.Ended());
  wce::ClockAdvanceTo(5000);
  ASSERT_TRUE(program.WaitEnd(std::chrono::seconds(10)));
  EXPECT_TRUE(program.Ended());
  EXPECT_EQ(program.ExitCode(), 7);
  EXPECT_EQ(gCommandLine, L"a \"b c\"");
  EXPECT_EQ(gShow, SW_SHOW);
  EXPECT_TRUE(gInstanceIsTheProgram);
  {
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(trace, std::vector<std::string>{"1000 exit 7"});
  }
  wce::SetTraceSink(nullptr);
  wce::DeviceStop();
}

TEST(ProgramThread, CommandLineIsTheArgumentsInWideText) {
  EXPECT_EQ(JoinCommandLine({}), L"");
  EXPECT_EQ(JoinCommandLine({"--headless", "--script", "my run.txt", ""}), L"--headless --script \"my run.txt\" \"\"");
  EXPECT_EQ(JoinCommandLine({"caf\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x8E\xB5"}), L"caf\u00E9 \u20AC \U0001F3B5");
}

TEST(ProgramThread, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(WideFromUtf8("a\xFF" "b"), L"a\uFFFDb");
  EXPECT_EQ(WideFromUtf8("\xC3"), L"\uFFFD");                 // cut short
  EXPECT_EQ(WideFromUtf8("\xC0\xAF"), L"\uFFFD\uFFFD");       // overlong '/'
  EXPECT_EQ(WideFromUtf8("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD");  // a surrogate
}

}  // namespace
}  // namespace jphost
