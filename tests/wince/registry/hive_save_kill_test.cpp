// Saves survive a hard kill: a helper process saves the hive in a loop and is
// killed with SIGKILL at random moments; every time, the next start must read
// the hive whole, one generation in every value, never an older one, and
// clear away what the killed save left behind.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "device/device.h"
#include "registry/hive_file.h"
#include "registry/hive_text.h"
#include "registry/store.h"
#include "saver/generation.h"
#include "test_files.h"

extern char** environ;

namespace {

// The sanitizers make every start of the saver and every save several times
// slower: fewer trials there, and the share of kills that land inside a save
// or after one is only held in the plain build.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define JP_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define JP_SANITIZED 1
#endif
#endif
#ifdef JP_SANITIZED
constexpr int kTrials = 60;
constexpr int kShareDivisor = kTrials;  // at least one
#else
constexpr int kTrials = 500;
constexpr int kShareDivisor = 5;  // a fifth
#endif

using wce::registry::Hive;
using wce::registry::Root;

// Everything in the folder but the hive itself.
std::vector<std::string> Leftovers(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename() != "registry.reg") names.push_back(entry.path().filename().string());
  return names;
}

// Starts the saver; returns its pid once it has the hive open, or -1.
pid_t StartSaver(const std::string& hive) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  std::string fd = std::to_string(fds[1]);
  std::string bin = JP_HIVE_SAVER_BIN;
  char* argv[] = {bin.data(), const_cast<char*>(hive.c_str()), fd.data(), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, bin.c_str(), nullptr, nullptr, argv, environ) != 0) pid = -1;
  close(fds[1]);
  pollfd ready = {fds[0], POLLIN, 0};
  char byte = 0;
  if (pid > 0 && (poll(&ready, 1, 10000) != 1 || read(fds[0], &byte, 1) != 1)) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
  }
  close(fds[0]);
  return pid;
}

TEST(HiveSaveUnderKill, EveryKillLeavesOneWholeGeneration) {
  jptest::TempDir temp;
  const std::string hive = temp / "registry.reg";
  Hive first;
  for (const auto& value : saver::Generation(0)) ASSERT_TRUE(first.Set(Root::LocalMachine, saver::kKey, value));
  std::string error;
  ASSERT_TRUE(wce::registry::SaveHiveFile(hive, wce::registry::HiveToText(first), error)) << error;

  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> delayUs(0, 30000);
  uint32_t last = 0;
  int killedInSave = 0;
  int moved = 0;
  for (int trial = 0; trial < kTrials; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    pid_t pid = StartSaver(hive);
    ASSERT_GT(pid, 0) << "the saver did not start";
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
    ASSERT_EQ(kill(pid, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped by itself with " << status;

    // Its temporary file is there when the kill came between creating it and the rename;
    // anything else would be a stray.
    std::vector<std::string> left = Leftovers(temp.Path());
    if (left.size() == 1 && left[0] == "registry.reg.tmp-" + std::to_string(pid)) ++killedInSave;
    else ASSERT_TRUE(left.empty()) << left[0];

    // The next start reads it with the device's reader: whole, one
    // generation, and nothing set aside (a damaged copy would be left over).
    ASSERT_TRUE(wce::RegistryOpenHive(hive));
    ASSERT_TRUE(Leftovers(temp.Path()).empty()) << Leftovers(temp.Path())[0];
    uint32_t gen = 0;
    bool whole = saver::OneGeneration(
        [](const std::wstring& name, wce::registry::Value& value) {
          return wce::registry::GetValue(Root::LocalMachine, saver::kKey, name, value) ==
                 wce::registry::Lookup::Found;
        },
        gen);
    wce::RegistryCloseHive();
    ASSERT_TRUE(whole) << "values missing or of different generations";
    ASSERT_GE(gen, last) << "an older generation came back";
    if (gen > last) ++moved;
    last = gen;
  }
  std::printf("%d kills, %d inside a save (temporary file present), %d after a new generation; last %u\n",
              kTrials, killedInSave, moved, last);
  // The kills must have hit saves in progress often, and saves must have finished too.
  EXPECT_GE(killedInSave, kTrials / kShareDivisor);
  EXPECT_GE(moved, kTrials / kShareDivisor);
}

}  // namespace
