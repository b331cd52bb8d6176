// The software mixer behind wave-out: every voice converted to float stereo at
// the output rate and summed at unity gain. Not thread-safe by itself; the
// wave-out driver serialises it (tests and benchmarks may use it directly).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/pcm_layout.h"
#include "audio/voice.h"

namespace wce::audio {

class Mixer {
 public:
  explicit Mixer(uint32_t rate = 48000) : rate_(rate) {}

  uint32_t Rate() const { return rate_; }
  void SetRate(uint32_t rate) { rate_ = rate; }  // only with no voice open

  std::shared_ptr<Voice> AddVoice(const PcmLayout& layout, Voice::DoneFn onDone);
  void RemoveVoice(const Voice* voice);
  // Forgets every voice without finishing anything (device reset).
  void RemoveAll() { voices_.clear(); }
  size_t VoiceCount() const { return voices_.size(); }

  // Frames to render until the first queued buffer of any voice finishes;
  // UINT64_MAX when nothing is queued.
  uint64_t FramesUntilNextDone() const;

  // The next `frames` frames, interleaved stereo, clipped to full scale.
  void RenderFloat(float* out, size_t frames);
  void RenderS16(int16_t* out, size_t frames);

 private:
  void MixChunk(float* out, size_t frames);

  uint32_t rate_;
  std::vector<std::shared_ptr<Voice>> voices_;
};

}  // namespace wce::audio
