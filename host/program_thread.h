// The program's own thread: WinMain runs on it, registered with the device
// clock, and its return ends the run.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace jphost {

using ProgramEntry = int(WINAPI*)(HINSTANCE, HINSTANCE, LPWSTR, int);

class ProgramThread {
 public:
  ProgramThread() = default;
  ProgramThread(const ProgramThread&) = delete;
  ProgramThread& operator=(const ProgramThread&) = delete;
  // Joins a finished thread; one that never finished is left behind (the
  // process is on its way out).
  ~ProgramThread();

  // Runs `entry` with the command line on a new program thread. Returns once
  // the thread counts for the clock, so time cannot slip past its start.
  // `onEnd` runs on that thread after "exit <code>" is traced.
  void Start(ProgramEntry entry, const std::wstring& commandLine, std::function<void()> onEnd = nullptr);
  bool Ended() const;
  // True when it ended within `limit` of real time; then it is joined.
  bool WaitEnd(std::chrono::milliseconds limit);
  int ExitCode() const;

 private:
  void Body(ProgramEntry entry, std::vector<wchar_t> commandLine, std::function<void()> onEnd);

  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  bool registered_ = false;
  bool ended_ = false;
  int exitCode_ = 0;
};

// The arguments as one wide command line, as the platform passes it (without
// the program's name); arguments with spaces are quoted. Text is UTF-8.
std::wstring JoinCommandLine(const std::vector<std::string>& args);

// UTF-8 to wide text; malformed bytes become U+FFFD.
std::wstring WideFromUtf8(const std::string& text);

}  // namespace jphost
