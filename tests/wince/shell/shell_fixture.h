// A fresh whole device per test, the test thread as the program's, the trace
// collected, and a full-screen window to hand to SHFullScreen.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "device/device.h"
#include "harmless_programs.h"
#include "test_files.h"

namespace shelltest {

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wce::SetScreenSize(480, 640);
    wce::SetScreenDpi(192, 192);
    config_.deviceDir = temp_ / "device";
    ASSERT_TRUE(jptest::MakeDirs(config_.deviceDir));
    config_.modulePath = temp_ / "app/Jostlepad.exe";
    jptest::UseHarmlessPrograms(config_);
    ASSERT_TRUE(wce::DeviceStart(config_));
    wce::RegisterProgramThread();
    wce::SetTraceSink([this](const std::string& line) {
      std::lock_guard<std::mutex> guard(traceLock_);
      trace_.push_back(line);
    });
  }

  void TearDown() override {
    wce::SetTraceSink(nullptr);
    wce::UnregisterProgramThread();
    wce::DeviceStop();
    wce::SetScreenSize(480, 640);
    wce::SetScreenDpi(192, 192);
  }

  // The trace so far, without the device times.
  std::vector<std::string> Events() {
    std::lock_guard<std::mutex> guard(traceLock_);
    std::vector<std::string> events;
    for (const std::string& line : trace_) events.push_back(line.substr(line.find(' ') + 1));
    return events;
  }

  void ClearTrace() {
    std::lock_guard<std::mutex> guard(traceLock_);
    trace_.clear();
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }

  // A shown top-level window covering the screen.
  HWND NewWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = L"ShellTestClass";
    RegisterClassW(&wc);  // a second test registers again on a fresh device
    HWND hwnd = CreateWindowExW(0, L"ShellTestClass", L"shell", WS_VISIBLE, 0, 0, 480, 640, nullptr, nullptr,
                                nullptr, nullptr);
    EXPECT_NE(hwnd, nullptr);
    return hwnd;
  }

  jptest::TempDir temp_;
  wce::DeviceConfig config_;

 private:
  std::mutex traceLock_;
  std::vector<std::string> trace_;
};

}  // namespace shelltest
