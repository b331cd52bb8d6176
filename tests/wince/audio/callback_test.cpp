// Completion callbacks: what they say, in which order, on which thread, and
// that the program may free a buffer as soon as Reset or Unprepare returns.
#include <atomic>

#include "audio_fixture.h"

namespace jptest {
namespace {

using CallbackTest = RecordingTest;

TEST_F(CallbackTest, OpenDoneAndCloseArriveInOrderOnTheCallbackThread) {
  HWAVEOUT device = Open(Pcm16());
  std::unique_ptr<Buffer> buffers[] = {MakeBuffer(Mono16(1, 480)), MakeBuffer(Mono16(2, 480)),
                                       MakeBuffer(Mono16(3, 480)), MakeBuffer(Mono16(4, 480))};
  for (auto& b : buffers) Play(device, *b);
  wce::ClockAdvanceTo(15);  // the first played out, the second half-way
  ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutClose(device), MMSYSERR_NOERROR);

  std::vector<CallbackEvent> events = log_.Events();
  ASSERT_EQ(events.size(), 6u);
  EXPECT_EQ(events.front().message, UINT(WOM_OPEN));
  EXPECT_EQ(events.back().message, UINT(WOM_CLOSE));
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(events[i + 1].message, UINT(WOM_DONE));
    EXPECT_EQ(events[i + 1].header, &buffers[i]->header);
    // already marked done when its callback runs
    EXPECT_EQ(events[i + 1].flagsSeen, DWORD(WHDR_PREPARED | WHDR_DONE));
  }
  for (const CallbackEvent& e : events) {
    EXPECT_EQ(e.device, device);
    EXPECT_NE(e.thread, std::this_thread::get_id());
    EXPECT_EQ(e.thread, events[0].thread);
  }
}

// A callback that reads the header, as a program's may, and that nobody
// flushes for: Reset, Unprepare and Close must have delivered everything by the
// time they return, or the reads touch freed memory (ASan and TSan watch).
struct Counter {
  std::atomic<int> done{0};
  std::atomic<int> closed{0};
  std::atomic<DWORD> lastFlags{0};
  static void CALLBACK Proc(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
    auto* c = reinterpret_cast<Counter*>(instance);
    if (message == WOM_DONE) {
      c->lastFlags = reinterpret_cast<WAVEHDR*>(param1)->dwFlags;
      ++c->done;
    }
    if (message == WOM_CLOSE) ++c->closed;
  }
};

TEST_F(CallbackTest, ABufferMayBeFreedOnceResetOrUnprepareReturns) {
  Counter counter;
  const WAVEFORMATEX f = Pcm16();
  HWAVEOUT device = nullptr;
  ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&Counter::Proc),
                        reinterpret_cast<DWORD_PTR>(&counter), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  {
    auto buffer = MakeBuffer(Mono16(7000, 48000));
    Play(device, *buffer);
    wce::ClockAdvanceTo(100);
    ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    EXPECT_EQ(counter.done.load(), 1);
  }  // freed: from here on the mixer must not read it
  wce::ClockAdvanceTo(300);
  {
    auto buffer = MakeBuffer(Mono16(-7000, 480));
    Play(device, *buffer);
    wce::ClockAdvanceTo(320);  // played out: its WOM_DONE is on its way
    ASSERT_EQ(waveOutUnprepareHeader(device, &buffer->header, kSize), MMSYSERR_NOERROR);
    EXPECT_EQ(counter.done.load(), 2);
  }
  ASSERT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
  EXPECT_EQ(counter.closed.load(), 1);
  EXPECT_EQ(counter.lastFlags.load(), DWORD(WHDR_PREPARED | WHDR_DONE));

  std::vector<int16_t> r = FinishRecording();
  ASSERT_EQ(r.size(), 2u * 15360);
  EXPECT_EQ(FirstOtherThan(r, 7000, 0, 4800), 4800u);
  EXPECT_EQ(FirstOtherThan(r, 0, 4800, 14400), 14400u);
  EXPECT_EQ(FirstOtherThan(r, -7000, 14400, 14880), 14880u);
  EXPECT_EQ(FirstOtherThan(r, 0, 14880, 15360), 15360u);
}

// The platform forbids wave-out calls inside the callback; ours must at least
// not deadlock when a program makes them anyway.
struct Requeuer {
  WAVEHDR* header = nullptr;
  std::atomic<int> calls{0};
  std::atomic<MMRESULT> write{MMSYSERR_ERROR}, reset{MMSYSERR_ERROR};
  static void CALLBACK Proc(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
    auto* r = reinterpret_cast<Requeuer*>(instance);
    if (message != WOM_DONE || r->calls++ > 0) return;
    r->write = waveOutWrite(device, r->header, kSize);
    r->reset = waveOutReset(device);  // posts a second WOM_DONE
  }
};

TEST_F(CallbackTest, WaveOutCallsInsideTheCallbackDoNotDeadlock) {
  Requeuer requeuer;
  const WAVEFORMATEX f = Pcm16();
  HWAVEOUT device = nullptr;
  ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&Requeuer::Proc),
                        reinterpret_cast<DWORD_PTR>(&requeuer), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  auto buffer = MakeBuffer(Mono16(1, 480));
  requeuer.header = &buffer->header;
  Play(device, *buffer);
  wce::ClockAdvanceTo(10);
  wce::AudioFlushCallbacks();  // the first WOM_DONE
  wce::AudioFlushCallbacks();  // the one its reset posted
  EXPECT_EQ(requeuer.write.load(), MMSYSERR_NOERROR);
  EXPECT_EQ(requeuer.reset.load(), MMSYSERR_NOERROR);
  EXPECT_EQ(requeuer.calls.load(), 2);
  EXPECT_EQ(buffer->header.dwFlags, DWORD(WHDR_PREPARED | WHDR_DONE));
  EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

}  // namespace
}  // namespace jptest
