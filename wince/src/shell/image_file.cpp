// SHLoadImageFile: the shell's picture loader. PNG only; the program has no
// other kind of picture.
#include <aygshell.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "device/device.h"
#include "shell/png_loader.h"

namespace {

// Far above any picture within the bitmap limits, even stored without compression.
constexpr size_t kMaxFileBytes = 256u << 20;

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

// The whole file, read through stdio; false when it cannot be read (a folder
// opens fine on Linux and fails here, on the first read).
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  uint8_t chunk[16 * 1024];
  for (;;) {
    size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (bytes.size() > kMaxFileBytes) return false;
    if (got < sizeof chunk) return std::ferror(file.get()) == 0;
  }
}

}  // namespace

extern "C" HBITMAP WINAPI SHLoadImageFile(LPCWSTR pszFileName) {
  if (!pszFileName || !*pszFileName) return nullptr;
  try {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(wce::DevicePathToPosix(pszFileName), bytes)) return nullptr;
    return wce::LoadPngFromMemory(bytes.data(), bytes.size());
  } catch (...) {  // nothing escapes into the program: no picture instead
    return nullptr;
  }
}
