#include "audio_ring.h"

#include <algorithm>

namespace jpweb {

AudioRing::AudioRing(uint32_t capacityFrames) : capacity_(capacityFrames), samples_(2 * size_t{capacityFrames}) {}

bool AudioRing::Write(const float* samples, uint32_t frames) {
  if (frames > Free()) return false;
  uint32_t at = write_.load(std::memory_order_relaxed);
  for (uint32_t i = 0; i < frames; ++i) {
    uint32_t slot = (at + i) & (capacity_ - 1);
    samples_[2 * slot] = samples[2 * i];
    samples_[2 * slot + 1] = samples[2 * i + 1];
  }
  write_.store(at + frames);  // published after the samples
  return true;
}

uint32_t AudioRing::Read(float* out, uint32_t frames) {
  uint32_t at = read_.load(std::memory_order_relaxed);
  uint32_t n = std::min(frames, write_.load() - at);
  for (uint32_t i = 0; i < n; ++i) {
    uint32_t slot = (at + i) & (capacity_ - 1);
    out[2 * i] = samples_[2 * slot];
    out[2 * i + 1] = samples_[2 * slot + 1];
  }
  read_.store(at + n);
  return n;
}

}  // namespace jpweb
