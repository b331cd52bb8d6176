#include "audio/mixer.h"

#include "audio/wav_file_writer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace wce::audio {
namespace {

// Chunks keep the scratch buffer on the stack: rendering never allocates.
constexpr size_t kChunkFrames = 512;

float Clip(float x) {
  if (x > 1.0f) return 1.0f;
  if (x < -1.0f) return -1.0f;
  return x == x ? x : 0.0f;
}

}  // namespace

std::shared_ptr<Voice> Mixer::AddVoice(const PcmLayout& layout, Voice::DoneFn onDone) {
  voices_.push_back(std::make_shared<Voice>(layout, std::move(onDone)));
  return voices_.back();
}

void Mixer::RemoveVoice(const Voice* voice) {
  std::erase_if(voices_, [voice](const std::shared_ptr<Voice>& v) { return v.get() == voice; });
}

uint64_t Mixer::FramesUntilNextDone() const {
  uint64_t next = UINT64_MAX;
  for (const std::shared_ptr<Voice>& voice : voices_) next = std::min(next, voice->FramesUntilFrontDone(rate_));
  return next;
}

void Mixer::MixChunk(float* out, size_t frames) {
  std::fill(out, out + 2 * frames, 0.0f);
  for (const std::shared_ptr<Voice>& voice : voices_) voice->MixInto(out, frames, rate_);
}

void Mixer::RenderFloat(float* out, size_t frames) {
  for (size_t done = 0; done < frames;) {
    size_t n = std::min(kChunkFrames, frames - done);
    float* chunk = out + 2 * done;
    MixChunk(chunk, n);
    for (size_t i = 0; i < 2 * n; ++i) chunk[i] = Clip(chunk[i]);
    done += n;
  }
}

void Mixer::RenderS16(int16_t* out, size_t frames) {
  float scratch[2 * kChunkFrames];
  for (size_t done = 0; done < frames;) {
    size_t n = std::min(kChunkFrames, frames - done);
    MixChunk(scratch, n);
    for (size_t i = 0; i < 2 * n; ++i) out[2 * done + i] = MixToS16(scratch[i]);
    done += n;
  }
}

}  // namespace wce::audio
