// The sample layouts a wave-out device plays, and how their bytes become
// float stereo frames for the mixer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "mmsystem.h"

namespace wce::audio {

enum class SampleEncoding : uint8_t { U8, S16, S24, S32, F32 };

struct StereoFrame {
  float left;
  float right;
};

// Decoders for one encoding and channel count. Full scale is +-1.0.
struct SampleCodec {
  StereoFrame (*read)(const uint8_t* frame);
  // Adds `count` frames from `frames` into interleaved stereo `out`.
  void (*add)(const uint8_t* frames, size_t count, float* out);
};

struct PcmLayout {
  SampleEncoding encoding;
  uint16_t channels;    // 1 or 2; mono plays on both sides
  uint32_t rate;        // frames per second
  uint32_t frameBytes;  // channels x bytes per sample
  const SampleCodec* codec;
};

constexpr uint32_t kMinRate = 8000;
constexpr uint32_t kMaxRate = 192000;

// The layout `format` describes, or nothing when it is not one consistent
// layout we play. The byte rate is not looked at.
std::optional<PcmLayout> LayoutFromFormat(const WAVEFORMATEX& format);

}  // namespace wce::audio
