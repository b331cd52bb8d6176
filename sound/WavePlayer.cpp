#include "sound/WavePlayer.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <new>

namespace {

// The canonical 44-byte header, read at fixed places; chunk ids are not checked.
const DWORD kHeaderSize = 44;
const DWORD kLargestFile = 0x80000000u;

WORD Le16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

DWORD Le32(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
         (static_cast<DWORD>(p[3]) << 24);
}

}  // namespace

void CALLBACK WaveOutCallback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                              DWORD_PTR param2) {
  (void)device;
  (void)message;
  (void)instance;
  (void)param1;
  (void)param2;
}

WavePlayer::WavePlayer(LPCWSTR filePath)
    : buffer_(NULL), fileSize_(0), device_(NULL), header_(new (std::nothrow) WAVEHDR()), prepared_(false) {
  memset(&format_, 0, sizeof(format_));
  if (header_ == NULL || filePath == NULL || !LoadFile(filePath)) return;
  ReadFormat();
  header_->lpData = reinterpret_cast<LPSTR>(buffer_ + kHeaderSize);
  header_->dwBufferLength = fileSize_ - kHeaderSize;
  OpenDevice();
  if (device_ != NULL) {
    prepared_ = waveOutPrepareHeader(device_, header_, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
  }
}

WavePlayer::~WavePlayer() {
  if (device_ != NULL) {
    // The device must let go of the buffer before it is freed.
    waveOutReset(device_);
    if (prepared_) waveOutUnprepareHeader(device_, header_, sizeof(WAVEHDR));
    waveOutClose(device_);
  }
  delete header_;
  free(buffer_);
}

bool WavePlayer::LoadFile(LPCWSTR filePath) {
  FILE* file = _wfopen(filePath, L"rb");
  if (file == NULL) return false;
  // Everything is read up front so that a trigger never touches the file.
  long size = -1;
  if (fseek(file, 0, SEEK_END) == 0) size = ftell(file);
  bool ok = size >= static_cast<long>(kHeaderSize) && static_cast<unsigned long>(size) <= kLargestFile &&
            fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    buffer_ = static_cast<BYTE*>(malloc(static_cast<size_t>(size)));
    ok = buffer_ != NULL && fread(buffer_, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size);
  }
  fclose(file);
  if (!ok) {
    free(buffer_);
    buffer_ = NULL;
    return false;
  }
  fileSize_ = static_cast<DWORD>(size);
  return true;
}

void WavePlayer::ReadFormat() {
  format_.wFormatTag = Le16(buffer_ + 20);
  format_.nChannels = Le16(buffer_ + 22);
  format_.nSamplesPerSec = Le32(buffer_ + 24);
  format_.nAvgBytesPerSec = Le32(buffer_ + 28);
  format_.nBlockAlign = Le16(buffer_ + 32);
  format_.wBitsPerSample = Le16(buffer_ + 34);
  format_.cbSize = 0;
}

void WavePlayer::OpenDevice() {
  // One attempt per device the system reports, each through the mapper.
  UINT devices = waveOutGetNumDevs();
  for (UINT attempt = 0; attempt < devices; ++attempt) {
    HWAVEOUT device = NULL;
    if (waveOutOpen(&device, WAVE_MAPPER, &format_, reinterpret_cast<DWORD_PTR>(&WaveOutCallback), 0,
                    CALLBACK_FUNCTION) == MMSYSERR_NOERROR) {
      device_ = device;
      return;
    }
  }
}

bool WavePlayer::Stop() {
  if (device_ == NULL || !prepared_) return false;
  // A reset marks the header done and leaves it prepared.
  return waveOutReset(device_) == MMSYSERR_NOERROR;
}

bool WavePlayer::Play() {
  if (buffer_ == NULL || header_ == NULL || device_ == NULL || !prepared_) return false;
  if (!Stop()) return false;
  return waveOutWrite(device_, header_, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
}
