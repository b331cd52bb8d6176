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
    : buffer(NULL), fileSize(0), device(NULL), header(new (std::nothrow) WAVEHDR()), prepared(false) {
  memset(&format, 0, sizeof(format));
  if (header == NULL || filePath == NULL || !LoadFile(filePath)) return;
  ReadFormat();
  header->lpData = reinterpret_cast<LPSTR>(buffer + kHeaderSize);
  header->dwBufferLength = fileSize - kHeaderSize;
  OpenDevice();
  if (device != NULL) {
    prepared = waveOutPrepareHeader(device, header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
  }
}

WavePlayer::~WavePlayer() {
  if (device != NULL) {
    // The device must let go of the buffer before it is freed.
    waveOutReset(device);
    if (prepared) waveOutUnprepareHeader(device, header, sizeof(WAVEHDR));
    waveOutClose(device);
  }
  delete header;
  free(buffer);
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
    buffer = static_cast<BYTE*>(malloc(static_cast<size_t>(size)));
    ok = buffer != NULL && fread(buffer, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size);
  }
  fclose(file);
  if (!ok) {
    free(buffer);
    buffer = NULL;
    return false;
  }
  fileSize = static_cast<DWORD>(size);
  return true;
}

void WavePlayer::ReadFormat() {
  format.wFormatTag = Le16(buffer + 20);
  format.nChannels = Le16(buffer + 22);
  format.nSamplesPerSec = Le32(buffer + 24);
  format.nAvgBytesPerSec = Le32(buffer + 28);
  format.nBlockAlign = Le16(buffer + 32);
  format.wBitsPerSample = Le16(buffer + 34);
  format.cbSize = 0;
}

void WavePlayer::OpenDevice() {
  // One attempt per device the system reports, each through the mapper.
  UINT devices = waveOutGetNumDevs();
  for (UINT attempt = 0; attempt < devices; ++attempt) {
    HWAVEOUT opened = NULL;
    if (waveOutOpen(&opened, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&WaveOutCallback), 0,
                    CALLBACK_FUNCTION) == MMSYSERR_NOERROR) {
      device = opened;
      return;
    }
  }
}

bool WavePlayer::Stop() {
  if (device == NULL || !prepared) return false;
  // A reset marks the header done and leaves it prepared.
  return waveOutReset(device) == MMSYSERR_NOERROR;
}

bool WavePlayer::Play() {
  if (buffer == NULL || header == NULL || device == NULL || !prepared) return false;
  if (!Stop()) return false;
  return waveOutWrite(device, header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
}
