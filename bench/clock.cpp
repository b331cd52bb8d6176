// The device clock's own costs: a critical section nobody contends, one that
// two device threads fight over, and a voice streaming 10 ms buffers for ten
// seconds of device time, where every buffer's end is a stop of the clock and
// a callback the program answers with the next write.
#include <benchmark/benchmark.h>

#include <mmsystem.h>
#include <windows.h>

#include <string>
#include <vector>

#include "device/device.h"
#include "test_files.h"

namespace {

void BM_EnterLeaveUncontended(benchmark::State& state) {
  CRITICAL_SECTION cs;
  InitializeCriticalSection(&cs);
  for (auto _ : state) {
    EnterCriticalSection(&cs);
    LeaveCriticalSection(&cs);
  }
  DeleteCriticalSection(&cs);
}

struct Contest {
  CRITICAL_SECTION cs;
  LONG counter = 0;
  int rounds = 0;
};

DWORD WINAPI Hammer(LPVOID p) {
  auto* c = static_cast<Contest*>(p);
  for (int i = 0; i < c->rounds; ++i) {
    EnterCriticalSection(&c->cs);
    c->counter = c->counter + 1;
    LeaveCriticalSection(&c->cs);
  }
  return 0;
}

// Two device threads, 100000 enters each.
void BM_EnterLeaveTwoThreads(benchmark::State& state) {
  wce::ClockReset(wce::ClockMode::Virtual);
  wce::RegisterProgramThread();
  Contest c;
  c.rounds = 100000;
  InitializeCriticalSection(&c.cs);
  for (auto _ : state) {
    HANDLE other = CreateThread(nullptr, 0, Hammer, &c, 0, nullptr);
    Hammer(&c);
    WaitForSingleObject(other, INFINITE);
    CloseHandle(other);
  }
  DeleteCriticalSection(&c.cs);
  wce::UnregisterProgramThread();
}

struct Stream {
  HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  LONG finished = 0;
  static void CALLBACK Proc(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
    if (message != WOM_DONE) return;
    auto* s = reinterpret_cast<Stream*>(instance);
    InterlockedIncrement(&s->finished);
    SetEvent(s->done);
  }
};

// Two 10 ms buffers in flight, each written again as it comes back: 1000
// completions over ten seconds of device time, into a recording.
void BM_StreamTenSecondsOnTheVirtualClock(benchmark::State& state) {
  jptest::TempDir temp;
  std::vector<int16_t> samples(480, 1000);
  for (auto _ : state) {
    state.PauseTiming();
    wce::ClockReset(wce::ClockMode::Virtual);
    wce::AudioConfig audio;
    audio.kind = wce::AudioSinkKind::Recording;
    audio.recordingPath = temp / "stream.wav";
    wce::AudioStart(audio);
    wce::RegisterProgramThread();
    state.ResumeTiming();

    Stream stream;
    WAVEFORMATEX f{WAVE_FORMAT_PCM, 1, 48000, 96000, 2, 16, 0};
    HWAVEOUT device = nullptr;
    waveOutOpen(&device, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&Stream::Proc),
                reinterpret_cast<DWORD_PTR>(&stream), CALLBACK_FUNCTION);
    WAVEHDR headers[2] = {};
    for (WAVEHDR& h : headers) {
      h.lpData = reinterpret_cast<LPSTR>(samples.data());
      h.dwBufferLength = static_cast<DWORD>(samples.size() * 2);
      waveOutPrepareHeader(device, &h, sizeof h);
      waveOutWrite(device, &h, sizeof h);
    }
    for (int written = 2; written < 1000;) {
      WaitForSingleObject(stream.done, INFINITE);
      for (WAVEHDR& h : headers)
        if ((h.dwFlags & WHDR_DONE) && written < 1000 && waveOutWrite(device, &h, sizeof h) == MMSYSERR_NOERROR)
          ++written;
    }
    while (InterlockedCompareExchange(&stream.finished, 0, 0) < 1000) WaitForSingleObject(stream.done, INFINITE);
    if (GetTickCount() != 10000) state.SkipWithError("the stream did not end at 10 s of device time");
    waveOutReset(device);
    for (WAVEHDR& h : headers) waveOutUnprepareHeader(device, &h, sizeof h);
    waveOutClose(device);
    CloseHandle(stream.done);

    state.PauseTiming();
    wce::UnregisterProgramThread();
    wce::AudioStop();
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(BM_EnterLeaveUncontended);
BENCHMARK(BM_EnterLeaveTwoThreads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StreamTenSecondsOnTheVirtualClock)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
