// One WAV file held in memory and played, always from its first sample, on a
// wave-out device of its own.
#pragma once

#include <windows.h>
#include <mmsystem.h>

// Installed at open time; the end of a sound is never reported, so it does nothing.
void CALLBACK WaveOutCallback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                              DWORD_PTR param2);

class WavePlayer {
 public:
  // Reads the whole file and opens a device for it. A file that cannot be
  // read or played gives a silent player.
  explicit WavePlayer(LPCWSTR filePath);
  virtual ~WavePlayer();
  WavePlayer(const WavePlayer&) = delete;
  WavePlayer& operator=(const WavePlayer&) = delete;

  // Cuts the current sound and starts again at the first sample.
  bool Play();
  // Silences the device; the buffer stays prepared for the next play.
  bool Stop();

  DWORD FileSize() const { return fileSize; }
  const WAVEFORMATEX& Format() const { return format; }
  bool HasDevice() const { return device != NULL; }

 private:
  bool LoadFile(LPCWSTR filePath);
  void ReadFormat();
  void OpenDevice();

  BYTE* buffer;
  DWORD fileSize;
  WAVEFORMATEX format;
  HWAVEOUT device;
  WAVEHDR* header;
  // Kept here rather than read from the header's flags, which the driver
  // rewrites from its own thread.
  bool prepared;
};
