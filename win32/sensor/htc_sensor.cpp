// HTCSensorSDK.dll for a desktop: the phone lies still, face up, and the
// keyboard jerks it, as on the Linux device: right/left +X/-X, down/up +Y/-Y,
// space pushes Z further from rest. Each jerk is a short excursion that rises,
// peaks above what the least sensitive setting needs and falls back, held
// 50 ms a step so a detector polling every 50 ms sees every step. Keys count
// only while a window of the reading process is in front.
#include <windows.h>

namespace {

const SHORT kRestZ = -1000;
const ULONGLONG kStepMs = 50;
const SHORT kProfile[] = {500, 1200, 1200, 700, 700};
const ULONGLONG kSteps = sizeof(kProfile) / sizeof(kProfile[0]);
// Queued jerks keep two resting steps apart, so a detector re-arms between them.
const ULONGLONG kSpacingMs = kStepMs * (kSteps + 2);
const int kMaxPending = 8;
const size_t kSampleSize = 20;

enum Axis { kX, kY, kZ, kAxes };

struct Key {
  int virtualKey;
  Axis axis;
  int sign;
};
const Key kKeys[] = {
    {VK_RIGHT, kX, 1}, {VK_LEFT, kX, -1}, {VK_DOWN, kY, 1}, {VK_UP, kY, -1}, {VK_SPACE, kZ, -1},
};
const size_t kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);

struct Excursion {
  ULONGLONG start;
  int sign;
};

struct AxisQueue {
  Excursion pending[kMaxPending];
  int count;
  ULONGLONG nextStart;
};

CRITICAL_SECTION lock;
AxisQueue axes[kAxes];
bool keyDown[kKeyCount];
LONG volatile openCount = 0;

bool OursInFront() {
  HWND front = GetForegroundWindow();
  DWORD process = 0;
  return front != NULL && GetWindowThreadProcessId(front, &process) != 0 && process == GetCurrentProcessId();
}

void DropFinished(AxisQueue& queue, ULONGLONG now) {
  int done = 0;
  while (done < queue.count && now >= queue.pending[done].start + kSteps * kStepMs) ++done;
  for (int i = done; i < queue.count; ++i) queue.pending[i - done] = queue.pending[i];
  queue.count -= done;
}

void Start(AxisQueue& queue, int sign, ULONGLONG now) {
  DropFinished(queue, now);
  if (queue.count >= kMaxPending) return;  // held keys do not queue jerks for minutes
  ULONGLONG start = now > queue.nextStart ? now : queue.nextStart;
  queue.pending[queue.count].start = start;
  queue.pending[queue.count].sign = sign;
  ++queue.count;
  queue.nextStart = start + kSpacingMs;
}

int Offset(AxisQueue& queue, ULONGLONG now) {
  DropFinished(queue, now);
  if (queue.count == 0 || now < queue.pending[0].start) return 0;
  return queue.pending[0].sign * kProfile[(now - queue.pending[0].start) / kStepMs];
}

void PollKeys(ULONGLONG now) {
  bool front = OursInFront();
  for (size_t i = 0; i < kKeyCount; ++i) {
    // Bit 0: pressed since the last poll, so a tap between two polls counts.
    SHORT state = GetAsyncKeyState(kKeys[i].virtualKey);
    bool down = (state & 0x8000) != 0;
    bool pressed = (down && !keyDown[i]) || (!down && (state & 1) != 0);
    keyDown[i] = down;
    if (front && pressed) Start(axes[kKeys[i].axis], kKeys[i].sign, now);
  }
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) InitializeCriticalSection(&lock);
  if (reason == DLL_PROCESS_DETACH) DeleteCriticalSection(&lock);
  return TRUE;
}

__declspec(dllexport) HANDLE WINAPI HTCSensorOpen(DWORD) {
  InterlockedIncrement(&openCount);
  return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x5E50));
}

__declspec(dllexport) DWORD WINAPI HTCSensorGetDataOutput(HANDLE sensor, void* sample) {
  if (sample == NULL) return 0;
  ZeroMemory(sample, kSampleSize);
  if (sensor == NULL || InterlockedCompareExchange(&openCount, 0, 0) == 0) return 0;
  ULONGLONG now = GetTickCount64();
  SHORT reading[kAxes];
  EnterCriticalSection(&lock);
  PollKeys(now);
  reading[kX] = static_cast<SHORT>(Offset(axes[kX], now));
  reading[kY] = static_cast<SHORT>(Offset(axes[kY], now));
  reading[kZ] = static_cast<SHORT>(kRestZ + Offset(axes[kZ], now));
  LeaveCriticalSection(&lock);
  CopyMemory(sample, reading, sizeof(reading));
  return 1;
}

__declspec(dllexport) void WINAPI HTCSensorClose(HANDLE sensor) {
  if (sensor != NULL && InterlockedCompareExchange(&openCount, 0, 0) > 0) InterlockedDecrement(&openCount);
}

}  // extern "C"
