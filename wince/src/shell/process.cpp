// CreateProcessW: starts a real program through posix_spawn. The device path
// of the image is mapped to the host's; the command line holds only the
// arguments, as on Windows CE, and is split as the started program would.
#include "shell/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/device.h"
#include "device/internal.h"
#include "kernel/paths.h"
#include "kernel/thread.h"
#include "shell/command_line.h"
#include "shell/shell_internal.h"

extern char** environ;

namespace wce::shell {
namespace {

struct Program {
  pid_t pid = 0;
  std::mutex lock;
  std::condition_variable ended;
  bool done = false;
  int status = 0;
};

// A process handle or its primary thread's handle; both close on their own.
struct ProgramHandle {
  std::shared_ptr<Program> program;
};

HandleTable<ProgramHandle>& Handles() {
  static auto* table = new HandleTable<ProgramHandle>(kProcessHandleKind);  // outlives reaper threads
  return *table;
}

bool CloseProgramHandle(HANDLE handle) { return Handles().Remove(handle) != nullptr; }

// A thread per program waits for its end, so no zombie stays and nothing
// depends on SIGCHLD, which belongs to whoever hosts the device.
void Reap(std::shared_ptr<Program> program) {
  int status = 0;
  pid_t got = 0;
  do {
    got = waitpid(program->pid, &status, 0);
  } while (got < 0 && errno == EINTR);
  std::lock_guard<std::mutex> guard(program->lock);
  program->done = true;
  program->status = got == program->pid ? status : 0;
  program->ended.notify_all();
}

// posix_spawn's attribute and file-action objects, destroyed on every path.
struct SpawnSetup {
  posix_spawnattr_t attr;
  posix_spawn_file_actions_t actions;
  bool ok = false;

  SpawnSetup() {
    if (posix_spawnattr_init(&attr) != 0) return;
    if (posix_spawn_file_actions_init(&actions) != 0) {
      posix_spawnattr_destroy(&attr);
      return;
    }
    ok = Configure();
  }
  ~SpawnSetup() {
    if (!ok) return;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

 private:
  // The program starts in a session of its own (a Ctrl+C meant for the host
  // does not reach it), with default signal handling, no blocked signals, no
  // input and none of the host's other open files.
  bool Configure() {
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGCHLD, SIGQUIT}) sigaddset(&defaults, sig);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID;
    bool good = posix_spawnattr_setflags(&attr, flags) == 0 && posix_spawnattr_setsigmask(&attr, &none) == 0 &&
                posix_spawnattr_setsigdefault(&attr, &defaults) == 0 &&
                posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    good = good && posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
#endif
    if (!good) {
      posix_spawn_file_actions_destroy(&actions);
      posix_spawnattr_destroy(&attr);
    }
    return good;
  }
};

// Starts `path` with `args` (argv[0] is the path); 0 when it could not start.
// A bare name is looked for on the host's PATH, as the device looks in its
// Windows folder.
pid_t Spawn(const std::string& path, const std::vector<std::string>& args) {
#ifdef __EMSCRIPTEN__
  // no processes in a browser: the device's starter takes every start there
  (void)path;
  (void)args;
  return 0;
#else
  SpawnSetup setup;
  if (!setup.ok) return 0;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  bool bare = path.find('/') == std::string::npos;
  int err = bare ? posix_spawnp(&pid, path.c_str(), &setup.actions, &setup.attr, argv.data(), environ)
                 : posix_spawn(&pid, path.c_str(), &setup.actions, &setup.attr, argv.data(), environ);
  return err == 0 ? pid : 0;
#endif
}

bool StartReaper(const std::shared_ptr<Program>& program) {
  try {
    std::thread(Reap, program).detach();
    return true;
  } catch (...) {
    return false;
  }
}

using Starter = std::function<bool(const std::string&, const std::vector<std::string>&)>;

struct StartCheck {
  std::mutex lock;
  std::function<bool(const std::string&)> check;
  Starter starter;
};

StartCheck& TheStartCheck() {
  static auto* check = new StartCheck;  // read by program threads until the process ends
  return *check;
}

bool MayStart(const std::string& path) {
  std::function<bool(const std::string&)> check;
  {
    StartCheck& s = TheStartCheck();
    std::lock_guard<std::mutex> guard(s.lock);
    check = s.check;
  }
  return !check || check(path);
}

Starter TheStarter() {
  StartCheck& s = TheStartCheck();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.starter;
}

std::string TraceArguments(const std::string& path, const std::string& commandLine) {
  return commandLine.empty() ? path : path + " " + commandLine;
}

}  // namespace

bool WaitForProgramEnd(HANDLE process, uint32_t timeoutMs, int* status) {
  std::shared_ptr<ProgramHandle> handle = Handles().Lookup(process);
  if (!handle) return false;
  Program& p = *handle->program;
  std::unique_lock<std::mutex> lock(p.lock);
  if (!p.ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return p.done; })) return false;
  if (status) *status = p.status;
  return true;
}

void ProcessesReset() { Handles().Clear(); }

}  // namespace wce::shell

void wce::internal::SetProgramStartCheck(std::function<bool(const std::string& posixPath)> check,
                                          shell::Starter starter) {
  shell::StartCheck& s = shell::TheStartCheck();
  std::lock_guard<std::mutex> guard(s.lock);
  s.check = std::move(check);
  s.starter = std::move(starter);
}

using namespace wce::shell;

extern "C" BOOL WINAPI CreateProcessW(LPCWSTR pszImageName, LPWSTR pszCmdLine, LPSECURITY_ATTRIBUTES psaProcess,
                                      LPSECURITY_ATTRIBUTES psaThread, BOOL fInheritHandles, DWORD,
                                      LPVOID pvEnvironment, LPWSTR pszCurDir, LPSTARTUPINFOW,
                                      LPPROCESS_INFORMATION pProcInfo) {
  // What Windows CE leaves unsupported must be absent; creation flags and the
  // start-up record mean nothing to a host process and are ignored.
  if (pszImageName == nullptr || *pszImageName == 0 || psaProcess != nullptr || psaThread != nullptr ||
      fInheritHandles || pvEnvironment != nullptr || pszCurDir != nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  try {
    std::string path = wce::DevicePathToPosix(pszImageName);
    std::wstring line = pszCmdLine ? std::wstring(pszCmdLine) : std::wstring();
    std::string lineText = wce::WideToUtf8(line);
    std::vector<std::string> args;
    for (const std::wstring& a : SplitCommandLine(line)) args.push_back(wce::WideToUtf8(a));

    auto program = std::make_shared<Program>();
    bool started = false;
    if (MayStart(path)) {
      if (Starter starter = TheStarter()) {
        started = starter(path, args);
        program->done = true;  // handed over: nothing of ours to wait for
      } else {
        program->pid = Spawn(path, args);
        started = program->pid != 0;
      }
    }
    if (!started) {
      wce::Trace("start-program-failed " + TraceArguments(path, lineText));
      SetLastError(ERROR_FILE_NOT_FOUND);
      return FALSE;
    }
    if (program->pid != 0) StartReaper(program);  // without a thread to spare the program still runs; only its exit goes unreaped
    wce::AddCloseHandleHook(CloseProgramHandle);
    wce::Trace("start-program " + TraceArguments(path, lineText));
    if (pProcInfo) {
      pProcInfo->hProcess = reinterpret_cast<HANDLE>(Handles().Insert(std::make_shared<ProgramHandle>(ProgramHandle{program})));
      pProcInfo->hThread = reinterpret_cast<HANDLE>(Handles().Insert(std::make_shared<ProgramHandle>(ProgramHandle{program})));
      // On Linux a process's first thread has the process's id.
      pProcInfo->dwProcessId = static_cast<DWORD>(program->pid);
      pProcInfo->dwThreadId = static_cast<DWORD>(program->pid);
    }
    return TRUE;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
}
