// Time and threads: GetTickCount, Sleep, CreateThread and waiting for threads.
// Every wait goes through ClockWait so the virtual clock sees it.
#include "kernel/thread.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "device/device.h"
#include "kernel/clock.h"
#include "kernel/handles.h"
#include "kernel/sync.h"

namespace wce {
namespace {

struct ThreadObject {
  DWORD id = 0;
  // guarded by DeviceLock()
  bool finished = false;
  DWORD exitCode = STILL_ACTIVE;
};

HandleTable<ThreadObject>& Threads() {
  static auto* table = new HandleTable<ThreadObject>(HandleKind::Thread);  // outlives detached threads
  return *table;
}

std::mutex& HookMutex() {
  static auto* m = new std::mutex;
  return *m;
}

std::vector<CloseHandleHook>& Hooks() {
  static auto* hooks = new std::vector<CloseHandleHook>;
  return *hooks;
}

std::vector<ThreadExitHook>& ExitHooks() {
  static auto* hooks = new std::vector<ThreadExitHook>;
  return *hooks;
}

template <class Hook>
std::vector<Hook> Copy(const std::vector<Hook>& hooks) {
  std::lock_guard<std::mutex> lock(HookMutex());
  return hooks;
}

template <class Hook>
void AddOnce(std::vector<Hook>& hooks, Hook hook) {
  std::lock_guard<std::mutex> lock(HookMutex());
  if (std::find(hooks.begin(), hooks.end(), hook) == hooks.end()) hooks.push_back(hook);
}

std::atomic<DWORD> gNextThreadId{0x100};
size_t gLiveThreads = 0;  // guarded by DeviceLock()
thread_local DWORD tlThreadId = 0;
thread_local DWORD tlLastError = 0;

uint64_t DeadlineAfter(DWORD ms) {
  return ms == INFINITE ? kNoDeadline : ClockNowLocked() + ms;
}


void RunThread(std::shared_ptr<ThreadObject> self, LPTHREAD_START_ROUTINE proc, LPVOID parameter) {
  tlThreadId = self->id;
  {
    std::lock_guard<std::mutex> lock(DeviceLock());
    ClockClaimProgramThread();
    ClockDescribeThread(reinterpret_cast<const void*>(proc), std::string());
  }
  DWORD code = proc(parameter);
  for (ThreadExitHook hook : Copy(ExitHooks())) hook();
  std::lock_guard<std::mutex> lock(DeviceLock());
  self->exitCode = code;
  self->finished = true;
  gLiveThreads--;
  ClockNotifyAll();
  ClockUnregisterLocked();
}

}  // namespace

void AddCloseHandleHook(CloseHandleHook hook) { AddOnce(Hooks(), hook); }

void AddThreadExitHook(ThreadExitHook hook) { AddOnce(ExitHooks(), hook); }

size_t LiveThreadCount() {
  std::lock_guard<std::mutex> lock(DeviceLock());
  return gLiveThreads;
}

void ThreadHandlesReset() {
  Threads().Clear();
  tlLastError = 0;
}

}  // namespace wce

using namespace wce;

extern "C" {

DWORD WINAPI GetTickCount(void) { return static_cast<DWORD>(ClockNowMs()); }

void WINAPI Sleep(DWORD dwMilliseconds) {
  std::unique_lock<std::mutex> lock(DeviceLock());
  if (dwMilliseconds == 0) {
    // A yield; in a loop, a wait for whatever happens next (see ClockPollWait).
    ClockPollWait(lock, [] { return false; }, kNoDeadline);
    lock.unlock();
    std::this_thread::yield();
    return;
  }
  ClockWait(lock, [] { return false; }, DeadlineAfter(dwMilliseconds));
}

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, DWORD, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD, LPDWORD lpThreadId) {
  if (!lpStartAddress) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto object = std::make_shared<ThreadObject>();
  object->id = gNextThreadId.fetch_add(1);
  uintptr_t handle = Threads().Insert(object);
  {
    // The creator and the new thread both count from now on, so time cannot
    // run ahead before the new thread gets going.
    std::lock_guard<std::mutex> lock(DeviceLock());
    if (!ClockIsProgramThread()) {
      ClockReserveProgramThread();
      ClockClaimProgramThread();
    }
    ClockReserveProgramThread();
    gLiveThreads++;
  }
  try {
    std::thread(RunThread, object, lpStartAddress, lpParameter).detach();
  } catch (...) {
    std::lock_guard<std::mutex> lock(DeviceLock());
    ClockReleaseProgramThread();  // the thread never started
    gLiveThreads--;
    Threads().Remove(handle);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (lpThreadId) *lpThreadId = object->id;
  return reinterpret_cast<HANDLE>(handle);
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  std::shared_ptr<ThreadObject> thread = Threads().Lookup(hHandle);
  if (!thread) {
    DWORD result = WAIT_FAILED;
    if (WaitForEvent(hHandle, dwMilliseconds, result)) return result;
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  std::unique_lock<std::mutex> lock(DeviceLock());
  bool done = ClockWait(lock, [&] { return thread->finished; }, DeadlineAfter(dwMilliseconds));
  return done ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
  std::shared_ptr<ThreadObject> thread = Threads().Lookup(hThread);
  if (!thread) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!lpExitCode) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(DeviceLock());
  *lpExitCode = thread->exitCode;
  return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  if (Threads().Remove(hObject)) return TRUE;  // the thread itself runs on
  if (CloseEvent(hObject)) return TRUE;
  for (CloseHandleHook hook : Copy(Hooks()))
    if (hook(hObject)) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

DWORD WINAPI GetCurrentThreadId(void) {
  if (tlThreadId == 0) tlThreadId = gNextThreadId.fetch_add(1);
  return tlThreadId;
}

DWORD WINAPI GetLastError(void) { return tlLastError; }

void WINAPI SetLastError(DWORD dwErrCode) { tlLastError = dwErrCode; }

}  // extern "C"
