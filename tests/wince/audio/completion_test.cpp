// Completion on device time: a buffer's end is a clock deadline, its WOM_DONE
// arrives at that very device time on a callback thread the clock waits for,
// and the flushes of Reset/Close wait through the clock too.
#include <windows.h>

#include <vector>

#include "audio_fixture.h"

namespace jptest {
namespace {

// What one callback saw: which header, when, and whether it was marked done.
struct Completion {
  WAVEHDR* header;
  DWORD at;
  bool markedDone;
  bool operator==(const Completion&) const = default;
};

// A program's callback: notes each WOM_DONE, optionally sleeps in it, and
// wakes the program through an event.
struct Listener {
  HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  LONG count = 0;
  DWORD sleepMs = 0;
  std::vector<Completion> seen;  // written on the callback thread only, read after a flush

  ~Listener() { CloseHandle(wake); }
  static void CALLBACK Proc(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
    auto* l = reinterpret_cast<Listener*>(instance);
    if (message != WOM_DONE) return;
    auto* h = reinterpret_cast<WAVEHDR*>(param1);
    l->seen.push_back({h, GetTickCount(), (h->dwFlags & WHDR_DONE) != 0});
    if (l->sleepMs) Sleep(l->sleepMs);
    InterlockedIncrement(&l->count);
    SetEvent(l->wake);
  }
  void WaitFor(LONG n) {
    while (InterlockedCompareExchange(&count, 0, 0) < n) WaitForSingleObject(wake, INFINITE);
  }
};

HWAVEOUT OpenWith(Listener& l, const WAVEFORMATEX& f) {
  HWAVEOUT device = nullptr;
  EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&Listener::Proc),
                        reinterpret_cast<DWORD_PTR>(&l), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  return device;
}

void Send(HWAVEOUT device, Buffer& b) {
  ASSERT_EQ(waveOutPrepareHeader(device, &b.header, kSize), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutWrite(device, &b.header, kSize), MMSYSERR_NOERROR);
}

// The program runs on the test thread, registered with the clock, which runs
// free: time moves only when it and the callback thread both wait.
class CompletionTest : public RecordingTest {
 protected:
  void SetUp() override {
    RecordingTest::SetUp();
    wce::ClockRelease();
    wce::RegisterProgramThread();
  }
  void TearDown() override {
    wce::UnregisterProgramThread();
    RecordingTest::TearDown();
  }
};

TEST_F(CompletionTest, BuffersFinishAtTheirLastFrameIdenticallyEveryRun) {
  // Two voices at different rates, one of them streaming: a 100 ms and a
  // 10 ms buffer at 0, a 30 ms one at 44.1 kHz written at 20, and the first
  // buffer written again as soon as it comes back (behind the 10 ms one).
  auto playOnce = [this](std::vector<Completion>& seen) {
    StartRecording(48000);
    wce::ClockRelease();
    Listener l;
    auto a1 = MakeBuffer(Mono16(1000, 4800));
    auto a2 = MakeBuffer(Mono16(2000, 480));
    auto b = MakeBuffer(Frames(2, {3000, 0xffff & -3000}, 1323));
    HWAVEOUT a = OpenWith(l, Pcm16(1, 48000));
    Send(a, *a1);
    Send(a, *a2);
    Sleep(20);
    HWAVEOUT bv = OpenWith(l, Pcm16(2, 44100));
    Send(bv, *b);
    l.WaitFor(2);
    EXPECT_EQ(GetTickCount(), 100u);
    EXPECT_EQ(waveOutWrite(a, &a1->header, kSize), MMSYSERR_NOERROR);
    l.WaitFor(4);
    EXPECT_EQ(waveOutClose(a), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(bv), MMSYSERR_NOERROR);
    seen = l.seen;
    for (Completion& c : seen) c.header = nullptr;  // the buffers are gone
    wce::AudioStop();
    return ReadFile(path_);
  };

  std::vector<Completion> first;
  const std::vector<uint8_t> recording = playOnce(first);
  const DWORD expected[] = {50, 100, 110, 210};  // b, a1, a2, a1 again
  ASSERT_EQ(first.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(first[i], (Completion{nullptr, expected[i], true})) << i;
  std::vector<int16_t> r = ReadRecording(path_);
  ASSERT_EQ(r.size(), 2u * 10080);  // up to 210 ms
  EXPECT_EQ(FirstOtherThan(r, 1000, 0, 960), 960u);
  EXPECT_EQ(FirstOtherThan(r, 2000, 4800, 5280), 5280u);
  EXPECT_EQ(FirstOtherThan(r, 1000, 5280, 10080), 10080u);

  for (int run = 1; run < 20; ++run) {
    std::vector<Completion> again;
    EXPECT_TRUE(playOnce(again) == recording) << "run " << run << " recorded something else";
    EXPECT_EQ(again, first) << "run " << run;
  }
}

TEST_F(CompletionTest, ResetWaitsThroughTheClockForACallbackThatSleeps) {
  Listener l;
  l.sleepMs = 1;
  HWAVEOUT device = OpenWith(l, Pcm16());
  auto first = MakeBuffer(Mono16(1, 480));
  auto second = MakeBuffer(Mono16(2, 480));
  Send(device, *first);
  Send(device, *second);
  Sleep(10);  // the first comes back now; its callback sleeps until 11
  ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
  // both callbacks have run, each sleeping 1 ms of device time
  EXPECT_EQ(GetTickCount(), 12u);
  ASSERT_EQ(l.seen.size(), 2u);
  EXPECT_EQ(l.seen[0], (Completion{&first->header, 10, true}));
  EXPECT_EQ(l.seen[1], (Completion{&second->header, 11, true}));
  EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

// A callback that starts a thread: the callback thread must stay one that the
// clock sees waiting, or time would freeze for good.
struct Starter {
  LONG ranAt = -1;
  static DWORD WINAPI Later(LPVOID p) {
    Sleep(5);
    InterlockedExchange(&static_cast<Starter*>(p)->ranAt, static_cast<LONG>(GetTickCount()));
    return 0;
  }
  static void CALLBACK Proc(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
    if (message == WOM_DONE) CloseHandle(CreateThread(nullptr, 0, &Later, reinterpret_cast<void*>(instance), 0, nullptr));
  }
};

TEST_F(CompletionTest, AThreadStartedFromACallbackLeavesTimeFree) {
  Starter starter;
  const WAVEFORMATEX f = Pcm16();
  HWAVEOUT device = nullptr;
  ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&Starter::Proc),
                        reinterpret_cast<DWORD_PTR>(&starter), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  auto buffer = MakeBuffer(Mono16(1, 480));
  Send(device, *buffer);
  Sleep(100);
  EXPECT_EQ(GetTickCount(), 100u);
  EXPECT_EQ(InterlockedCompareExchange(&starter.ranAt, 0, 0), 15);
  Sleep(100);
  EXPECT_EQ(GetTickCount(), 200u);
  EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

}  // namespace
}  // namespace jptest
