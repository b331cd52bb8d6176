#include "audio/wave_out_driver.h"

#include <algorithm>
#include <utility>

#include "kernel/clock.h"

namespace wce::audio {
namespace {

constexpr DWORD kKnownOpenFlags =
    CALLBACK_TYPEMASK | WAVE_FORMAT_QUERY | WAVE_ALLOWSYNC | WAVE_MAPPED | WAVE_FORMAT_DIRECT;

// Callback kinds the platform knows; only a function (or none) is wired up here.
struct CallbackKindRow {
  DWORD kind;
  MMRESULT result;
};
constexpr CallbackKindRow kCallbackKinds[] = {
    {CALLBACK_NULL, MMSYSERR_NOERROR},        {CALLBACK_FUNCTION, MMSYSERR_NOERROR},
    {CALLBACK_WINDOW, MMSYSERR_NOTSUPPORTED}, {CALLBACK_THREAD, MMSYSERR_NOTSUPPORTED},
    {CALLBACK_EVENT, MMSYSERR_NOTSUPPORTED},
};

MMRESULT CheckOpenFlags(DWORD flags) {
  if (flags & ~kKnownOpenFlags) return MMSYSERR_INVALFLAG;
  for (const CallbackKindRow& row : kCallbackKinds)
    if ((flags & CALLBACK_TYPEMASK) == row.kind) return row.result;
  return MMSYSERR_INVALFLAG;
}

constexpr UINT kDeviceCount = 1;

}  // namespace

void WaveOutDriver::Start(uint32_t rate) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  DropAllLocked();
  mixer_.SetRate(rate);
  running_ = true;
}

void WaveOutDriver::Stop() {
  std::lock_guard<std::mutex> lock(DeviceLock());
  running_ = false;
  DropAllLocked();
}

void WaveOutDriver::CloseAll() {
  std::lock_guard<std::mutex> lock(DeviceLock());
  DropAllLocked();
}

// The program's headers are left as they are: after a device reset they may
// well be gone.
void WaveOutDriver::DropAllLocked() {
  mixer_.RemoveAll();
  devices_.Clear();
}

UINT WaveOutDriver::DeviceCount() const {
  std::lock_guard<std::mutex> lock(DeviceLock());
  return running_ ? kDeviceCount : 0;
}

size_t WaveOutDriver::OpenCount() const {
  std::lock_guard<std::mutex> lock(DeviceLock());
  return devices_.Count();
}

MMRESULT WaveOutDriver::CheckOpenRequest(HWAVEOUT* handle, UINT deviceId, const WAVEFORMATEX* format,
                                         DWORD flags) const {
  if (!handle && !(flags & WAVE_FORMAT_QUERY)) return MMSYSERR_INVALPARAM;
  if (MMRESULT r = CheckOpenFlags(flags); r != MMSYSERR_NOERROR) return r;
  if (!running_) return deviceId == WAVE_MAPPER ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;
  if (deviceId != WAVE_MAPPER && deviceId >= kDeviceCount) return MMSYSERR_BADDEVICEID;
  if (!format) return MMSYSERR_INVALPARAM;
  if (!LayoutFromFormat(*format)) return WAVERR_BADFORMAT;
  return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDriver::Open(HWAVEOUT* handle, UINT deviceId, const WAVEFORMATEX* format,
                             DWORD_PTR callback, DWORD_PTR instance, DWORD flags) {
  const bool query = flags & WAVE_FORMAT_QUERY;
  if (handle && !query) *handle = nullptr;
  std::lock_guard<std::mutex> lock(DeviceLock());
  if (MMRESULT r = CheckOpenRequest(handle, deviceId, format, flags); r != MMSYSERR_NOERROR) return r;
  if (query) return MMSYSERR_NOERROR;

  auto device = std::make_shared<OpenDevice>();
  device->proc = (flags & CALLBACK_TYPEMASK) == CALLBACK_FUNCTION ? reinterpret_cast<WAVECALLBACK>(callback)
                                                                   : nullptr;
  device->instance = instance;
  HWAVEOUT h = reinterpret_cast<HWAVEOUT>(devices_.Insert(device));
  // The voice reports by value: it must not keep its own device alive.
  auto onDone = [this, h, proc = device->proc, instance](WAVEHDR* done) {
    Notify(h, proc, instance, WOM_DONE, reinterpret_cast<DWORD_PTR>(done));
  };
  try {
    device->voice = mixer_.AddVoice(*LayoutFromFormat(*format), std::move(onDone));
  } catch (...) {
    devices_.Remove(h);
    return MMSYSERR_NOMEM;
  }
  *handle = h;
  Notify(h, device->proc, device->instance, WOM_OPEN, 0);
  return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDriver::Close(HWAVEOUT handle) {
  std::unique_lock<std::mutex> lock(DeviceLock());
  std::shared_ptr<OpenDevice> device = devices_.Lookup(handle);
  if (!device) return MMSYSERR_INVALHANDLE;
  if (device->voice->Busy()) return WAVERR_STILLPLAYING;
  mixer_.RemoveVoice(device->voice.get());
  devices_.Remove(handle);
  Notify(handle, device->proc, device->instance, WOM_CLOSE, 0);
  callbacks_.DeadlinesChangedLocked();
  callbacks_.FlushLocked(lock);
  return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDriver::CheckHeader(HWAVEOUT handle, const WAVEHDR* header, UINT size) const {
  if (!devices_.Lookup(handle)) return MMSYSERR_INVALHANDLE;
  if (!header || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
  return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDriver::Prepare(HWAVEOUT handle, WAVEHDR* header, UINT size) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  if (MMRESULT r = CheckHeader(handle, header, size); r != MMSYSERR_NOERROR) return r;
  if (header->dwFlags & WHDR_PREPARED) return MMSYSERR_NOERROR;
  header->dwFlags = (header->dwFlags | WHDR_PREPARED) & ~DWORD(WHDR_DONE | WHDR_INQUEUE);
  return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDriver::Unprepare(HWAVEOUT handle, WAVEHDR* header, UINT size) {
  // A WOM_DONE for this header may still be on its way; let it arrive before we
  // touch the header, and so that no callback refers to it once we return.
  std::unique_lock<std::mutex> lock(DeviceLock());
  callbacks_.FlushLocked(lock);
  if (MMRESULT r = CheckHeader(handle, header, size); r != MMSYSERR_NOERROR) return r;
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header->dwFlags &= ~DWORD(WHDR_PREPARED);
  return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDriver::Write(HWAVEOUT handle, WAVEHDR* header, UINT size) {
  // The WOM_DONE of this header's last play may still be reading it.
  std::unique_lock<std::mutex> lock(DeviceLock());
  callbacks_.FlushLocked(lock);
  if (MMRESULT r = CheckHeader(handle, header, size); r != MMSYSERR_NOERROR) return r;
  if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  // Starts at the next rendered frame: on the virtual clock that is exactly now.
  devices_.Lookup(handle)->voice->Queue(header);
  ++written_;
  callbacks_.DeadlinesChangedLocked();
  return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDriver::Reset(HWAVEOUT handle) {
  std::unique_lock<std::mutex> lock(DeviceLock());
  std::shared_ptr<OpenDevice> device = devices_.Lookup(handle);
  if (!device) return MMSYSERR_INVALHANDLE;
  device->voice->Reset();
  callbacks_.DeadlinesChangedLocked();
  // The WOM_DONEs of the reset headers are delivered before we return, so the
  // program may free them right away.
  callbacks_.FlushLocked(lock);
  return MMSYSERR_NOERROR;
}

void WaveOutDriver::Notify(HWAVEOUT handle, WAVECALLBACK proc, DWORD_PTR instance, UINT message,
                           DWORD_PTR param1) {
  if (proc) callbacks_.PostLocked({proc, handle, message, instance, param1, 0});
}

void WaveOutDriver::RenderFloatLocked(float* out, size_t frames) { mixer_.RenderFloat(out, frames); }

void WaveOutDriver::RenderS16Locked(int16_t* out, size_t frames) { mixer_.RenderS16(out, frames); }

uint64_t WaveOutDriver::FramesUntilNextDoneLocked() const {
  if (!running_) return kNoDeadline;
  return mixer_.FramesUntilNextDone();
}

}  // namespace wce::audio
