#include "scenario_support.h"

#include <signal.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace jptest {
namespace {

std::string ReadText(const std::string& path) {
  std::vector<uint8_t> bytes = ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

std::string StagedAppDir() { return JP_STAGE_DIR; }

pid_t StartJostlepad(const std::vector<std::string>& args, const std::string& logDir,
                     const std::map<std::string, std::string>& env) {
  std::vector<std::string> argvText = {JP_JOSTLEPAD_BIN};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);

  std::vector<std::string> envText;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry = *e;
    std::string name = entry.substr(0, entry.find('='));
    if (env.count(name) == 0) envText.push_back(entry);
  }
  for (const auto& [name, value] : env) envText.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& e : envText) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  std::string outPath = logDir + "/stdout.txt", errPath = logDir + "/stderr.txt";
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

RunResult WaitJostlepad(pid_t pid, const std::string& logDir, int timeoutMs) {
  RunResult result;
  if (pid <= 0) return result;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  int status = 0;
  for (;;) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      break;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  result.out = ReadText(logDir + "/stdout.txt");
  result.err = ReadText(logDir + "/stderr.txt");
  return result;
}

KillOnExit::~KillOnExit() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

RunResult RunJostlepad(const std::vector<std::string>& args, const std::string& logDir, int timeoutMs,
                       const std::map<std::string, std::string>& env) {
  return WaitJostlepad(StartJostlepad(args, logDir, env), logDir, timeoutMs);
}

std::vector<std::pair<long, std::string>> ReadTrace(const std::string& path) {
  std::vector<std::pair<long, std::string>> events;
  std::istringstream in(ReadText(path));
  std::string line;
  while (std::getline(in, line)) {
    size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    events.emplace_back(std::stol(line.substr(0, space)), line.substr(space + 1));
  }
  return events;
}

long FirstEventTime(const std::vector<std::pair<long, std::string>>& trace, const std::string& event) {
  for (const auto& [ms, text] : trace)
    if (text == event) return ms;
  return -1;
}

std::map<std::string, std::string> HiveKeyValues(const std::string& hivePath, const std::string& key) {
  std::map<std::string, std::string> values;
  std::istringstream in(ReadText(hivePath));
  std::string line;
  bool inKey = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      inKey = line == "[" + key + "]";
      continue;
    }
    if (!inKey || line.size() < 3 || line[0] != '"') continue;
    size_t end = line.find("\"=");
    if (end == std::string::npos) continue;
    values[line.substr(1, end - 1)] = line.substr(end + 2);
  }
  return values;
}

std::string WriteScript(const std::string& dir, const std::string& name, const std::string& lines) {
  std::string path = dir + "/" + name;
  WriteText(path, lines);
  return path;
}

bool WaitForFileText(const std::string& path, const std::string& text, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (ReadText(path).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace jptest
