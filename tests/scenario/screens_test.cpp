// Every screen of the program walked with the pen on the headless bench, with
// a skin of plain colours: each page is known by its pictures, each slide by
// where the old and new screens lie in the frame half-way through it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app_scenario.h"

namespace jptest {
namespace {

enum class Page { Home, Sounds, Settings, About, Browser };

const char* const kGridUp[] = {"Btn_SlotGrid_L1C2_Up", "Btn_SlotGrid_L2C3_Up", "Btn_SlotGrid_L3C2_Up",
                               "Btn_SlotGrid_L2C1_Up", "Btn_SlotGrid_L2C2_Up"};
const char* const kSlotPack[] = {"Pack1", "Pack2", "Pack3", "Pack1", "Pack2"};

// The pictures that tell each page apart, at points no text or icon covers.
void ExpectPage(const PngImage& shot, Page page, const std::string& label) {
  SCOPED_TRACE(label);
  ASSERT_EQ(shot.width, 480);
  ASSERT_EQ(shot.height, 640);
  EXPECT_TRUE(ShowsPicture(shot, 5, 5, "Pic_TopBar_App"));
  EXPECT_TRUE(ShowsPicture(shot, 432, 4, "Btn_TopBar_Close_Up"));
  bool tabs = page == Page::Home || page == Page::Sounds || page == Page::Settings;
  if (tabs) {
    EXPECT_TRUE(ShowsPicture(shot, 5, 537, page == Page::Home ? "Chk_BottomBar_Home_Dn" : "Chk_BottomBar_Home_Up"));
    EXPECT_TRUE(
        ShowsPicture(shot, 165, 537, page == Page::Sounds ? "Chk_BottomBar_Sounds_Dn" : "Chk_BottomBar_Sounds_Up"));
    EXPECT_TRUE(ShowsPicture(shot, 325, 537,
                             page == Page::Settings ? "Chk_BottomBar_Settings_Dn" : "Chk_BottomBar_Settings_Up"));
  } else {
    EXPECT_TRUE(ShowsPicture(shot, 5, 537, "Pic_BottomBar"));
  }
  // The about button shows only over the Settings page.
  EXPECT_TRUE(ShowsPicture(shot, 380, 4, page == Page::Settings ? "Btn_TopBar_About_Up" : "Pic_TopBar_App"));
  switch (page) {
    case Page::Home:
      EXPECT_TRUE(ShowsPicture(shot, 5, 57, "Pic_SlotGrid_L1C1"));
      EXPECT_TRUE(ShowsPicture(shot, 475, 57, "Pic_SlotGrid_L1C3"));
      EXPECT_TRUE(ShowsPicture(shot, 5, 377, "Pic_SlotGrid_L3C1"));
      EXPECT_TRUE(ShowsPicture(shot, 475, 377, "Pic_SlotGrid_L3C3"));
      for (int n = 1; n <= 5; ++n) {
        auto [x, y] = GridCell(n);
        EXPECT_TRUE(ShowsPicture(shot, x + 4, y + 4, kGridUp[n - 1])) << "slot " << n;
      }
      break;
    case Page::Sounds:
      EXPECT_TRUE(ShowsPicture(shot, 5, 60, "Pic_OpenSoundsType"));
      for (int n = 1; n <= 5; ++n) {
        EXPECT_TRUE(ShowsPicture(shot, 75, SoundsRowTop(n) + 4, "BtnEx_OpenSound_Up")) << "slot " << n;
        EXPECT_TRUE(ShowsPicture(shot, 475, SoundsRowTop(n) + 4, "Btn_PlaySound_Up")) << "slot " << n;
      }
      break;
    case Page::Settings:
      for (int y : {104, 174, 244}) EXPECT_TRUE(ShowsPicture(shot, 262, y, "Cmb_General_Up"));
      break;
    case Page::About:
      EXPECT_TRUE(ShowsPicture(shot, 142, 558, "Btn_BottomBar_Up"));
      break;
    case Page::Browser:
      EXPECT_TRUE(ShowsPicture(shot, 32, 558, "Btn_BottomBar_Up"));
      EXPECT_TRUE(ShowsPicture(shot, 252, 558, "Btn_BottomBar_Up"));
      break;
  }
}

// How far a slide of `kind` has gone in `mid`, found by building the frame
// from the screens before and after for every distance: the distance whose
// frame agrees best, or -1 when none agrees with at least 99 % of the page
// area.
int SlideDistance(const PngImage& before, const PngImage& after, const PngImage& mid, int kind) {
  bool columns = kind == 1 || kind == 2;
  int extent = columns ? 480 : 640;
  // Where the pixel at position p along the moving axis comes from, at distance v.
  auto expected = [&](int x, int y, int v) -> uint32_t {
    int p = columns ? x : y;
    bool fromAfter = false;
    int q = p;
    switch (kind) {
      case 1:  // the new screen pushes in from the far side
      case 3:
        fromAfter = p >= extent - v;
        q = fromAfter ? p - (extent - v) : p + v;
        break;
      case 2:  // from the near side
      case 4:
        fromAfter = p < v;
        q = fromAfter ? p + extent - v : p - v;
        break;
      case 10:  // the old screen slides away over the new one
        fromAfter = p >= extent - v;
        q = fromAfter ? p : p + v;
        break;
      case 11:  // the new screen slides in over the old one
        fromAfter = p < v;
        q = fromAfter ? p + extent - v : p;
        break;
    }
    const PngImage& source = fromAfter ? after : before;
    return columns ? source.At(q, y) : source.At(x, q);
  };
  const int samples = 160 * 160;  // every third pixel of the page area
  int best = -1, bestMiss = samples;
  for (int v = 1; v < extent; ++v) {
    int miss = 0;
    for (int y = 52; y < 532 && miss < bestMiss; y += 3)
      for (int x = 0; x < 480; x += 3)
        if (mid.At(x, y) != expected(x, y, v)) ++miss;
    if (miss < bestMiss) bestMiss = miss, best = v;
  }
  return bestMiss * 100 <= samples ? best : -1;
}

struct Slide {
  const char* name;
  int x, y;  // the tap that starts it
  int kind;
  Page to;
  bool onDown;  // a tab (check box) acts as the pen goes down, a button as it lifts
};

class Screens : public AppScenario {
 protected:
  // Runs the slides one after another, each with shots before (for a
  // button with the pen down, so it looks pressed as the slide starts),
  // half-way and after, and checks every page and every slide.
  void WalkSlides(const std::string& start, const std::vector<Slide>& slides, Page first) {
    std::string script = "wait 2500\n" + start + "wait 500\n";
    for (size_t i = 0; i < slides.size(); ++i) {
      std::string n = std::to_string(i);
      std::string point = std::to_string(slides[i].x) + " " + std::to_string(slides[i].y) + "\n";
      if (slides[i].onDown)
        script += ShotLine("before" + n) + "down " + point + "wait 150\n" + ShotLine("mid" + n) + "up " + point;
      else
        script += "down " + point + "wait 20\n" + ShotLine("before" + n) + "up " + point + "wait 150\n" +
                  ShotLine("mid" + n);
      script += "wait 350\n" + ShotLine("after" + n);
    }
    RunResult result = Run(script);
    ASSERT_EQ(result.status, 0) << result.err;
    if (slides[0].onDown) ExpectPage(Shot("before0"), first, "before the first slide");
    for (size_t i = 0; i < slides.size(); ++i) {
      std::string n = std::to_string(i);
      PngImage before = Shot("before" + n), mid = Shot("mid" + n), after = Shot("after" + n);
      ExpectPage(after, slides[i].to, std::string("after ") + slides[i].name);
      int v = SlideDistance(before, after, mid, slides[i].kind);
      int extent = slides[i].kind <= 2 ? 480 : 640;
      EXPECT_GT(v, extent / 4) << slides[i].name << ": half-way frame is no slide of kind " << slides[i].kind;
      EXPECT_LT(v, extent * 3 / 4) << slides[i].name;
    }
  }
};

TEST_F(Screens, StartUpEndsOnHomeWithTheSlotsIconsAndTheSwitchesAsSaved) {
  PrepareDefault();
  RunResult result = Run("wait 1000\n" + ShotLine("splash") + "wait 1500\n" + ShotLine("home"));
  ASSERT_EQ(result.status, 0) << result.err;
  PngImage splash = Shot("splash");
  EXPECT_FALSE(ShowsPicture(splash, 5, 5, "Pic_TopBar_App")) << "the pages show behind the splash";
  PngImage home = Shot("home");
  ExpectPage(home, Page::Home, "start-up");
  for (int n = 1; n <= 5; ++n) {
    auto [x, y] = GridCell(n);
    EXPECT_TRUE(ShowsColour(home, x + 80, y + 80, PackBigColour(kSlotPack[n - 1]))) << "icon of slot " << n;
  }
  EXPECT_TRUE(ShowsPicture(home, 366, 418, "Chk_General_2_Up")) << "motion starts off";
  EXPECT_TRUE(ShowsPicture(home, 46, 418, "Chk_General_2_Dn")) << "pulse was saved on";
}

TEST_F(Screens, EachTabSlidesTowardsItsSide) {
  PrepareDefault();
  const int* home = at::kHomeTab;
  const int* sounds = at::kSoundsTab;
  const int* settings = at::kSettingsTab;
  WalkSlides("", {{"Home to Sounds", sounds[0], sounds[1], 1, Page::Sounds, true},
                  {"Sounds to Settings", settings[0], settings[1], 1, Page::Settings, true},
                  {"Settings to Sounds", sounds[0], sounds[1], 2, Page::Sounds, true},
                  {"Sounds to Home", home[0], home[1], 2, Page::Home, true},
                  {"Home to Settings", settings[0], settings[1], 1, Page::Settings, true},
                  {"Settings to About", at::kAbout[0], at::kAbout[1], 11, Page::About, false},
                  {"About back to Settings", at::kBack[0], at::kBack[1], 10, Page::Settings, false},
                  {"Settings to Home", home[0], home[1], 2, Page::Home, true}},
             Page::Home);
}

TEST_F(Screens, TheBrowserComesFromTheTopAndGoesBackFromTheBottom) {
  PrepareDefault();
  WalkSlides(Tap(at::kSoundsTab), {{"slot 3 to the browser", 200, SoundsRowTop(3) + 48, 4, Page::Browser, false},
                                   {"Cancel to Sounds", at::kCancel[0], at::kCancel[1], 3, Page::Sounds, false}},
             Page::Sounds);
}

TEST_F(Screens, TheSelectedTabIsLockedAndWithoutAnimationsEveryChangeIsImmediate) {
  TestSettings settings;
  settings.animationsOn = 0;
  Prepare(FiveSlotPacks(), settings);
  RunResult result = Run("wait 2500\n" + ShotLine("home") + Tap(at::kHomeTab) + "wait 20\n" +
                         ShotLine("home-again") + Tap(at::kSoundsTab) + "wait 20\n" + ShotLine("sounds") +
                         Tap(at::kSettingsTab) + "wait 20\n" + ShotLine("settings") + Tap(at::kAbout) +
                         "wait 20\n" + ShotLine("about") + Tap(at::kBack) + "wait 20\n" + ShotLine("back"));
  ASSERT_EQ(result.status, 0) << result.err;
  PngImage home = Shot("home"), again = Shot("home-again");
  EXPECT_EQ(home.pixels, again.pixels) << "tapping the selected tab changed the screen";
  ExpectPage(again, Page::Home, "the Home tab tapped again");
  ExpectPage(Shot("sounds"), Page::Sounds, "Sounds at once");
  ExpectPage(Shot("settings"), Page::Settings, "Settings at once");
  ExpectPage(Shot("about"), Page::About, "About at once");
  ExpectPage(Shot("back"), Page::Settings, "back at once");
}

TEST_F(Screens, AboutsDonationButtonStartsTheBrowserOnTheDonationPage) {
  PrepareDefault();
  RunResult result =
      Run("wait 2500\n" + Tap(at::kSettingsTab) + "wait 400\n" + Tap(at::kAbout) + "wait 400\n" + Tap(at::kDonate) +
          "wait 100\n");
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<std::pair<long, std::string>> trace = Trace();
  auto started = std::find_if(trace.begin(), trace.end(),
                              [](const auto& e) { return e.second.rfind("start-program /bin/true ", 0) == 0; });
  ASSERT_NE(started, trace.end()) << "no browser started";
  EXPECT_EQ(started->first, 3300);
  // One argument: the address, without a scheme.
  std::string address = started->second.substr(std::string("start-program /bin/true ").size());
  EXPECT_FALSE(address.empty());
  EXPECT_EQ(address.find("://"), std::string::npos) << address;
  EXPECT_EQ(address.find(' '), std::string::npos) << address;
}

TEST_F(Screens, TheCloseButtonClosesOrOnlyMinimizesAsTheSwitchSays) {
  struct Case {
    int xButtonClose;
    bool closes;
  };
  for (Case c : {Case{1, true}, Case{0, false}}) {
    SCOPED_TRACE(c.xButtonClose);
    TestSettings settings;
    settings.xButtonClose = c.xButtonClose;
    settings.sensitivity[0] = 8;
    Prepare(FiveSlotPacks(), settings);
    RunResult result = Run("wait 2500\n" + Tap(at::kClose) + "wait 1000\n");
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<std::pair<long, std::string>> trace = Trace();
    EXPECT_EQ(FirstEventTime(trace, "exit 0"), c.closes ? 2500 : 3500);
    EXPECT_EQ(FirstEventTime(trace, "window minimized"), c.closes ? -1 : 2500);
    // Saved either way, when the program really ends.
    EXPECT_EQ(SavedSettings()["SensitivityX"], "dword:00000008");
  }
}

}  // namespace
}  // namespace jptest
