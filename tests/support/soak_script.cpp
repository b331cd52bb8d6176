#include "soak_script.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace jptest {
namespace {

constexpr int kWidth = 480, kHeight = 640;
constexpr int kSlideMs = 300;    // every page change slides this long
constexpr int kSettleMs = 400;   // a slide is over and painted
constexpr int64_t kTailMs = 40'000;  // the last episode, the way home and a rest

// splitmix64: tiny, and the same numbers everywhere.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // In [lo, hi].
  int64_t Between(int64_t lo, int64_t hi) { return lo + static_cast<int64_t>(Next() % static_cast<uint64_t>(hi - lo + 1)); }
  bool Chance(int percent) { return Between(1, 100) <= percent; }
  template <class T>
  const T& Pick(const std::vector<T>& items) { return items[static_cast<size_t>(Between(0, static_cast<int64_t>(items.size()) - 1))]; }

 private:
  uint64_t state_;
};

struct Point {
  int x, y;
};

struct Box {
  int x, y, w, h;
  bool Holds(Point p) const { return p.x >= x && p.x < x + w && p.y >= y && p.y < y + h; }
};

// Never touched at random: the close button would end (or minimise) the run,
// and the Animations switch is toggled only where the script knows it. While
// the program is inactive it leaves full screen and the 52-pixel task bar
// pushes both down.
constexpr int kTaskBar = 52;
const Box kCloseButton{428, 0, 52, 52 + kTaskBar};
const Box kAnimationsCheck{260, 380, 200, 60 + kTaskBar};

namespace at {
const Point kHomeTab{80, 586}, kSoundsTab{240, 586}, kSettingsTab{400, 586};
const Point kAbout{402, 26}, kBack{240, 586}, kDonate{241, 428};
const Point kMotion{400, 452}, kPulse{80, 452};
const Point kOk{350, 586}, kCancel{130, 586};
const Point kAnimations{360, 410}, kVibrations{360, 478}, kXButton{360, 342};
Point GridButton(int slot) {
  static const Point cells[] = {{160, 52}, {320, 212}, {160, 372}, {0, 212}, {160, 212}};
  return {cells[slot - 1].x + 80, cells[slot - 1].y + 80};
}
Point SlotRow(int slot) { return {200, 52 + 96 * (slot - 1) + 48}; }
Point PlayButton(int slot) { return {437, 52 + 96 * (slot - 1) + 48}; }
Point ListRow(int row) { return {240, 52 + 80 * row + 40}; }
// The sensitivity selectors' arrows: axis 0..2, left or right half.
Point Selector(int axis, bool up) { return {up ? 430 : 290, 132 + 70 * axis}; }
}  // namespace at

enum class Page { Home, Sounds, Settings };

class Generator {
 public:
  explicit Generator(const SoakOptions& o) : options_(o), random_(o.seed) {}

  std::string Run() {
    out_ << "# soak: seed " << options_.seed << ", " << options_.lengthMs << " ms of device time\n";
    Line("accel 0 0 -1000");
    Wait(2500);  // the splash and the loader
    using Episode = void (Generator::*)();
    // Weighted: each entry is one chance in the table.
    static const std::vector<Episode> kEpisodes = {
        &Generator::RandomTaps,   &Generator::RandomTaps,   &Generator::RandomTaps,  &Generator::RandomDrags,
        &Generator::RandomDrags,  &Generator::Controls,     &Generator::Controls,    &Generator::Controls,
        &Generator::MidSlide,     &Generator::MidSlide,     &Generator::Jerks,       &Generator::Jerks,
        &Generator::Browser,      &Generator::Browser,      &Generator::Activation,  &Generator::SettingsPage,
        &Generator::Idle,
    };
    // Every kind once, then at random.
    for (Episode e : {&Generator::Jerks, &Generator::Browser, &Generator::MidSlide, &Generator::Activation,
                      &Generator::SettingsPage, &Generator::RandomTaps, &Generator::RandomDrags, &Generator::Controls})
      (this->*e)();
    while (now_ < options_.lengthMs - kTailMs) (this->*random_.Pick(kEpisodes))();
    // Home, motion off, at rest, and still until the end: sounds and glides run out.
    Line("accel 0 0 -1000");
    if (!animations_) ToggleAnimations();
    GoHome();
    Wait(std::max<int64_t>(5000, options_.lengthMs - now_));
    return out_.str();
  }

 private:
  void Line(const std::string& text) { out_ << text << "\n"; }
  void Wait(int64_t ms) {
    Line("wait " + std::to_string(ms));
    now_ += ms;
  }
  void Tap(Point p) { Line("tap " + std::to_string(p.x) + " " + std::to_string(p.y)); }
  void TapThenWait(Point p, int64_t ms) {
    Tap(p);
    Wait(ms);
  }
  void Drag(Point a, Point b, int64_t ms) {
    Line("drag " + std::to_string(a.x) + " " + std::to_string(a.y) + " " + std::to_string(b.x) + " " +
         std::to_string(b.y) + " " + std::to_string(ms));
    now_ += ms;
  }
  void Accel(int x, int y, int z) {
    Line("accel " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(z));
  }

  Point AnyPoint() {
    for (;;) {
      Point p{static_cast<int>(random_.Between(0, kWidth - 1)), static_cast<int>(random_.Between(0, kHeight - 1))};
      if (!kCloseButton.Holds(p) && !kAnimationsCheck.Holds(p)) return p;
    }
  }

  // From any screen to Home with motion off: Cancel leaves the browser (on
  // the tab area it is the Home tab), the middle of the bottom bar is BACK
  // on About and the Sounds tab on the tab area, and the Home tab comes last,
  // so the last step is always a real page change.
  void GoHome() {
    TapThenWait(at::kCancel, kSettleMs);
    TapThenWait(at::kSoundsTab, kSettleMs);
    TapThenWait(at::kHomeTab, kSettleMs);
  }

  void GoTo(Page page) {
    GoHome();
    if (page == Page::Sounds) TapThenWait(at::kSoundsTab, kSettleMs);
    if (page == Page::Settings) TapThenWait(at::kSettingsTab, kSettleMs);
  }

  void ToggleAnimations() {
    GoTo(Page::Settings);
    TapThenWait(at::kAnimations, 100);
    animations_ = !animations_;
  }

  void RandomTaps() {
    for (int64_t n = random_.Between(1, 6); n > 0; --n) TapThenWait(AnyPoint(), random_.Between(0, 500));
  }

  void RandomDrags() {
    for (int64_t n = random_.Between(1, 3); n > 0; --n) {
      Drag(AnyPoint(), AnyPoint(), random_.Between(10, 1200));
      Wait(random_.Between(0, 800));
    }
  }

  // Whatever is under these on the page of the moment.
  void Controls() {
    std::vector<Point> targets = {at::kHomeTab, at::kSoundsTab, at::kSettingsTab, at::kAbout, at::kBack,
                                  at::kMotion,  at::kPulse,     at::kOk,          at::kCancel, at::kVibrations,
                                  at::kXButton};
    if (options_.donate) targets.push_back(at::kDonate);
    for (int s = 1; s <= 5; ++s) {
      targets.push_back(at::GridButton(s));
      targets.push_back(at::SlotRow(s));
      targets.push_back(at::PlayButton(s));
    }
    for (int axis = 0; axis < 3; ++axis) {
      targets.push_back(at::Selector(axis, false));
      targets.push_back(at::Selector(axis, true));
    }
    for (int64_t n = random_.Between(2, 8); n > 0; --n) TapThenWait(random_.Pick(targets), random_.Between(0, 600));
  }

  // Page changes started while the last one still slides.
  void MidSlide() {
    if (!animations_ && random_.Chance(80)) ToggleAnimations();
    GoHome();
    static const std::vector<Point> tabs = {at::kHomeTab, at::kSoundsTab, at::kSettingsTab};
    for (int64_t n = random_.Between(2, 6); n > 0; --n) TapThenWait(random_.Pick(tabs), random_.Between(10, kSlideMs - 10));
    Wait(kSettleMs);
    // Settings -> About and back again before it has landed.
    TapThenWait(at::kSettingsTab, kSettleMs);
    TapThenWait(at::kAbout, random_.Between(10, kSlideMs - 10));
    TapThenWait(at::kBack, random_.Between(10, kSlideMs + 100));
    Wait(kSettleMs);
    // Sounds -> the browser, left before it has come in.
    TapThenWait(at::kSoundsTab, kSettleMs);
    TapThenWait(at::SlotRow(static_cast<int>(random_.Between(1, 5))), random_.Between(10, kSlideMs - 10));
    TapThenWait(at::kCancel, kSettleMs);
  }

  void Jerk() {
    const int size = static_cast<int>(random_.Between(150, 1800));
    const int sign = random_.Chance(50) ? 1 : -1;
    switch (random_.Between(0, 3)) {
      case 0: Accel(sign * size, 0, -1000); break;
      case 1: Accel(0, sign * size, -1000); break;
      case 2: Accel(0, 0, -1000 - size); break;
      default:
        Accel(static_cast<int>(random_.Between(-1500, 1500)), static_cast<int>(random_.Between(-1500, 1500)),
              static_cast<int>(random_.Between(-2500, 500)));
    }
    Wait(random_.Between(20, 300));
    Accel(0, 0, -1000);
    Wait(random_.Between(0, 600));
  }

  // The motion switch on, then jerks; now and then the pulse switched, a
  // page change or a deactivation in the middle (each turns motion off).
  void Jerks() {
    GoHome();
    TapThenWait(at::kMotion, 100);
    if (random_.Chance(30)) TapThenWait(at::kPulse, 50);
    for (int64_t n = random_.Between(3, 12); n > 0; --n) {
      Jerk();
      if (random_.Chance(8)) {
        TapThenWait(at::kSoundsTab, random_.Between(10, kSettleMs));
        TapThenWait(at::kHomeTab, kSettleMs);
        TapThenWait(at::kMotion, 100);
      } else if (random_.Chance(8)) {
        Line("deactivate");
        Wait(random_.Between(0, 400));
        Line("activate");
        Wait(100);
        TapThenWait(at::kMotion, 100);
      }
    }
    if (random_.Chance(50)) TapThenWait(at::kMotion, 100);
  }

  // A slot's browser: rows previewed, the list dragged and flung, then OK or Cancel.
  void Browser() {
    GoTo(Page::Sounds);
    TapThenWait(at::SlotRow(static_cast<int>(random_.Between(1, 5))), random_.Chance(20) ? random_.Between(10, kSlideMs) : kSettleMs);
    for (int64_t n = random_.Between(1, 5); n > 0; --n) {
      if (random_.Chance(25)) {
        const int x = static_cast<int>(random_.Between(20, 460));
        Drag({x, static_cast<int>(random_.Between(60, 570))}, {x, static_cast<int>(random_.Between(60, 570))},
             random_.Between(30, 600));
        Wait(random_.Between(0, 1500));
      }
      TapThenWait(at::ListRow(static_cast<int>(random_.Between(0, 6))), random_.Between(20, 700));
    }
    TapThenWait(random_.Chance(60) ? at::kOk : at::kCancel, kSettleMs);
    TapThenWait(at::kCancel, kSettleMs);  // an OK without a row leaves the browser open
  }

  void Activation() {
    Line("deactivate");
    Wait(random_.Between(0, 3000));
    if (random_.Chance(30)) TapThenWait(AnyPoint(), random_.Between(0, 300));
    Line("activate");
    Wait(random_.Between(0, 500));
  }

  void SettingsPage() {
    GoTo(Page::Settings);
    for (int64_t n = random_.Between(1, 8); n > 0; --n)
      TapThenWait(at::Selector(static_cast<int>(random_.Between(0, 2)), random_.Chance(50)), random_.Between(0, 300));
    if (random_.Chance(30)) TapThenWait(at::kVibrations, random_.Between(0, 300));
    // Animations off for a while now and then; the tail turns them back on.
    if (random_.Chance(animations_ ? 15 : 70)) {
      TapThenWait(at::kAnimations, 100);
      animations_ = !animations_;
    }
    if (random_.Chance(40)) {
      TapThenWait(at::kAbout, kSettleMs);
      TapThenWait(at::kBack, kSettleMs);
    }
  }

  void Idle() { Wait(random_.Between(1000, 20000)); }

  SoakOptions options_;
  Random random_;
  std::ostringstream out_;
  int64_t now_ = 0;
  bool animations_ = true;  // the hive's setting at start
};

}  // namespace

std::string SoakScript(const SoakOptions& options) { return Generator(options).Run(); }

int64_t ScriptLengthMs(const std::string& script) {
  std::istringstream in(script);
  std::string word;
  int64_t total = 0;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    if (!(words >> word)) continue;
    int64_t n[5] = {};
    if (word == "wait" && words >> n[0]) total += n[0];
    if (word == "drag" && words >> n[0] >> n[1] >> n[2] >> n[3] >> n[4]) total += n[4];
  }
  return total;
}

}  // namespace jptest
