#include "program_thread.h"

#include <string>

#include "device/device.h"

namespace jphost {

ProgramThread::~ProgramThread() {
  if (!thread_.joinable()) return;
  if (Ended())
    thread_.join();
  else
    thread_.detach();
}

void ProgramThread::Start(ProgramEntry entry, const std::wstring& commandLine, std::function<void()> onEnd) {
  // WinMain may write into its command line: it gets its own copy.
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  thread_ = std::thread(&ProgramThread::Body, this, entry, std::move(line), std::move(onEnd));
  std::unique_lock<std::mutex> lock(mutex_);
  cv_.wait(lock, [this] { return registered_; });
}

void ProgramThread::Body(ProgramEntry entry, std::vector<wchar_t> commandLine, std::function<void()> onEnd) {
  wce::RegisterProgramThread(reinterpret_cast<const void*>(entry));  // named for the watchdog
  {
    std::lock_guard<std::mutex> lock(mutex_);
    registered_ = true;
  }
  cv_.notify_all();
  int code = entry(GetModuleHandleW(nullptr), nullptr, commandLine.data(), SW_SHOW);
  wce::Trace("exit " + std::to_string(code));
  {
    // Marked before the clock lets go of this thread, so whoever sees time
    // move on also sees that the program has ended.
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    exitCode_ = code;
  }
  cv_.notify_all();
  if (onEnd) onEnd();
  wce::UnregisterProgramThread();
}

bool ProgramThread::Ended() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return ended_;
}

bool ProgramThread::WaitEnd(std::chrono::milliseconds limit) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!cv_.wait_for(lock, limit, [this] { return ended_; })) return false;
  }
  if (thread_.joinable()) thread_.join();
  return true;
}

int ProgramThread::ExitCode() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return exitCode_;
}

std::wstring WideFromUtf8(const std::string& text) {
  std::wstring out;
  size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    char32_t c = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
    bool ok = extra >= 0 && i + static_cast<size_t>(extra) < text.size();
    for (int k = 1; ok && k <= extra; ++k) {
      unsigned char next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
      ok = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static const char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (ok && (c < kMin[extra] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)) ok = false;
    if (!ok) {
      out += L'\xFFFD';
      ++i;
      continue;
    }
    out += static_cast<wchar_t>(c);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

std::wstring JoinCommandLine(const std::vector<std::string>& args) {
  std::wstring line;
  for (const std::string& arg : args) {
    if (!line.empty()) line += L' ';
    bool quote = arg.empty() || arg.find_first_of(" \t") != std::string::npos;
    std::wstring wide = WideFromUtf8(arg);
    line += quote ? L"\"" + wide + L"\"" : wide;
  }
  return line;
}

}  // namespace jphost
