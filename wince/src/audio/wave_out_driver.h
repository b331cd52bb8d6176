// The wave-out driver: open devices (one mixer voice each), their headers and
// callbacks, behind one lock shared with whoever renders the mix (a sink's
// thread, or the clock listener of the recording).
//
// Lock order: the clock's lock (the recording renders from its listener), then
// the recording's own, then this driver's, then the callback queue's. Nothing
// here calls into the clock, and callbacks run with none of these held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "audio/callback_queue.h"
#include "audio/mixer.h"
#include "kernel/handles.h"
#include "mmsystem.h"

namespace wce::audio {

class WaveOutDriver {
 public:
  explicit WaveOutDriver(CallbackQueue& callbacks) : callbacks_(callbacks) {}

  // Devices can be opened from Start until Stop; Stop forgets every open
  // device without callbacks and without touching the program's headers.
  void Start(uint32_t rate);
  void Stop();
  void CloseAll();  // as Stop, but devices can still be opened afterwards
  UINT DeviceCount() const;

  MMRESULT Open(HWAVEOUT* handle, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                DWORD_PTR instance, DWORD flags);
  MMRESULT Close(HWAVEOUT handle);
  MMRESULT Prepare(HWAVEOUT handle, WAVEHDR* header, UINT size);
  MMRESULT Unprepare(HWAVEOUT handle, WAVEHDR* header, UINT size);
  MMRESULT Write(HWAVEOUT handle, WAVEHDR* header, UINT size);
  MMRESULT Reset(HWAVEOUT handle);

  void RenderFloat(float* out, size_t frames);
  void RenderS16(int16_t* out, size_t frames);

 private:
  struct OpenDevice {
    std::shared_ptr<Voice> voice;
    WAVECALLBACK proc;
    DWORD_PTR instance;
  };

  MMRESULT CheckOpenRequest(HWAVEOUT* handle, UINT deviceId, const WAVEFORMATEX* format, DWORD flags) const;
  MMRESULT CheckHeader(HWAVEOUT handle, const WAVEHDR* header, UINT size) const;
  void Notify(HWAVEOUT handle, WAVECALLBACK proc, DWORD_PTR instance, UINT message, DWORD_PTR param1);
  void DropAllLocked();

  mutable std::mutex mutex_;
  CallbackQueue& callbacks_;
  Mixer mixer_;
  bool running_ = false;
  HandleTable<OpenDevice> devices_{HandleKind::WaveOut};
};

WaveOutDriver& Driver();  // the device's one driver (audio_device.cpp)

}  // namespace wce::audio
