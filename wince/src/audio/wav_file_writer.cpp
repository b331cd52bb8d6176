#include "audio/wav_file_writer.h"

#include "device/device.h"

#include "device/device.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace wce::audio {
namespace {

constexpr size_t kHeaderBytes = kWavHeaderBytes;
constexpr uint32_t kFrameBytes = 4;  // 16-bit stereo
// The size fields are 32 bits; a recording that long keeps its sizes at the cap.
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - (kHeaderBytes - 8);

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v & 0xFFFF);
  Put16(p + 2, v >> 16);
}

bool WriteAll(int fd, const void* bytes, size_t size) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  while (size > 0) {
    ssize_t n = write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool PWriteAll(int fd, const uint8_t* bytes, size_t size, off_t offset) {
  while (size > 0) {
    ssize_t n = pwrite(fd, bytes, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<size_t>(n);
    offset += n;
  }
  return true;
}

}  // namespace

void FillWavHeader(uint8_t (&h)[kWavHeaderBytes], uint32_t rate, uint32_t dataBytes) {
  std::memcpy(h, "RIFF", 4);
  Put32(h + 4, dataBytes + (kHeaderBytes - 8));
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);
  Put16(h + 20, 1);  // PCM
  Put16(h + 22, 2);
  Put32(h + 24, rate);
  Put32(h + 28, rate * kFrameBytes);
  Put16(h + 32, kFrameBytes);
  Put16(h + 34, 16);
  std::memcpy(h + 36, "data", 4);
  Put32(h + 40, dataBytes);
}

}  // namespace wce::audio

namespace wce {

std::vector<uint8_t> WavOfMix(const float* stereo, size_t frames, uint32_t rate) {
  using namespace audio;
  const uint32_t data = static_cast<uint32_t>(std::min<uint64_t>(uint64_t(frames) * kFrameBytes, kMaxDataBytes));
  std::vector<uint8_t> out(kHeaderBytes + data);
  uint8_t header[kHeaderBytes];
  FillWavHeader(header, rate, data);
  std::memcpy(out.data(), header, kHeaderBytes);
  for (size_t i = 0; i < data / 2; ++i) Put16(out.data() + kHeaderBytes + 2 * i, static_cast<uint16_t>(MixToS16(stereo[i])));
  return out;
}
}  // namespace wce

namespace wce::audio {

std::unique_ptr<WavFileWriter> WavFileWriter::Create(const std::string& path, uint32_t rate) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  uint8_t h[kHeaderBytes];
  FillWavHeader(h, rate, 0);
  if (!WriteAll(fd, h, sizeof h)) {
    int err = errno;
    close(fd);
    errno = err;
    return nullptr;
  }
  return std::unique_ptr<WavFileWriter>(new WavFileWriter(fd));
}

WavFileWriter::~WavFileWriter() {
  PatchSizes();
  close(fd_);
}

bool WavFileWriter::Append(const int16_t* frames, size_t count) {
  // Samples go out little-endian, as the file format wants.
  uint8_t bytes[4096];
  size_t samples = 2 * count;
  for (size_t done = 0; done < samples;) {
    size_t n = std::min(samples - done, sizeof bytes / 2);
    for (size_t i = 0; i < n; ++i) Put16(bytes + 2 * i, static_cast<uint16_t>(frames[done + i]));
    if (!WriteAll(fd_, bytes, 2 * n)) return false;
    done += n;
  }
  dataBytes_ += uint64_t(count) * kFrameBytes;
  return PatchSizes();
}

bool WavFileWriter::PatchSizes() {
  uint32_t data = static_cast<uint32_t>(std::min(dataBytes_, kMaxDataBytes));
  uint8_t riff[4], size[4];
  Put32(riff, data + (kHeaderBytes - 8));
  Put32(size, data);
  return PWriteAll(fd_, riff, 4, 4) && PWriteAll(fd_, size, 4, 40);
}

}  // namespace wce::audio
