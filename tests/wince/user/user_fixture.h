// A clean user layer on the virtual clock, one window class whose procedure
// logs what it gets, and the test thread as the program's.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "device/device.h"
#include "device/internal.h"

namespace usertest {

struct Logged {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  DWORD tick;
  DWORD thread;
  LPARAM lParam;
};

inline std::mutex gLogMutex;
inline std::vector<Logged> gLog;

inline std::vector<UINT> LoggedMessages() {
  std::lock_guard<std::mutex> lock(gLogMutex);
  std::vector<UINT> out;
  for (const Logged& l : gLog) out.push_back(l.message);
  return out;
}

// What one kind of message brought, in order.
inline std::vector<Logged> LoggedOf(UINT message) {
  std::lock_guard<std::mutex> lock(gLogMutex);
  std::vector<Logged> out;
  for (const Logged& l : gLog)
    if (l.message == message) out.push_back(l);
  return out;
}

inline void ClearLog() {
  std::lock_guard<std::mutex> lock(gLogMutex);
  gLog.clear();
}

// Collects the device's trace lines while it lives, without their times.
class TraceLog {
 public:
  TraceLog() {
    wce::SetTraceSink([this](const std::string& line) {
      std::lock_guard<std::mutex> lock(mutex_);
      lines_.push_back(line.substr(line.find(' ') + 1));
    });
  }
  ~TraceLog() { wce::SetTraceSink(nullptr); }
  TraceLog(const TraceLog&) = delete;
  TraceLog& operator=(const TraceLog&) = delete;
  // The events since the last call.
  std::vector<std::string> Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(lines_, {});
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

// WM_USER + n returns n * 2; WM_DESTROY of a top-level window quits.
inline LRESULT CALLBACK LogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  {
    std::lock_guard<std::mutex> lock(gLogMutex);
    gLog.push_back({hwnd, msg, wParam, GetTickCount(), GetCurrentThreadId(), lParam});
  }
  if (msg >= WM_USER && msg < WM_USER + 100) return static_cast<LRESULT>(msg - WM_USER) * 2;
  if (msg == WM_DESTROY && !(GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) PostQuitMessage(9);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class UserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wce::ClockReset(wce::ClockMode::Virtual);
    wce::internal::UserReset();
    gLog.clear();
    WNDCLASSW wc{};
    wc.lpfnWndProc = LogProc;
    wc.lpszClassName = L"LogClass";
    ASSERT_NE(RegisterClassW(&wc), 0);
    wce::RegisterProgramThread();
  }
  void TearDown() override {
    wce::UnregisterProgramThread();
    wce::internal::UserReset();
  }
  static HWND NewWindow(DWORD style = 0, HWND parent = nullptr) {
    return CreateWindowExW(0, L"LogClass", L"t", style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, parent, nullptr, nullptr, nullptr);
  }
};

inline HWND WithLowBit(HWND h) { return reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(h) | 1); }

}  // namespace usertest
