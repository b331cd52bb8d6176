// Kernel threads: creation, waiting, exit codes, handles and per-thread errors.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "device/device.h"

namespace {

class ThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wce::ClockReset(wce::ClockMode::Virtual);
    wce::RegisterProgramThread();
  }
  void TearDown() override { wce::UnregisterProgramThread(); }
};

DWORD WINAPI SleepThenReturn7(LPVOID) {
  Sleep(500);
  return 7;
}

TEST_F(ThreadTest, WaitTimesOutThenSeesTheExit) {
  DWORD id = 0;
  HANDLE h = CreateThread(nullptr, 0, SleepThenReturn7, nullptr, 0, &id);
  ASSERT_NE(h, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, GetCurrentThreadId());

  EXPECT_EQ(WaitForSingleObject(h, 100), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(GetTickCount(), 100u);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(h, &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));

  EXPECT_EQ(WaitForSingleObject(h, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(GetTickCount(), 500u);
  ASSERT_TRUE(GetExitCodeThread(h, &code));
  EXPECT_EQ(code, 7u);
  EXPECT_EQ(WaitForSingleObject(h, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_TRUE(CloseHandle(h));
}

TEST_F(ThreadTest, BadAndClosedHandlesFail) {
  HANDLE h = CreateThread(nullptr, 0, SleepThenReturn7, nullptr, 0, nullptr);
  ASSERT_TRUE(CloseHandle(h));

  HANDLE bad[] = {nullptr, h, INVALID_HANDLE_VALUE,
                  reinterpret_cast<HANDLE>(reinterpret_cast<uintptr_t>(h) | 1),
                  reinterpret_cast<HANDLE>(uintptr_t{0x12345678})};
  for (HANDLE b : bad) {
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(b, INFINITE), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeThread(b, &code));
    EXPECT_FALSE(CloseHandle(b));
  }
  Sleep(1000);  // let the thread finish inside this test
}

TEST_F(ThreadTest, ClosedThreadRunsOn) {
  struct Work {
    std::atomic<DWORD> ranAt{0};
  } work;
  HANDLE h = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
    Sleep(50);
    static_cast<Work*>(p)->ranAt = GetTickCount();
    return 0;
  }, &work, 0, nullptr);
  ASSERT_TRUE(CloseHandle(h));
  Sleep(100);
  EXPECT_EQ(work.ranAt.load(), 50u);
}

TEST_F(ThreadTest, ThreadSeesItsOwnIdAndLastError) {
  struct Seen {
    DWORD id, error;
  } seen{0, 1};
  SetLastError(ERROR_FILE_NOT_FOUND);
  DWORD id = 0;
  HANDLE h = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
    *static_cast<Seen*>(p) = {GetCurrentThreadId(), GetLastError()};
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }, &seen, 0, &id);
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
  EXPECT_EQ(seen.id, id);
  EXPECT_EQ(seen.error, 0u);  // last errors are per thread
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(ThreadTest, NullProcedureFails) {
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
