// One voice of the mixer: the queue of one wave-out device. It reads the
// program's buffers only while they are queued, and owns the INQUEUE/DONE
// transitions of their headers. Not thread-safe: the owner serialises.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>

#include "audio/pcm_layout.h"
#include "mmsystem.h"

namespace wce::audio {

class Voice {
 public:
  // Called for each header that finishes (played out or reset), in queue order,
  // right after its flags say DONE.
  using DoneFn = std::function<void(WAVEHDR* header)>;

  Voice(const PcmLayout& layout, DoneFn onDone);

  const PcmLayout& Layout() const { return layout_; }
  bool Busy() const { return !queue_.empty(); }

  // Appends the header's whole frames to the queue (a trailing partial frame is
  // not played) and marks it INQUEUE. A buffer with nothing to play that has
  // nothing before it is done at once.
  void Queue(WAVEHDR* header);
  // Every queued header done, in order; the next buffer starts from its first frame.
  void Reset();
  // Output frames at `outRate` until the buffer at the front of the queue has
  // played its last frame (at least 1); UINT64_MAX when nothing is queued.
  uint64_t FramesUntilFrontDone(uint32_t outRate) const;
  // Adds `frames` frames at `outRate` into interleaved stereo `out`.
  void MixInto(float* out, size_t frames, uint32_t outRate);

 private:
  struct Buffer {
    WAVEHDR* header;
    const uint8_t* data;
    size_t frames;
  };

  void MixSameRate(float* out, size_t frames);
  void MixResampled(float* out, size_t frames, uint32_t outRate);
  StereoFrame FrameAt(const Buffer& buffer, size_t index) const;
  StereoFrame NextFrame(StereoFrame current) const;
  void FinishSpent();
  void Finish(WAVEHDR* header);

  PcmLayout layout_;
  DoneFn onDone_;
  std::deque<Buffer> queue_;
  size_t position_ = 0;  // next source frame within queue_.front()
  uint64_t phase_ = 0;   // between position_ and the frame after it, in 1/outRate steps
};

}  // namespace wce::audio
