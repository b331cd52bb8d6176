// The headless bench around a small stand-in program: what the script does
// reaches the program at its moment, the end of the script closes it, its
// result is the exit status; and a bad command line runs nothing.
#include <gtest/gtest.h>

#include <SDL.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/AppState.h"
#include "app/WinMain.h"
#include "device/device.h"
#include "host_main.h"
#include "test_app_dir.h"
#include "test_files.h"
#include "ui/composite/ScrollList.h"
#include "x_display.h"

// The window test runs SDL's video in this process, and SDL's D-Bus client
// keeps a connection buffer for the life of the process: not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

// The program's resources, generated from resources/ at build time.
extern const wce::EmbeddedResource kProgramResources[];
extern const size_t kProgramResourceCount;

namespace jphost {
namespace {

std::atomic<bool> gStarted{false};

// Traces the input it gets; closes like a program that saves nothing.
LRESULT CALLBACK FakeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: {
      const char* what = message == WM_LBUTTONDOWN ? "got pen-down " : "got pen-up ";
      wce::Trace(what + std::to_string(LOWORD(lParam)) + " " + std::to_string(HIWORD(lParam)));
      return 0;
    }
    case WM_KEYDOWN: wce::Trace("got key " + std::to_string(wParam)); return 0;
    case WM_DESTROY: PostQuitMessage(5); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

int WINAPI FakeProgram(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
  gStarted = true;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = FakeProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"FakeProgram";
  if (!RegisterClassW(&wc)) return 1;
  HWND hwnd = CreateWindowExW(0, L"FakeProgram", L"Fake", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, NULL, NULL, instance, NULL);
  if (hwnd == NULL) return 1;
  ShowWindow(hwnd, show);
  SetForegroundWindow(hwnd);
  MSG msg;
  while (GetMessageW(&msg, NULL, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

class HostMainTest : public ::testing::Test {
 protected:
  void SetUp() override { gStarted = false; }

  int Run(const std::string& script, std::vector<std::string> extra = {}) {
    jptest::WriteText(temp_ / "run.txt", script);
    std::vector<std::string> args = {"--headless", "--script", temp_ / "run.txt", "--device", temp_ / "device",
                                     "--app-dir", temp_.Path(), "--trace", temp_ / "trace.txt"};
    args.insert(args.end(), extra.begin(), extra.end());
    return HostMain(args, {&FakeProgram, nullptr, 0});
  }

  // What the stand-in traced and how it ended; the device's own events are left out.
  std::string Trace() {
    std::vector<uint8_t> bytes = jptest::ReadFile(temp_ / "trace.txt");
    std::string text(bytes.begin(), bytes.end()), kept;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
      end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      if (line.find(" got ") != std::string::npos || line.find(" exit ") != std::string::npos) kept += line + "\n";
    }
    return kept;
  }

  // HostMain in a 480 x 640 window at zoom 1 on a private X server, on a
  // thread of its own, while `drive` pushes events (it answers whether the
  // window showed); then the window is closed. HostMain's status, or -1 when
  // the window never showed; skips without Xvfb.
  int RunInWindow(const std::vector<std::string>& extra, const ProgramImage& program,
                  const std::function<bool()>& drive) {
    jptest::Xvfb x;
    if (x.display == nullptr) {
      skipped_ = true;
      return -1;
    }
    for (const auto& [name, value] : jptest::WindowModeEnvironment(x)) setenv(name.c_str(), value.c_str(), 1);
    std::vector<std::string> args = {"--device", temp_ / "device", "--audio", "none", "--sensor", "none",
                                     "--vibrator", "none", "--scale", "1"};
    args.insert(args.end(), extra.begin(), extra.end());
    int status = -1;
    std::thread host([&] { status = HostMain(args, program); });
    bool shown = drive();
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    host.join();
    for (const auto& [name, value] : jptest::WindowModeEnvironment(x)) unsetenv(name.c_str());
    return shown ? status : -1;
  }

  jptest::TempDir temp_;
  bool skipped_ = false;
};

TEST_F(HostMainTest, ScriptActionsReachTheProgramAtTheirDeviceTime) {
  EXPECT_EQ(Run("wait 100\ntap 10 20\nwait 200\nkey a\ndrag 1 2 3 4 10\nwait 50\n"), 5);
  EXPECT_EQ(Trace(),
            "100 got pen-down 10 20\n"
            "100 got pen-up 10 20\n"
            "300 got key 65\n"
            "300 got pen-down 1 2\n"
            "310 got pen-up 3 4\n"
            "360 exit 5\n");
}

TEST_F(HostMainTest, ScriptStopsWhenTheProgramHasClosed) {
  EXPECT_EQ(Run("wait 40\nclose\nwait 100\ntap 1 1\n"), 5);
  EXPECT_EQ(Trace(), "40 exit 5\n");
}

TEST_F(HostMainTest, ABadCommandLineOrFileRunsNothing) {
  jptest::WriteText(temp_ / "blocker", "a file where a folder should be");
  struct Case {
    std::string script;
    std::vector<std::string> extra;
  };
  const Case cases[] = {
      {"wait 10\nfly 1\n", {}},
      {"wait 10\n", {"--bogus"}},
      {"wait 10\n", {"--device", temp_ / "blocker/device"}},
      {"wait 10\n", {"--app-dir", temp_ / "no-such-folder"}},
      {"wait 10\n", {"--sensor", "replay:" + (temp_ / "no-such-file")}},
      {"wait 10\n", {"--sensor", "iio:no-such-accelerometer"}},
      {"wait 10\n", {"--sensor", "controller"}},
      {"wait 10\n", {"--trace", temp_ / "no-such-folder/trace.txt"}},
      {"wait 10\n", {"--audio", "wav:" + (temp_ / "no-such-folder/out.wav")}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.script, c.extra), 2) << c.script << (c.extra.empty() ? "" : c.extra[0]);
    EXPECT_FALSE(gStarted) << c.script << (c.extra.empty() ? "" : c.extra[0]);
  }
}

TEST_F(HostMainTest, ListingAudioDevicesRunsNothing) {
  const char* before = std::getenv("SDL_AUDIODRIVER");
  std::string saved = before != nullptr ? before : "";
  struct Case {
    const char* driver;
    int status;
  };
  // SDL's silent driver always starts; a driver that does not exist never does.
  for (const Case& c : {Case{"dummy", 0}, Case{"no-such-driver", 1}}) {
    setenv("SDL_AUDIODRIVER", c.driver, 1);
    EXPECT_EQ(HostMain({"--list-audio-devices"}, {&FakeProgram, nullptr, 0}), c.status) << c.driver;
  }
  if (before != nullptr) {
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
  } else {
    unsetenv("SDL_AUDIODRIVER");
  }
  EXPECT_FALSE(gStarted);
}

void PushFinger(uint32_t type, SDL_FingerID finger, float x, float y) {
  SDL_Event event = {};
  event.type = type;
  event.tfinger.touchId = 1;
  event.tfinger.fingerId = finger;
  event.tfinger.x = x;
  event.tfinger.y = y;
  SDL_PushEvent(&event);
}

// The copy of a touch that SDL makes for programs that only know the mouse.
void PushTouchMouse(uint32_t type, int x, int y) {
  SDL_Event event = {};
  event.type = type;
  event.button.which = SDL_TOUCH_MOUSEID;
  event.button.button = SDL_BUTTON_LEFT;
  event.button.x = x;
  event.button.y = y;
  SDL_PushEvent(&event);
}

// Fingers as a touch screen reports them, pushed into the window's SDL
// queue on a private X server: each tap reaches the program once, and a
// second finger on the glass changes nothing.
TEST_F(HostMainTest, InTheWindowOneFingerAtATimeIsThePen) {
  auto traced = [&](const std::string& what) {
    for (int i = 0; i < 1000; ++i) {
      std::vector<uint8_t> bytes = jptest::ReadFile(temp_ / "trace.txt");
      if (std::string(bytes.begin(), bytes.end()).find(what) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  };
  auto drive = [&] {
    if (!traced(" window shown")) return false;
    // A finger at (0.25, 0.5) is pixel (120, 320).
    PushFinger(SDL_FINGERDOWN, 1, 0.25f, 0.5f);
    PushTouchMouse(SDL_MOUSEBUTTONDOWN, 120, 320);
    PushFinger(SDL_FINGERDOWN, 2, 0.9f, 0.1f);
    PushFinger(SDL_FINGERMOTION, 2, 0.8f, 0.1f);
    PushFinger(SDL_FINGERUP, 2, 0.8f, 0.1f);
    PushFinger(SDL_FINGERMOTION, 1, 0.5f, 0.75f);
    PushTouchMouse(SDL_MOUSEBUTTONUP, 240, 480);
    PushFinger(SDL_FINGERUP, 1, 0.5f, 0.75f);
    PushFinger(SDL_FINGERDOWN, 2, 0.75f, 0.25f);
    PushFinger(SDL_FINGERUP, 2, 0.75f, 0.25f);
    EXPECT_TRUE(traced("got pen-up 360"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // room for a tap arriving twice
    return true;
  };
  int status = RunInWindow({"--app-dir", temp_.Path(), "--trace", temp_ / "trace.txt"}, {&FakeProgram, nullptr, 0},
                           drive);
  if (skipped_) GTEST_SKIP() << "no Xvfb on this machine (apt-get install xvfb)";
  ASSERT_EQ(status, 5) << "the window never showed, or the program did not end with its own status";
  // Device times are real, so they are left out.
  std::string got, trace = Trace();
  for (size_t start = 0, end; (end = trace.find('\n', start)) != std::string::npos; start = end + 1)
    got += trace.substr(trace.find(' ', start) + 1, end - trace.find(' ', start));
  EXPECT_EQ(got, "got pen-down 120 320\ngot pen-up 240 480\ngot pen-down 360 160\ngot pen-up 360 160\nexit 5\n");
}

// A tap of one finger at a point of the 480 x 640 window at zoom 1.
void FingerTap(int x, int y) {
  PushFinger(SDL_FINGERDOWN, 1, x / 480.0f, y / 640.0f);
  PushFinger(SDL_FINGERUP, 1, x / 480.0f, y / 640.0f);
}

// True once the window shows `stem`'s colour at (x, y); false after 20 s.
bool ShowsSoon(int x, int y, const char* stem) {
  for (int i = 0; i < 2000; ++i) {
    wce::ScreenImage screen = wce::CaptureScreen();
    if (screen.width == 480 && screen.pixels[y * 480 + x] == jptest::SkinColour(stem)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// The real program in the window, driven by fingers alone: each tab, the
// sound browser, and a drag that scrolls its list.
TEST_F(HostMainTest, InTheWindowFingersTapThroughThePagesAndDragTheSoundList) {
  jptest::TestPack pack{"Pack1", {}};
  for (int i = 0; i < 20; ++i) pack.sounds.push_back({"Sound" + std::to_string(10 + i) + ".wav", 100});
  ASSERT_TRUE(jptest::WriteTestAppDir(temp_ / "app", {pack}));
  int status = RunInWindow({"--app-dir", temp_ / "app"}, {&WinMain, kProgramResources, kProgramResourceCount}, [] {
    if (!ShowsSoon(5, 537, "Chk_BottomBar_Home_Dn")) return false;
    const struct {
      const char* page;
      int x, y;  // the tap
      int probeX, probeY;
      const char* shows;
    } steps[] = {
        {"Sounds", 240, 586, 165, 537, "Chk_BottomBar_Sounds_Dn"},
        {"Settings", 400, 586, 325, 537, "Chk_BottomBar_Settings_Dn"},
        {"Home", 80, 586, 5, 537, "Chk_BottomBar_Home_Dn"},
        {"Sounds again", 240, 586, 165, 537, "Chk_BottomBar_Sounds_Dn"},
        {"the sound browser", 200, 100, 32, 558, "Btn_BottomBar_Up"},
    };
    for (const auto& step : steps) {
      FingerTap(step.x, step.y);
      if (!ShowsSoon(step.probeX, step.probeY, step.shows)) {
        ADD_FAILURE() << step.page << " never showed";
        return true;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the slide ends
    PushFinger(SDL_FINGERDOWN, 1, 0.25f, 450 / 640.0f);
    for (int y = 430; y >= 250; y -= 20) PushFinger(SDL_FINGERMOTION, 1, 0.25f, y / 640.0f);
    PushFinger(SDL_FINGERUP, 1, 0.25f, 250 / 640.0f);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the glide dies down
    return true;
  });
  if (skipped_) GTEST_SKIP() << "no Xvfb on this machine (apt-get install xvfb)";
  ASSERT_EQ(status, 0) << "Home never showed, or the program did not close cleanly";
  // The program has ended: its list can be read, then its objects go.
  ASSERT_NE(appState.soundList, nullptr);
  EXPECT_GT(appState.soundList->GetScrollOffset(), 0) << "the drag did not scroll the list";
  EXPECT_EQ(appState.soundList->Selection(), -1) << "the drag selected a row";
  ResetAppState();
}

std::atomic<bool> gNever{false};

int WINAPI SpinningProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
  // The volatile count keeps an optimiser from treating the loop as empty.
  volatile long spins = 0;
  while (!gNever.load()) spins = spins + 1;
  return 0;
}

TEST_F(HostMainTest, AProgramThatNeverWaitsEndsTheRunWithStatusThree) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  jptest::WriteText(temp_ / "run.txt", "wait 100\n");
  std::vector<std::string> args = {"--headless", "--script", temp_ / "run.txt", "--device", temp_ / "device",
                                   "--app-dir", temp_.Path()};
  EXPECT_EXIT(
      {
        wce::SetStallLimit(std::chrono::milliseconds(200));
        HostMain(args, {&SpinningProgram, nullptr, 0});
      },
      ::testing::ExitedWithCode(3), "device time cannot move: thread [0-9]+ .*has not waited for 0.2 s");
}

}  // namespace
}  // namespace jphost
