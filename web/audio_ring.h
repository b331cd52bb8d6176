// The mix on its way to the audio worklet: stereo float frames in a ring in
// shared memory, one writer (the device's audio thread) and one reader (the
// worklet, in JavaScript, with Atomics on the same words). Indices count
// frames and run free; the ring holds capacity frames, a power of two.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace jpweb {

class AudioRing {
 public:
  explicit AudioRing(uint32_t capacityFrames);

  uint32_t Capacity() const { return capacity_; }
  uint32_t Filled() const { return write_.load() - read_.load(); }
  uint32_t Free() const { return capacity_ - Filled(); }
  // Writer: appends `frames` frames (2 x frames floats); false, with nothing
  // written, when they do not fit.
  bool Write(const float* samples, uint32_t frames);
  // Reader: takes up to `frames` frames into `out`; returns how many.
  uint32_t Read(float* out, uint32_t frames);

  // For the worklet: where the words and the samples are.
  std::atomic<uint32_t>* ReadIndex() { return &read_; }
  std::atomic<uint32_t>* WriteIndex() { return &write_; }
  float* Samples() { return samples_.data(); }

 private:
  const uint32_t capacity_;
  std::atomic<uint32_t> read_{0};
  std::atomic<uint32_t> write_{0};
  std::vector<float> samples_;
};

}  // namespace jpweb
