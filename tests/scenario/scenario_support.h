// Running the jostlepad executable as other tools do: options, a script, and
// then the trace, the hive file and the exit status to look at.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "test_files.h"

namespace jptest {

struct RunResult {
  int status = -1;  // exit status, or -1 when it did not end in time (then killed)
  std::string out;
  std::string err;
};

// Starts the staged jostlepad with `args`; stdout and stderr go to files in `logDir`.
pid_t StartJostlepad(const std::vector<std::string>& args, const std::string& logDir,
                     const std::map<std::string, std::string>& env = {});
// Waits up to `timeoutMs` of real time for it to end; kills it after that.
RunResult WaitJostlepad(pid_t pid, const std::string& logDir, int timeoutMs);
// Kills a started program that a failed check left running.
class KillOnExit {
 public:
  explicit KillOnExit(pid_t pid) : pid_(pid) {}
  ~KillOnExit();
  KillOnExit(const KillOnExit&) = delete;
  KillOnExit& operator=(const KillOnExit&) = delete;
  void Release() { pid_ = -1; }  // it has been waited for

 private:
  pid_t pid_;
};

RunResult RunJostlepad(const std::vector<std::string>& args, const std::string& logDir, int timeoutMs = 60000,
                       const std::map<std::string, std::string>& env = {});

// The trace file as (device ms, event text) pairs.
std::vector<std::pair<long, std::string>> ReadTrace(const std::string& path);
// Device time of the first event equal to `event`, or -1.
long FirstEventTime(const std::vector<std::pair<long, std::string>>& trace, const std::string& event);

// Values under one key of a hive file, as written there ("text" or dword:xxxxxxxx).
std::map<std::string, std::string> HiveKeyValues(const std::string& hivePath, const std::string& key);

// Folder of the staged program (binary, Skin/, Sounds/).
std::string StagedAppDir();

// A script file with `lines` in `dir`; returns its path.
std::string WriteScript(const std::string& dir, const std::string& name, const std::string& lines);

// Waits (real time, up to `timeoutMs`) until `path` holds a line containing `text`.
bool WaitForFileText(const std::string& path, const std::string& text, int timeoutMs);

}  // namespace jptest
