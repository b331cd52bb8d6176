// A second process on the same device, for the single-instance tests: this
// test binary started again with JP_USER_PEER_ROLE set plays a role (see
// peer_roles.cpp) instead of running tests. It reports through a file, says
// "ready" on fd 3, and ends when its stdin closes. Every wait on it has a
// time limit, after which it is killed.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace usertest {

constexpr const char* kPeerRoleVariable = "JP_USER_PEER_ROLE";
constexpr int kPeerTimeoutMs = 20000;  // only reached when something is broken

class Peer {
 public:
  Peer(const std::string& role, const std::vector<std::pair<std::string, std::string>>& settings) {
    int input[2], ready[2];
    if (pipe2(input, O_CLOEXEC) != 0) return;
    if (pipe2(ready, O_CLOEXEC) != 0) {
      close(input[0]);
      close(input[1]);
      return;
    }
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    env.push_back(std::string(kPeerRoleVariable) + "=" + role);
    for (const auto& [name, value] : settings) env.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe";
    std::vector<char*> argv = {self.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, ready[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, self.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(ready[1]);
    input_ = input[1];
    ready_ = ready[0];
  }

  ~Peer() {
    Release();
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (ready_ >= 0) close(ready_);
  }

  Peer(const Peer&) = delete;
  Peer& operator=(const Peer&) = delete;

  bool Started() const { return pid_ > 0; }

  // True once the peer said it is ready; false if it died or took too long.
  bool WaitReady() {
    pollfd fd{ready_, POLLIN, 0};
    if (poll(&fd, 1, kPeerTimeoutMs) != 1) return false;
    char c = 0;
    return read(ready_, &c, 1) == 1;
  }

  // Closes its stdin: the peer finishes what it does and ends.
  void Release() {
    if (input_ >= 0) close(input_);
    input_ = -1;
  }

  // Its exit status, or -1 when it had to be killed.
  int Wait() {
    if (pid_ <= 0 || reaped_) return -1;
    int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    bool ended = true;
    if (pidfd >= 0) {
      pollfd fd{pidfd, POLLIN, 0};
      ended = poll(&fd, 1, kPeerTimeoutMs) == 1;
      close(pidfd);
    }
    if (!ended) kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    reaped_ = true;
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  int input_ = -1;
  int ready_ = -1;
};

inline std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace usertest
