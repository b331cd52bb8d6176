#include "audio/pcm_layout.h"

#include <cmath>
#include <cstring>

namespace wce::audio {
namespace {

constexpr size_t BytesOf(SampleEncoding e) {
  switch (e) {
    case SampleEncoding::U8: return 1;
    case SampleEncoding::S16: return 2;
    case SampleEncoding::S24: return 3;
    case SampleEncoding::S32: return 4;
    case SampleEncoding::F32: return 4;
  }
  return 1;
}

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// A float file may hold anything; keep NaN and huge values out of the mix so
// sums stay finite.
float SaneFloat(float v) {
  constexpr float kLimit = 1.0e4f;
  if (!std::isfinite(v)) return 0.0f;
  return v > kLimit ? kLimit : (v < -kLimit ? -kLimit : v);
}

template <SampleEncoding E>
float Sample(const uint8_t* p) {
  if constexpr (E == SampleEncoding::U8) {
    return (int(p[0]) - 128) * (1.0f / 128.0f);
  } else if constexpr (E == SampleEncoding::S16) {
    return static_cast<int16_t>(uint16_t(p[0] | p[1] << 8)) * (1.0f / 32768.0f);
  } else if constexpr (E == SampleEncoding::S24) {
    int32_t v = static_cast<int32_t>(uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24) >> 8;
    return v * (1.0f / 8388608.0f);
  } else if constexpr (E == SampleEncoding::S32) {
    return static_cast<float>(static_cast<int32_t>(Le32(p))) * (1.0f / 2147483648.0f);
  } else {
    uint32_t bits = Le32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);  // std::bit_cast, where the library lacks it
    return SaneFloat(value);
  }
}

template <SampleEncoding E, int C>
StereoFrame ReadFrame(const uint8_t* p) {
  float left = Sample<E>(p);
  float right = C == 2 ? Sample<E>(p + BytesOf(E)) : left;
  return {left, right};
}

template <SampleEncoding E, int C>
void AddFrames(const uint8_t* p, size_t count, float* out) {
  for (size_t i = 0; i < count; ++i, p += C * BytesOf(E), out += 2) {
    StereoFrame f = ReadFrame<E, C>(p);
    out[0] += f.left;
    out[1] += f.right;
  }
}

template <SampleEncoding E>
constexpr SampleCodec kMono{&ReadFrame<E, 1>, &AddFrames<E, 1>};
template <SampleEncoding E>
constexpr SampleCodec kStereo{&ReadFrame<E, 2>, &AddFrames<E, 2>};

struct EncodingRow {
  WORD tag;
  WORD bits;
  SampleEncoding encoding;
  const SampleCodec* mono;
  const SampleCodec* stereo;
};

constexpr EncodingRow kEncodings[] = {
    {WAVE_FORMAT_PCM, 8, SampleEncoding::U8, &kMono<SampleEncoding::U8>, &kStereo<SampleEncoding::U8>},
    {WAVE_FORMAT_PCM, 16, SampleEncoding::S16, &kMono<SampleEncoding::S16>, &kStereo<SampleEncoding::S16>},
    {WAVE_FORMAT_PCM, 24, SampleEncoding::S24, &kMono<SampleEncoding::S24>, &kStereo<SampleEncoding::S24>},
    {WAVE_FORMAT_PCM, 32, SampleEncoding::S32, &kMono<SampleEncoding::S32>, &kStereo<SampleEncoding::S32>},
    {WAVE_FORMAT_IEEE_FLOAT, 32, SampleEncoding::F32, &kMono<SampleEncoding::F32>,
     &kStereo<SampleEncoding::F32>},
};

}  // namespace

std::optional<PcmLayout> LayoutFromFormat(const WAVEFORMATEX& format) {
  if (format.nChannels < 1 || format.nChannels > 2) return std::nullopt;
  if (format.nSamplesPerSec < kMinRate || format.nSamplesPerSec > kMaxRate) return std::nullopt;
  for (const EncodingRow& row : kEncodings) {
    if (row.tag != format.wFormatTag || row.bits != format.wBitsPerSample) continue;
    uint32_t frameBytes = format.nChannels * static_cast<uint32_t>(BytesOf(row.encoding));
    if (format.nBlockAlign != frameBytes) return std::nullopt;
    return PcmLayout{row.encoding, format.nChannels, format.nSamplesPerSec, frameBytes,
                     format.nChannels == 1 ? row.mono : row.stereo};
  }
  return std::nullopt;
}

}  // namespace wce::audio
