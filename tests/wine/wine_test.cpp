// The desktop Windows build under Wine, in a private X server and a fresh Wine
// prefix: the device's own checks, then the program as a person meets it. One
// run per staged build (x86_64 and i686), given by the build as JP_WINDOWS_STAGES
// (separated by '|').
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "test_files.h"
#include "x_display.h"

extern char** environ;

namespace jptest {
namespace {

const char kSettingsKey[] = "HKCU\\Software\\Marrowfen\\Jostlepad\\Settings";

std::vector<std::string> Stages() {
  std::vector<std::string> stages;
  std::stringstream list(JP_WINDOWS_STAGES);
  for (std::string stage; std::getline(list, stage, '|');)
    if (!stage.empty()) stages.push_back(stage);
  return stages;
}

struct Outcome {
  int status = -1;  // -1: still running when the time was up (then killed)
  std::string out;
};

// Wine with the suite's prefix and display; output to `log`.
class Wine {
 public:
  Wine(const std::string& prefix, const std::string& display) : prefix_(prefix), display_(display) {}

  pid_t Start(const std::vector<std::string>& args, const std::string& log) const {
    std::vector<std::string> text = {"wine"};
    text.insert(text.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : text) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envText = {"WINEPREFIX=" + prefix_, "DISPLAY=" + display_, "WINEDEBUG=-all",
                                        // no Mono or Gecko installer dialogs in a fresh prefix
                                        "WINEDLLOVERRIDES=mscoree,mshtml="};
    for (char** e = environ; *e != nullptr; ++e) {
      std::string entry = *e;
      std::string name = entry.substr(0, entry.find('='));
      if (name != "WINEPREFIX" && name != "DISPLAY" && name != "WINEDEBUG" && name != "WINEDLLOVERRIDES")
        envText.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    if (posix_spawnp(&pid, "wine", &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  static Outcome Wait(pid_t pid, const std::string& log, int timeoutMs) {
    Outcome outcome;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (pid > 0) {
      if (waitpid(pid, &status, WNOHANG) == pid) {
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        break;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::ifstream in(log);
    outcome.out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return outcome;
  }

  Outcome Run(const std::vector<std::string>& args, const std::string& log, int timeoutMs) const {
    return Wait(Start(args, log), log, timeoutMs);
  }

 private:
  std::string prefix_;
  std::string display_;
};

// What a window manager sends when the user clicks the close button.
void SendDeleteWindow(Display* d, Window w) {
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = w;
  event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &event);
  XFlush(d);
}

int CountByTitle(Display* d, Window w, const std::string& title) {
  int count = 0;
  char* name = nullptr;
  if (XFetchName(d, w, &name) && name != nullptr) {
    count += title == name ? 1 : 0;
    XFree(name);
  }
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int n = 0;
  if (XQueryTree(d, w, &root, &parent, &children, &n)) {
    for (unsigned int i = 0; i < n; ++i) count += CountByTitle(d, children[i], title);
    if (children != nullptr) XFree(children);
  }
  return count;
}

class WineRun : public ::testing::TestWithParam<std::string> {
 protected:
  // One X server and one fresh prefix for the whole suite: a prefix takes
  // Wine many seconds to make.
  static void SetUpTestSuite() {
    x_ = new Xvfb();
    temp_ = new TempDir();
    if (x_->display == nullptr) return;
    wine_ = new Wine(*temp_ / "prefix", x_->Name());
    Outcome boot = wine_->Run({"wineboot", "--init"}, *temp_ / "wineboot.txt", 180000);
    ready_ = boot.status == 0;
    if (!ready_) bootLog_ = boot.out;
  }

  static void TearDownTestSuite() {
    if (wine_ != nullptr) {
      // The prefix's server lingers after its last program; end it now.
      const char* argv[] = {"wineserver", "-k", nullptr};
      std::string prefix = "WINEPREFIX=" + (*temp_ / "prefix");
      const char* envp[] = {prefix.c_str(), nullptr};
      pid_t pid = -1;
      if (posix_spawnp(&pid, "wineserver", nullptr, nullptr, const_cast<char**>(argv), const_cast<char**>(envp)) == 0)
        waitpid(pid, nullptr, 0);
    }
    delete wine_;
    delete temp_;
    delete x_;
    wine_ = nullptr;
    temp_ = nullptr;
    x_ = nullptr;
  }

  void SetUp() override {
    if (x_->display == nullptr) GTEST_SKIP() << "no Xvfb on this machine (apt-get install xvfb)";
    ASSERT_TRUE(ready_) << "wineboot failed:\n" << bootLog_;
  }

  std::string Stage() const { return GetParam(); }
  std::string Log(const std::string& name) const { return *temp_ / name; }

  // Starts the program and waits for its window past the splash.
  pid_t StartProgram(const std::string& log, Window& window) const {
    pid_t pid = wine_->Start({Stage() + "/Jostlepad.exe"}, log);
    window = WaitForWindow(x_->display, "Jostlepad", 60000);
    // A close during the loader may come before the settings exist; let the
    // splash pass, as a person would.
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    return pid;
  }

  // The settings as `wine reg query` prints them: name -> value text.
  std::map<std::string, std::string> Settings() const {
    Outcome query = wine_->Run({"reg", "query", kSettingsKey}, Log("reg.txt"), 60000);
    std::map<std::string, std::string> values;
    std::stringstream lines(query.out);
    for (std::string line; std::getline(lines, line);) {
      std::stringstream fields(line);
      std::string name, type, value;
      if (fields >> name >> type && type.rfind("REG_", 0) == 0) {
        std::getline(fields >> std::ws, value);
        if (!value.empty() && value.back() == '\r') value.pop_back();
        values[name] = value;
      }
    }
    return values;
  }

  static Xvfb* x_;
  static TempDir* temp_;
  static Wine* wine_;
  static bool ready_;
  static std::string bootLog_;
};

Xvfb* WineRun::x_ = nullptr;
TempDir* WineRun::temp_ = nullptr;
Wine* WineRun::wine_ = nullptr;
bool WineRun::ready_ = false;
std::string WineRun::bootLog_;

TEST_P(WineRun, DeviceChecksPass) {
  std::string corpora = JP_CORPORA_DIR;
  Outcome checks = wine_->Run({Stage() + "/win32_device_tests.exe", "Z:" + Stage(), "Z:" + corpora},
                              Log("device_checks.txt"), 120000);
  EXPECT_EQ(checks.status, 0) << checks.out;
  EXPECT_NE(checks.out.find("0 failed"), std::string::npos) << checks.out;
}

TEST_P(WineRun, OpensClosesOnRequestAndKeepsItsSettings) {
  // The prefix is shared by both builds: each starts as a first start.
  wine_->Run({"reg", "delete", "HKCU\\Software\\Marrowfen", "/f"}, Log("reg_delete.txt"), 60000);
  Window window = 0;
  pid_t pid = StartProgram(Log("first.txt"), window);
  ASSERT_NE(window, 0u) << "no window titled Jostlepad appeared";
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(x_->display, window, &attributes));
  EXPECT_EQ(attributes.width, 480);  // the phone's screen at the monitor's 96 dpi
  EXPECT_EQ(attributes.height, 640);
  SendDeleteWindow(x_->display, window);
  Outcome first = Wine::Wait(pid, Log("first.txt"), 30000);
  EXPECT_EQ(first.status, 0) << first.out;
  std::map<std::string, std::string> saved = Settings();
  EXPECT_EQ(saved.size(), 17u);
  EXPECT_EQ(saved["SensitivityX"], "0x5");

  // A value changed while it was closed is read on the next start and saved
  // back as it was read.
  ASSERT_EQ(wine_->Run({"reg", "add", kSettingsKey, "/v", "SensitivityX", "/t", "REG_DWORD", "/d", "8", "/f"},
                       Log("reg_add.txt"), 60000)
                .status,
            0);
  pid = StartProgram(Log("second.txt"), window);
  ASSERT_NE(window, 0u);
  SendDeleteWindow(x_->display, window);
  Outcome second = Wine::Wait(pid, Log("second.txt"), 30000);
  EXPECT_EQ(second.status, 0) << second.out;
  EXPECT_EQ(Settings()["SensitivityX"], "0x8");
}

TEST_P(WineRun, ASecondStartRaisesTheFirstAndEnds) {
  Window window = 0;
  pid_t first = StartProgram(Log("running.txt"), window);
  ASSERT_NE(window, 0u);
  Outcome second = wine_->Run({Stage() + "/Jostlepad.exe"}, Log("again.txt"), 30000);
  EXPECT_EQ(second.status, 0) << second.out;
  EXPECT_EQ(CountByTitle(x_->display, DefaultRootWindow(x_->display), "Jostlepad"), 1);
  SendDeleteWindow(x_->display, window);
  Outcome closed = Wine::Wait(first, Log("running.txt"), 30000);
  EXPECT_EQ(closed.status, 0) << closed.out;
}

std::string StageName(const ::testing::TestParamInfo<std::string>& info) {
  // The build folder's name: win64, win32.
  std::string stage = info.param;
  if (!stage.empty() && stage.back() == '/') stage.pop_back();
  size_t end = stage.rfind('/');
  std::string build = end == std::string::npos ? stage : stage.substr(0, end);
  std::string name = build.substr(build.rfind('/') + 1);
  for (char& c : name)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Builds, WineRun, ::testing::ValuesIn(Stages()), StageName);

}  // namespace
}  // namespace jptest
