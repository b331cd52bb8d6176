#include "audio_ring.h"

#include <algorithm>
#include <cmath>

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

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

std::vector<uint8_t> WavOfFrames(const std::vector<float>& samples, uint32_t rate) {
  uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  PutTag(out, "RIFF");
  Put32(out, 36 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 2);
  Put32(out, rate);
  Put32(out, rate * 4);
  Put16(out, 4);
  Put16(out, 16);
  PutTag(out, "data");
  Put32(out, dataBytes);
  for (float s : samples) {
    // the bench's recording scales and clips the same way
    float v = s * 32768.0f;
    int16_t pcm = v != v ? 0 : v >= 32767.0f ? 32767 : v <= -32768.0f ? -32768 : static_cast<int16_t>(std::lrint(v));
    Put16(out, static_cast<uint16_t>(pcm));
  }
  return out;
}

}  // namespace jpweb
