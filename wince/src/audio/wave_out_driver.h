// The wave-out driver: open devices (one mixer voice each), their headers and
// callbacks. Its state is guarded by DeviceLock(), as the callback queue's:
// a buffer's end is a clock deadline and the flushes wait through the clock,
// so they must see the same state the clock sees. Whoever renders the mix (a
// sink's thread, or the clock listener of the recording) holds DeviceLock().
//
// Lock order: DeviceLock(), then the recording's file lock. Callbacks run with
// neither held.
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
  size_t OpenCount() const;  // handles open now

  MMRESULT Open(HWAVEOUT* handle, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                DWORD_PTR instance, DWORD flags);
  MMRESULT Close(HWAVEOUT handle);
  MMRESULT Prepare(HWAVEOUT handle, WAVEHDR* header, UINT size);
  MMRESULT Unprepare(HWAVEOUT handle, WAVEHDR* header, UINT size);
  MMRESULT Write(HWAVEOUT handle, WAVEHDR* header, UINT size);
  MMRESULT Reset(HWAVEOUT handle);

  // DeviceLock() held.
  void RenderFloatLocked(float* out, size_t frames);
  void RenderS16Locked(int16_t* out, size_t frames);
  // Output frames until the next queued buffer of any device finishes;
  // kNoDeadline when nothing is queued. DeviceLock() held.
  uint64_t FramesUntilNextDoneLocked() const;
  // Buffers written since the start. DeviceLock() held.
  uint64_t WrittenLocked() const { return written_; }

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

  CallbackQueue& callbacks_;
  Mixer mixer_;
  bool running_ = false;
  uint64_t written_ = 0;
  HandleTable<OpenDevice> devices_{HandleKind::WaveOut};
};

WaveOutDriver& Driver();  // the device's one driver (audio_device.cpp)

}  // namespace wce::audio
