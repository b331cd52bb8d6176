#include "wav_builder.h"

#include <algorithm>
#include <cstring>

namespace jptest {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

}  // namespace

std::vector<uint8_t> CanonicalWav(const WavFormat& format, const std::vector<uint8_t>& data) {
  uint16_t align = format.blockAlign ? format.blockAlign
                                     : static_cast<uint16_t>(format.channels * format.bits / 8);
  uint32_t byteRate = format.bytesPerSecond ? format.bytesPerSecond : format.rate * align;
  std::vector<uint8_t> out;
  PutTag(out, "RIFF");
  Put32(out, static_cast<uint32_t>(36 + data.size()));
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, format.formatTag);
  Put16(out, format.channels);
  Put32(out, format.rate);
  Put32(out, byteRate);
  Put16(out, align);
  Put16(out, format.bits);
  PutTag(out, "data");
  Put32(out, static_cast<uint32_t>(data.size()));
  out.reserve(out.size() + data.size());
  for (uint8_t b : data) out.push_back(b);
  return out;
}

std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> out;
  out.reserve(samples.size() * 2);
  for (int16_t s : samples) Put16(out, static_cast<uint16_t>(s));
  return out;
}

std::vector<int16_t> LeftChannel(const std::vector<uint8_t>& file) {
  auto le32 = [&](size_t at) {
    return static_cast<uint32_t>(file[at]) | (static_cast<uint32_t>(file[at + 1]) << 8) |
           (static_cast<uint32_t>(file[at + 2]) << 16) | (static_cast<uint32_t>(file[at + 3]) << 24);
  };
  std::vector<int16_t> left;
  // Walk the chunks to the samples: 16-bit stereo, so 4 bytes a frame.
  size_t at = 12;
  while (at + 8 <= file.size()) {
    uint32_t size = le32(at + 4);
    if (std::memcmp(&file[at], "data", 4) == 0) {
      size_t end = std::min(file.size(), at + 8 + static_cast<size_t>(size));
      for (size_t p = at + 8; p + 4 <= end; p += 4) left.push_back(static_cast<int16_t>(file[p] | (file[p + 1] << 8)));
      break;
    }
    at += 8 + size + (size & 1);
  }
  return left;
}

}  // namespace jptest
