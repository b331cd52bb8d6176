#include "audio/voice.h"

#include <algorithm>
#include <utility>

namespace wce::audio {

Voice::Voice(const PcmLayout& layout, DoneFn onDone) : layout_(layout), onDone_(std::move(onDone)) {}

void Voice::Queue(WAVEHDR* header) {
  // A null data pointer cannot be read; it plays as an empty buffer.
  size_t frames = header->lpData ? header->dwBufferLength / layout_.frameBytes : 0;
  queue_.push_back({header, reinterpret_cast<const uint8_t*>(header->lpData), frames});
  header->dwFlags = (header->dwFlags & ~DWORD(WHDR_DONE)) | WHDR_INQUEUE;
  // Keeps the front buffer one with frames left to play, so its end is
  // always ahead of the frames rendered so far.
  FinishSpent();
}

uint64_t Voice::FramesUntilFrontDone(uint32_t outRate) const {
  if (queue_.empty()) return UINT64_MAX;
  const uint64_t remaining = queue_.front().frames - position_;
  if (layout_.rate == outRate) return remaining;
  // Each output frame moves the source on by rate/outRate frames, counted in
  // phase_; the buffer ends once the source has moved `remaining` frames on.
  const uint64_t needed = remaining * outRate - phase_;
  return (needed + layout_.rate - 1) / layout_.rate;
}

void Voice::Reset() {
  std::deque<Buffer> queued = std::exchange(queue_, {});
  position_ = 0;
  phase_ = 0;
  for (const Buffer& b : queued) Finish(b.header);
}

void Voice::MixInto(float* out, size_t frames, uint32_t outRate) {
  if (layout_.rate == outRate)
    MixSameRate(out, frames);
  else
    MixResampled(out, frames, outRate);
}

void Voice::MixSameRate(float* out, size_t frames) {
  size_t done = 0;
  FinishSpent();
  while (done < frames && !queue_.empty()) {
    const Buffer& b = queue_.front();
    size_t n = std::min(b.frames - position_, frames - done);
    layout_.codec->add(b.data + position_ * layout_.frameBytes, n, out + 2 * done);
    position_ += n;
    done += n;
    FinishSpent();
  }
}

// Linear interpolation between the current source frame and the next one;
// the phase counts in exact fractions of an output frame, so nothing drifts.
void Voice::MixResampled(float* out, size_t frames, uint32_t outRate) {
  const float outFrames = static_cast<float>(outRate);
  FinishSpent();
  for (size_t i = 0; i < frames && !queue_.empty(); ++i) {
    StereoFrame a = FrameAt(queue_.front(), position_);
    StereoFrame b = NextFrame(a);
    float t = static_cast<float>(phase_) / outFrames;
    out[2 * i] += a.left + (b.left - a.left) * t;
    out[2 * i + 1] += a.right + (b.right - a.right) * t;
    phase_ += layout_.rate;
    while (phase_ >= outRate && !queue_.empty()) {
      phase_ -= outRate;
      ++position_;
      FinishSpent();
    }
  }
  if (queue_.empty()) phase_ = 0;  // the next buffer starts on a frame of its own
}

StereoFrame Voice::FrameAt(const Buffer& buffer, size_t index) const {
  return layout_.codec->read(buffer.data + index * layout_.frameBytes);
}

// The frame after the current one, from a later buffer if need be; at the end
// of the queue the current frame is held.
StereoFrame Voice::NextFrame(StereoFrame current) const {
  size_t index = position_ + 1;
  for (const Buffer& b : queue_) {
    if (index < b.frames) return FrameAt(b, index);
    index -= b.frames;
  }
  return current;
}

void Voice::FinishSpent() {
  while (!queue_.empty() && position_ >= queue_.front().frames) {
    position_ -= queue_.front().frames;
    WAVEHDR* header = queue_.front().header;
    queue_.pop_front();
    Finish(header);
  }
  if (queue_.empty()) position_ = 0;
}

void Voice::Finish(WAVEHDR* header) {
  header->dwFlags = (header->dwFlags & ~DWORD(WHDR_INQUEUE)) | WHDR_DONE;
  if (onDone_) onDone_(header);
}

}  // namespace wce::audio
