// Device paths and texts on the host: backslashes become slashes, wide text
// becomes UTF-8 (through the joined folders), and the executable's location
// is whatever the host says.
#include "kernel/paths.h"

#include <locale.h>
#include <unistd.h>
#include <wctype.h>

#include <filesystem>
#include <mutex>
#include <vector>

#include "device/device.h"
#include "kernel/folder_union.h"

namespace wce {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Length and the allowed range of the second byte for a UTF-8 lead byte
// (Unicode's table of well-formed sequences); length 0 for a bad lead.
struct LeadInfo {
  int length;
  unsigned char secondLow;
  unsigned char secondHigh;
};

LeadInfo InfoOfLead(unsigned char b) {
  if (b < 0x80) return {1, 0, 0};
  if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};  // no surrogates
  if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};  // nothing above U+10FFFF
  return {0, 0, 0};
}

std::mutex& ModulePathLock() {
  static std::mutex lock;
  return lock;
}

std::string& ModulePathSetting() {
  static std::string path;
  return path;
}

std::string RealExecutablePath() {
  std::vector<char> buffer(256);
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<size_t>(n));
    buffer.resize(buffer.size() * 2);
  }
}

locale_t FoldingLocale() {
  static locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}

}  // namespace

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(text[i]);
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(static_cast<uint32_t>(text[i + 1]))) {
      uint32_t low = static_cast<uint32_t>(text[++i]);
      AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
    } else if (c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c)) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

std::wstring Utf8ToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    LeadInfo info = InfoOfLead(lead);
    if (info.length == 1) {
      out += static_cast<wchar_t>(lead);
      ++i;
      continue;
    }
    if (info.length == 0) {
      out += static_cast<wchar_t>(kReplacement);
      ++i;
      continue;
    }
    char32_t c = lead & (0xFF >> (info.length + 1));
    size_t j = i + 1;
    bool good = true;
    for (int k = 1; k < info.length; ++k, ++j) {
      unsigned char low = k == 1 ? info.secondLow : 0x80;
      unsigned char high = k == 1 ? info.secondHigh : 0xBF;
      if (j >= text.size()) {
        good = false;
        break;
      }
      unsigned char b = static_cast<unsigned char>(text[j]);
      if (b < low || b > high) {
        good = false;
        break;
      }
      c = (c << 6) | (b & 0x3F);
    }
    out += static_cast<wchar_t>(good ? c : kReplacement);
    i = j;  // a bad byte after the lead starts the next sequence
  }
  return out;
}

wchar_t FoldCase(wchar_t c) {
  locale_t locale = FoldingLocale();
  if (locale != static_cast<locale_t>(0)) return static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), locale));
  return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
}

bool MatchesPattern(std::wstring_view pattern, std::wstring_view name) {
  if (pattern == L"*.*") return true;
  // Greedy walk; on a mismatch, let the last '*' swallow one more character.
  size_t p = 0, n = 0;
  size_t starP = std::wstring_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == L'*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == L'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::wstring_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

std::string DevicePathToPosix(const wchar_t* devicePath) {
  if (devicePath == nullptr) return std::string();
  std::string path = WideToUtf8(devicePath);
  for (char& c : path)
    if (c == '\\') c = '/';
  return ResolveJoinedPath(path);
}

std::wstring PosixPathToDevice(const std::string& posixPath) {
  std::wstring path = Utf8ToWide(posixPath);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

void SetModulePath(const std::string& posixPath) {
  // A device only ever reports absolute paths for its executable.
  std::string absolute = posixPath;
  if (!posixPath.empty()) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(posixPath, ec);
    if (!ec) absolute = full.lexically_normal().string();
  }
  std::lock_guard<std::mutex> lock(ModulePathLock());
  ModulePathSetting() = absolute;
}

std::string ModulePosixPath() {
  {
    std::lock_guard<std::mutex> lock(ModulePathLock());
    if (!ModulePathSetting().empty()) return ModulePathSetting();
  }
  return RealExecutablePath();
}

}  // namespace wce
