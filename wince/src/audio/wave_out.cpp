// The wave-out functions of mmsystem.h. No exception leaves them: running out
// of memory is MMSYSERR_NOMEM, anything else MMSYSERR_ERROR.
//
// The completion callback runs on the device's audio callback thread. As on the
// platform, it should do next to nothing there (no other wave-out calls);
// calling them anyway does not deadlock here.
#include <new>

#include "audio/wave_out_driver.h"
#include "device/device.h"
#include "mmsystem.h"

namespace {

template <class F>
MMRESULT Guarded(F&& call) {
  try {
    return call(wce::audio::Driver());
  } catch (const std::bad_alloc&) {
    return MMSYSERR_NOMEM;
  } catch (...) {
    return MMSYSERR_ERROR;
  }
}

}  // namespace

extern "C" {

UINT WINAPI waveOutGetNumDevs(void) {
  try {
    return wce::audio::Driver().DeviceCount();
  } catch (...) {
    return 0;
  }
}

MMRESULT WINAPI waveOutOpen(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx, DWORD_PTR dwCallback,
                            DWORD_PTR dwInstance, DWORD fdwOpen) {
  return Guarded([&](auto& d) { return d.Open(phwo, uDeviceID, pwfx, dwCallback, dwInstance, fdwOpen); });
}

MMRESULT WINAPI waveOutClose(HWAVEOUT hwo) {
  return Guarded([&](auto& d) { return d.Close(hwo); });
}

MMRESULT WINAPI waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
  return Guarded([&](auto& d) { return d.Prepare(hwo, pwh, cbwh); });
}

MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
  return Guarded([&](auto& d) { return d.Unprepare(hwo, pwh, cbwh); });
}

MMRESULT WINAPI waveOutWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
  MMRESULT result = Guarded([&](auto& d) { return d.Write(hwo, pwh, cbwh); });
  if (result == MMSYSERR_NOERROR) wce::LatencyStamp("wave-write");
  return result;
}

MMRESULT WINAPI waveOutReset(HWAVEOUT hwo) {
  return Guarded([&](auto& d) { return d.Reset(hwo); });
}

}  // extern "C"
