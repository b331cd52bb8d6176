// The platform helpers on a fresh device: display orientation, full screen,
// the keep-awake timer and its period, the browser.
#include <gtest/gtest.h>

#include <windows.h>
#include <regext.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/Browser.h"
#include "app/DisplayHelpers.h"
#include "app/KeepAwakeTimer.h"
#include "device/device.h"
#include "program_fixture.h"
#include "test_files.h"

namespace {

// A window of this thread's own to hang timers and full screen on.
class HelpersTest : public apptest::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = L"HelperTestClass";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    window_ = CreateWindowExW(0, L"HelperTestClass", L"helper", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, NULL, NULL);
    ASSERT_NE(window_, nullptr);
  }

  // Handles this thread's messages and timers until device time `ms`.
  void PumpUntil(uint64_t ms) {
    SetTimer(window_, kStopPump, static_cast<UINT>(ms - wce::ClockNowMs()), StopPump);
    MSG message;
    while (GetMessageW(&message, NULL, 0, 0) > 0) DispatchMessageW(&message);
  }
  static void CALLBACK StopPump(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    PostQuitMessage(0);
  }

  void UseHive(const std::string& text) {
    std::string path = temp_ / "hive.reg";
    ASSERT_TRUE(jptest::WriteText(path, "Windows Registry Editor Version 5.00\n\n" + text));
    ASSERT_TRUE(wce::RegistryOpenHive(path));
  }

  static const UINT_PTR kStopPump = 99;
  HWND window_ = nullptr;
};

TEST_F(HelpersTest, OrientationChangesOnlyWhenItDiffers) {
  EXPECT_EQ(GetDisplayOrientation(), DMDO_0);
  EXPECT_FALSE(SetDisplayOrientation(DMDO_0));  // already unrotated: only the queries
  EXPECT_TRUE(Events("orientation").empty());
  EXPECT_TRUE(SetDisplayOrientation(DMDO_90));
  EXPECT_EQ(GetDisplayOrientation(), DMDO_90);
  // A saved -1 (never activated) is refused by the system.
  EXPECT_FALSE(SetDisplayOrientation(-1));
  EXPECT_EQ(GetDisplayOrientation(), DMDO_90);
  EXPECT_TRUE(SetDisplayOrientation(DMDO_0));
  EXPECT_EQ(Events("orientation"), (std::vector<std::string>{"orientation 1", "orientation 0"}));
}

TEST_F(HelpersTest, FullScreenCoversTheScreenAndLeavingReturnsToTheWorkArea) {
  wce::ScreenSize size = wce::GetScreenSize();
  RECT rect = {};
  EXPECT_EQ(SetFullScreen(window_, true), 1);
  ASSERT_TRUE(GetWindowRect(window_, &rect));
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, size.width);
  EXPECT_EQ(rect.bottom, size.height);

  EXPECT_EQ(SetFullScreen(window_, false), 1);
  RECT workArea = {};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0));
  ASSERT_GT(workArea.top, 0);  // the task bar is back
  ASSERT_TRUE(GetWindowRect(window_, &rect));
  EXPECT_EQ(rect.left, workArea.left);
  EXPECT_EQ(rect.top, workArea.top);
  EXPECT_EQ(rect.right, workArea.right);
  EXPECT_EQ(rect.bottom, workArea.bottom);
  EXPECT_EQ(Events("fullscreen"), (std::vector<std::string>{"fullscreen on", "fullscreen off"}));
}

TEST_F(HelpersTest, KeepAwakePeriodIsNinetyPercentOfTheShortestPositiveTimeout) {
  const std::string kPowerKey = "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Power]\n";
  const struct {
    const char* values;
    int expected;
  } kCases[] = {
      {"\"BattPowerOff\"=dword:000000b4\n\"ExtPowerOff\"=dword:0000012c\n\"ScreenPowerOff\"=dword:0000003c\n",
       54000},
      {"\"BattPowerOff\"=dword:00000000\n", 900000},
      {"\"BattPowerOff\"=dword:00001388\n", 900000},                                  // 5000 s: too long
      {"\"BattPowerOff\"=dword:00001388\n\"ExtPowerOff\"=dword:00000078\n", 108000},  // a shorter one counts
      {"\"BattPowerOff\"=dword:00001388\n\"ScreenPowerOff\"=dword:000007d0\n", 900000},
      {"\"BattPowerOff\"=dword:000003e8\n", 900000},
      {"\"BattPowerOff\"=dword:00000001\n", 900},
      {"\"ExtPowerOff\"=dword:0000012c\n", 270000},
      {"\"BattPowerOff\"=dword:000000b4\n\"ScreenPowerOff\"=\"30\"\n", 162000},  // text is no timeout
      {"", 900000},
  };
  for (const auto& c : kCases) {
    UseHive(kPowerKey + c.values);
    EXPECT_EQ(ShortestPowerTimeout(), c.expected) << c.values;
  }
  UseHive("");  // no power key at all
  EXPECT_EQ(ShortestPowerTimeout(), 900000);
}

TEST_F(HelpersTest, KeepAwakeStartsOneTimerStopsTwiceHarmlesslyAndRereadsThePeriod) {
  UseHive("[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Power]\n\"ScreenPowerOff\"=dword:00000001\n");
  static KeepAwakeTimer* timer = nullptr;
  KeepAwakeTimer keepAwake(window_, 6, [](HWND, UINT, UINT_PTR, DWORD) { timer->Tick(); });
  timer = &keepAwake;
  EXPECT_FALSE(keepAwake.IsRunning());
  keepAwake.Start();
  EXPECT_EQ(keepAwake.Period(), 900u);
  PumpUntil(450);
  keepAwake.Start();  // already running: the first timer keeps its phase
  PumpUntil(2000);
  keepAwake.Stop();
  keepAwake.Stop();
  EXPECT_FALSE(keepAwake.IsRunning());
  PumpUntil(3000);
  EXPECT_EQ(TimesOf("idle-reset"), (std::vector<uint64_t>{900, 1800}));

  // A new start reads the power settings again.
  UseHive("[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Power]\n\"ScreenPowerOff\"=dword:00000002\n");
  keepAwake.Start();
  EXPECT_EQ(keepAwake.Period(), 1800u);
  PumpUntil(5000);
  EXPECT_EQ(TimesOf("idle-reset"), (std::vector<uint64_t>{900, 1800, 4800}));
  // A tick that arrives after the stop resets nothing.
  keepAwake.Stop();
  keepAwake.Tick();
  EXPECT_EQ(TimesOf("idle-reset").size(), 3u);
  timer = nullptr;
}

// What a started program wrote into the pipe, waiting at most 10 s for it.
// Opened afresh each time, so that an earlier writer's end is not seen.
std::string ReadPipe(int fd) {
  if (fd < 0) return "(no pipe)";
  pollfd ready = {fd, POLLIN, 0};
  if (poll(&ready, 1, 10000) != 1) return "(nothing came)";
  std::string text;
  char buffer[256];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof(buffer));
    if (n > 0) {
      text.append(buffer, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EAGAIN) {
      if (poll(&ready, 1, 10000) != 1) break;
      continue;
    }
    break;  // the writer is done
  }
  close(fd);
  return text;
}

TEST_F(HelpersTest, BrowserIsTheFirstQuotedTokenOfItsRegistryEntry) {
  // The "browser" tells what it was given through a pipe.
  std::string pipe = temp_ / "opened";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::string script = temp_ / "browser.sh";
  ASSERT_TRUE(jptest::WriteText(script, "#!/bin/sh\nprintf '%s' \"$*\" > '" + pipe + "'\n"));
  ASSERT_EQ(chmod(script.c_str(), 0755), 0);
  auto openPipe = [&] { return open(pipe.c_str(), O_RDONLY | O_NONBLOCK); };
  std::wstring program = wce::PosixPathToDevice(script);
  const WCHAR kKey[] = L"Software\\Microsoft\\Shell\\Rai\\:DEFBROWSER";
  auto setEntry = [&](const std::wstring& entry) {
    ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, kKey, L"1", entry.c_str()), S_OK);
  };

  // A quoted path, a blank and a placeholder: the path without its quotes.
  setEntry(L"\"" + program + L"\" %1");
  int reader = openPipe();
  OpenInDefaultBrowser(L"pay.example.org/jostlepad");
  EXPECT_EQ(Events("start-program"), std::vector<std::string>{"start-program " + script + " pay.example.org/jostlepad"});
  EXPECT_EQ(ReadPipe(reader), "pay.example.org/jostlepad");

  // Without quotes the whole entry is the path: a bare path starts, one with
  // a placeholder names no program.
  setEntry(program);
  reader = openPipe();
  OpenInDefaultBrowser(L"a.example.org");
  EXPECT_EQ(ReadPipe(reader), "a.example.org");
  setEntry(program + L" %1");
  OpenInDefaultBrowser(L"b.example.org");
  EXPECT_EQ(Events("start-program").back(), "start-program-failed " + script + " %1 b.example.org");

  // No token at all: nothing is started.
  size_t starts = Events("start-program").size();
  setEntry(L"");
  OpenInDefaultBrowser(L"c.example.org");
  setEntry(L"\"\"");
  OpenInDefaultBrowser(L"d.example.org");
  EXPECT_EQ(Events("start-program").size(), starts);
}

}  // namespace
