// The desktop Windows build under Wine, in a private X server and a fresh Wine
// prefix: the device's own checks, then the program as a person meets it. One
// run per staged build (x86_64 and i686), given by the build as JP_WINDOWS_STAGES
// (separated by '|').
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "png_reader.h"
#include "test_app_dir.h"
#include "test_files.h"
#include "x_display.h"

extern char** environ;

namespace jptest {

// The drawing cases run on our device, in this process (our_device_cases.cpp:
// the device's headers and X11's cannot meet in one file).
std::string OurDeviceCases();

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

// What the window asks of a window manager (_MOTIF_WM_HINTS): its functions
// and decorations, 0 when it asks nothing.
std::pair<long, long> FrameAsked(Display* d, Window w) {
  Atom hints = XInternAtom(d, "_MOTIF_WM_HINTS", False), type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::pair<long, long> frame = {0, 0};
  if (XGetWindowProperty(d, w, hints, 0, 5, False, hints, &type, &format, &count, &after, &data) == Success &&
      data != nullptr && count >= 3)
    frame = {reinterpret_cast<long*>(data)[1], reinterpret_cast<long*>(data)[2]};
  if (data != nullptr) XFree(data);
  return frame;
}

struct Probe {
  int x, y;
  uint32_t rgb;
};

// Points of the bench's shot inside flat areas of the probe skin: every
// pixel within `radius` has the same colour. Text and the edges of pictures,
// where Wine's fonts and ours may differ by a pixel, are left out.
std::vector<Probe> FlatProbes(const PngImage& shot, int step, int radius) {
  std::vector<Probe> probes;
  for (int y = radius; y + radius < shot.height; y += step) {
    for (int x = radius; x + radius < shot.width; x += step) {
      uint32_t colour = shot.At(x, y);
      bool flat = true;
      for (int dy = -radius; dy <= radius && flat; ++dy)
        for (int dx = -radius; dx <= radius && flat; ++dx) flat = shot.At(x + dx, y + dy) == colour;
      if (flat) probes.push_back({x, y, colour});
    }
  }
  return probes;
}

// The probes the window does not show as the bench did, once they settle or
// after `timeoutMs` (the program runs on the real clock under Wine).
std::vector<Probe> ProbesDiffering(Display* d, Window w, const std::vector<Probe>& probes, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::vector<Probe> differing;
  do {
    differing.clear();
    // Wine may still be giving the window its size: only a whole screen is read.
    XWindowAttributes attributes;
    XImage* image = nullptr;
    if (XGetWindowAttributes(d, w, &attributes) && attributes.width >= 480 && attributes.height >= 640)
      image = XGetImage(d, w, 0, 0, 480, 640, AllPlanes, ZPixmap);
    if (image == nullptr) {
      differing = probes;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      continue;
    }
    for (const Probe& p : probes) {
      uint32_t seen = static_cast<uint32_t>(XGetPixel(image, p.x, p.y)) & 0xFFFFFF;
      if (seen != p.rgb) differing.push_back({p.x, p.y, seen});
    }
    XDestroyImage(image);
    if (!differing.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (!differing.empty() && std::chrono::steady_clock::now() < deadline);
  return differing;
}

std::string Describe(const std::vector<Probe>& differing, const std::vector<Probe>& expected) {
  std::ostringstream text;
  text << differing.size() << " of " << expected.size() << " probes differ; first:";
  for (size_t i = 0; i < differing.size() && i < 5; ++i) {
    text << " (" << differing[i].x << "," << differing[i].y << ") " << std::hex << differing[i].rgb << std::dec;
  }
  return text.str();
}

class WineRun : public ::testing::TestWithParam<std::string> {
 protected:
  // One X server and one fresh prefix for the whole suite: a prefix takes
  // Wine many seconds to make.
  static void SetUpTestSuite() {
    // An X error (a window Wine has just replaced) fails a check, not the process.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
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
  // Moved, minimised and closed by its box, never resized; a caption, border and menu.
  const long kResize = 2, kMove = 4, kMinimize = 8, kMaximize = 0x10, kClose = 0x20;
  const long kBorder = 2, kTitle = 8, kMenu = 0x10;
  auto [functions, decorations] = FrameAsked(x_->display, window);
  EXPECT_EQ(functions & (kMove | kMinimize | kClose | kResize | kMaximize), kMove | kMinimize | kClose);
  EXPECT_EQ(decorations & (kBorder | kTitle | kMenu), kBorder | kTitle | kMenu);
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

// The same probe skin and the same pages reached by the same clicks: where the
// bench's screen is flat, Wine's window shows the same colour.
TEST_P(WineRun, PagesLookAsOnTheHeadlessBench) {
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(x_->display, &event, &error, &major, &minor)) GTEST_SKIP() << "Xvfb without XTest";
  TempDir temp;
  std::string app = temp / "app";
  ASSERT_TRUE(WriteTestAppDir(app, FiveSlotPacks()));
  for (const char* file : {"Jostlepad.exe", "HTCSensorSDK.dll"})
    std::filesystem::copy_file(Stage() + "/" + file, app + "/" + file);

  struct Step {
    const char* name;
    int x, y;  // where to click; (0, 0): no click
  };
  // Home, then each tab, About and back: every page a click away.
  const Step steps[] = {{"start", 0, 0},      {"sounds", 240, 586}, {"settings", 400, 586},
                        {"about", 402, 26},   {"back", 240, 586},   {"home", 80, 586}};
  std::string script = "wait 2500\n";
  for (const Step& s : steps) {
    if (s.x != 0) script += "tap " + std::to_string(s.x) + " " + std::to_string(s.y) + "\nwait 600\n";
    script += "shot " + (temp / (std::string(s.name) + ".png")) + "\n";
  }
  ASSERT_TRUE(WriteText(temp / "script.txt", script));
  MakeDirs(temp / "device");
  std::vector<std::string> args = {JP_JOSTLEPAD_BIN, "--headless", "--script", temp / "script.txt", "--device",
                                   temp / "device", "--app-dir", app, "--audio", "none"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t bench = -1;
  ASSERT_EQ(posix_spawn(&bench, argv[0], nullptr, nullptr, argv.data(), environ), 0);
  int status = -1;
  waitpid(bench, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  wine_->Run({"reg", "delete", "HKCU\\Software\\Marrowfen", "/f"}, Log("reg_delete.txt"), 60000);
  pid_t pid = wine_->Start({app + "/Jostlepad.exe"}, Log("pages.txt"));
  Window window = WaitForWindow(x_->display, "Jostlepad", 60000);
  ASSERT_NE(window, 0u);
  for (const Step& s : steps) {
    PngImage shot;
    ASSERT_TRUE(ReadPngRgb(temp / (std::string(s.name) + ".png"), shot)) << s.name;
    std::vector<Probe> probes = FlatProbes(shot, 8, 6);
    ASSERT_GT(probes.size(), 500u) << s.name;  // enough of the screen is checked
    if (s.x != 0) Click(x_->display, window, s.x, s.y);
    std::vector<Probe> differing = ProbesDiffering(x_->display, window, probes, 15000);
    EXPECT_TRUE(differing.empty()) << s.name << ": " << Describe(differing, probes);
  }
  SendDeleteWindow(x_->display, window);
  Outcome closed = Wine::Wait(pid, Log("pages.txt"), 30000);
  EXPECT_EQ(closed.status, 0) << closed.out;
}

// Where Wine's GDI and ours may rightly differ: the case, and why. Our
// device follows the phone where the phone's documented behaviour differs
// from a desktop's.
struct KnownDifference {
  const char* name;
  const char* why;
};
const KnownDifference kKnownDifferences[] = {
    {"fillrect_inverted",
     "FillRect of a rectangle whose right is left of its left: our device fills nothing, as the platform's "
     "rectangle functions take it for empty; Wine hands it to PatBlt as a negative extent and fills "
     "[right + 1, left + 1). The program never fills such a rectangle."},
    {"lines_width_3",
     "Our pens draw one pixel wide whatever their width; Wine draws a geometric pen with round ends. The "
     "program draws no line with a wider pen."},
};

std::map<std::string, std::string> CaseLines(const std::string& text) {
  std::map<std::string, std::string> cases;
  std::stringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // a Windows program's text output
    size_t space = line.find(' ');
    if (space != std::string::npos) cases[line.substr(0, space)] = line.substr(space + 1);
  }
  return cases;
}

// Text rectangles may differ by this much: the two draw with their own fonts.
const int kTextTolerance = 3;

bool RectsClose(const std::string& a, const std::string& b) {
  int ra[4] = {}, rb[4] = {};
  if (sscanf(a.c_str(), "rect %d %d %d %d", &ra[0], &ra[1], &ra[2], &ra[3]) != 4) return false;
  if (sscanf(b.c_str(), "rect %d %d %d %d", &rb[0], &rb[1], &rb[2], &rb[3]) != 4) return false;
  for (int i = 0; i < 4; ++i)
    if (std::abs(ra[i] - rb[i]) > kTextTolerance) return false;
  return true;
}

TEST_P(WineRun, OurGdiDrawsAsWinesDoes) {
  Outcome wine = wine_->Run({Stage() + "/gdi_judge.exe"}, Log("gdi_judge.txt"), 120000);
  ASSERT_EQ(wine.status, 0) << wine.out;
  std::map<std::string, std::string> theirs = CaseLines(wine.out);
  std::map<std::string, std::string> ours = CaseLines(OurDeviceCases());
  ASSERT_GT(ours.size(), 40u);
  EXPECT_EQ(ours.size(), theirs.size());
  for (const auto& [name, ourResult] : ours) {
    auto their = theirs.find(name);
    ASSERT_NE(their, theirs.end()) << name << " missing from Wine's output";
    bool known = false;
    for (const KnownDifference& k : kKnownDifferences) known = known || name == k.name;
    bool same = ourResult.rfind("rect", 0) == 0 ? RectsClose(ourResult, their->second) : ourResult == their->second;
    if (known) continue;
    EXPECT_TRUE(same) << name << ": ours " << ourResult << ", Wine's " << their->second;
  }
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
