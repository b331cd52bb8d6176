// Header flags through prepare, write, finish, reset and unprepare, and the
// error code of every call on wrong arguments and wrong handles.
#include "audio_fixture.h"

namespace jptest {
namespace {

using HeaderTest = RecordingTest;

TEST_F(HeaderTest, FlagsFollowTheHeaderThroughItsLife) {
  HWAVEOUT device = Open(Pcm16());
  auto buffer = MakeBuffer(Mono16(1, 480));  // 10 ms
  WAVEHDR& h = buffer->header;

  EXPECT_EQ(waveOutWrite(device, &h, kSize), WAVERR_UNPREPARED);
  h.dwFlags = WHDR_DONE | WHDR_INQUEUE;  // stale bits from an earlier life
  EXPECT_EQ(waveOutPrepareHeader(device, &h, kSize), MMSYSERR_NOERROR);
  EXPECT_EQ(h.dwFlags, DWORD(WHDR_PREPARED));
  EXPECT_EQ(waveOutUnprepareHeader(device, &h, kSize), MMSYSERR_NOERROR);
  EXPECT_EQ(h.dwFlags, 0u);
  EXPECT_EQ(waveOutUnprepareHeader(device, &h, kSize), MMSYSERR_NOERROR);  // not prepared: nothing to do
  h.dwFlags = WHDR_PREPARED | WHDR_DONE;
  EXPECT_EQ(waveOutPrepareHeader(device, &h, kSize), MMSYSERR_NOERROR);  // already prepared: unchanged
  EXPECT_EQ(h.dwFlags, DWORD(WHDR_PREPARED | WHDR_DONE));

  EXPECT_EQ(waveOutWrite(device, &h, kSize), MMSYSERR_NOERROR);
  EXPECT_EQ(h.dwFlags, DWORD(WHDR_PREPARED | WHDR_INQUEUE));
  EXPECT_EQ(waveOutWrite(device, &h, kSize), WAVERR_STILLPLAYING);
  EXPECT_EQ(waveOutUnprepareHeader(device, &h, kSize), WAVERR_STILLPLAYING);
  EXPECT_EQ(waveOutClose(device), WAVERR_STILLPLAYING);
  wce::ClockAdvanceTo(9);  // one frame still to go
  EXPECT_EQ(h.dwFlags, DWORD(WHDR_PREPARED | WHDR_INQUEUE));
  wce::ClockAdvanceTo(10);
  EXPECT_EQ(h.dwFlags, DWORD(WHDR_PREPARED | WHDR_DONE));

  EXPECT_EQ(waveOutWrite(device, &h, kSize), MMSYSERR_NOERROR);  // again, then cut short
  wce::ClockAdvanceTo(15);
  EXPECT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
  EXPECT_EQ(h.dwFlags, DWORD(WHDR_PREPARED | WHDR_DONE));
  EXPECT_EQ(waveOutReset(device), MMSYSERR_NOERROR);  // nothing queued: fine
  EXPECT_EQ(waveOutUnprepareHeader(device, &h, kSize), MMSYSERR_NOERROR);
  EXPECT_EQ(h.dwFlags, DWORD(WHDR_DONE));
  EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

TEST_F(HeaderTest, NullShortOrEmptyHeaders) {
  HWAVEOUT device = Open(Pcm16(2));
  auto partial = MakeBuffer({1, 2, 3});  // less than one frame
  WAVEHDR* h = &partial->header;
  using Call = MMRESULT(WINAPI*)(HWAVEOUT, LPWAVEHDR, UINT);
  for (Call call : {Call(&waveOutPrepareHeader), Call(&waveOutUnprepareHeader), Call(&waveOutWrite)}) {
    EXPECT_EQ(call(device, nullptr, kSize), MMSYSERR_INVALPARAM);
    EXPECT_EQ(call(device, h, kSize - 1), MMSYSERR_INVALPARAM);
  }
  EXPECT_EQ(h->dwFlags, 0u);

  // nothing to play: done at the next moment, and nothing heard
  WAVEHDR noData{};
  noData.dwBufferLength = 4000;  // but no pointer to read from
  EXPECT_EQ(waveOutPrepareHeader(device, &noData, kSize + 8), MMSYSERR_NOERROR);  // a larger size is fine
  EXPECT_EQ(waveOutWrite(device, &noData, kSize), MMSYSERR_NOERROR);
  Play(device, *partial);
  wce::ClockAdvanceTo(1);
  EXPECT_EQ(noData.dwFlags, DWORD(WHDR_PREPARED | WHDR_DONE));
  EXPECT_EQ(h->dwFlags, DWORD(WHDR_PREPARED | WHDR_DONE));
  EXPECT_EQ(FirstOtherThan(FinishRecording(), 0, 0, 48), 48u);
}

TEST_F(HeaderTest, WrongHandlesFailWithoutHarm) {
  HWAVEOUT closed = Open(Pcm16());
  ASSERT_EQ(waveOutClose(closed), MMSYSERR_NOERROR);
  HWAVEOUT live = Open(Pcm16());
  auto value = reinterpret_cast<uintptr_t>(live);
  const uintptr_t wrong[] = {0, reinterpret_cast<uintptr_t>(closed), 0x1234, value | 1,
                             value + (uintptr_t(1) << 20) /* another generation */, value ^ (7 << 1) /* kind */};
  auto buffer = MakeBuffer(Mono16(1, 4));
  WAVEHDR* h = &buffer->header;
  for (uintptr_t v : wrong) {
    SCOPED_TRACE(v);
    auto bad = reinterpret_cast<HWAVEOUT>(v);
    EXPECT_EQ(waveOutPrepareHeader(bad, h, kSize), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutWrite(bad, h, kSize), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutUnprepareHeader(bad, h, kSize), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutReset(bad), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(bad), MMSYSERR_INVALHANDLE);
  }
  EXPECT_EQ(h->dwFlags, 0u);
  EXPECT_EQ(waveOutClose(live), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutClose(live), MMSYSERR_INVALHANDLE);
}

TEST_F(HeaderTest, StoppingTheAudioDeviceEndsEveryHandleSilently) {
  HWAVEOUT device = Open(Pcm16());
  ASSERT_EQ(log_.Events().size(), 1u);  // WOM_OPEN
  auto buffer = MakeBuffer(Mono16(1, 48000));
  Play(device, *buffer);
  wce::AudioStop();
  EXPECT_EQ(waveOutGetNumDevs(), 0u);
  EXPECT_EQ(waveOutReset(device), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(log_.Events().size(), 1u);
  EXPECT_EQ(buffer->header.dwFlags, DWORD(WHDR_PREPARED | WHDR_INQUEUE));  // left alone: it may be gone
}

}  // namespace
}  // namespace jptest
