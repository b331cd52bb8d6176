// The program's splash, skin and pen routing on the virtual clock: each
// loader step shown, a close during the splash ending at once, the skin and
// resources let go on destruction, and the pen reaching the root panel.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/AppState.h"
#include "program_fixture.h"

namespace apptest {
namespace {

class SplashProgramTest : public ProgramTest {};

std::wstring SplashText() {
  WCHAR text[kSplashTextLength] = L"?";
  appState.splash->GetText(text);
  return text;
}

TEST_F(SplashProgramTest, EachLoaderStepShowsItsTextAndPercent) {
  StartProgram();
  // A step is announced at the start of its 10 ms.
  const struct {
    uint64_t at;
    const wchar_t* text;
    int percent;
  } steps[] = {{5, L"Loading...", 0}, {35, L"Loading Skin...", 30}, {1999, L"Init Screen...", 100}};
  for (const auto& step : steps) {
    wce::ClockAdvanceTo(step.at);
    ASSERT_TRUE(appState.splash);
    EXPECT_EQ(SplashText(), step.text) << step.at;
    EXPECT_EQ(appState.splash->Percent(), step.percent) << step.at;
  }
  // The skin step made the skin: no pictures beside this executable, but six fonts.
  ASSERT_TRUE(appState.skin);
  EXPECT_EQ(appState.skin->Image(Pic_TopBar_App), nullptr);
  HFONT font = appState.skin->Font(Font14);
  EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(appState.transition->Kind(), 1);
  EXPECT_FALSE(appState.transition->IsRunning());

  EXPECT_EQ(CloseProgram(), 0);
  // WM_DESTROY released the skin's fonts and the resource images.
  EXPECT_EQ(appState.skin->Font(Font14), nullptr);
  EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_EQ(appState.resources->SplashPicture(), nullptr);
}

TEST_F(SplashProgramTest, ACloseDuringTheSplashEndsTheProgramAtOnce) {
  StartProgram();
  wce::ClockAdvanceTo(500);
  ASSERT_TRUE(IsLoading());
  // Every step is done; the loader only holds the splash up until 2000 ms.
  ASSERT_TRUE(appState.skin);
  EXPECT_EQ(CloseProgram(), 0);
  EXPECT_LT(wce::ClockNowMs(), 510u);
}

// A square that vibrates when pressed, as the touch-vibration setting makes the buttons do.
class Pad final : public TouchControl {
 public:
  Pad() : TouchControl(NULL, NULL, 80) {
    SetBounds(100, 200, 50, 50);
    SetVibrateOnPress(TRUE);
  }
};

TEST_F(SplashProgramTest, ThePenReachesTheRootPanelAndAPressVibrates) {
  SetDwordSetting(L"PulseVibrationsOn", 0);
  StartProgram();
  wce::InjectActivate(true);  // full screen: client and screen coordinates agree
  wce::ClockAdvanceTo(2000);
  ASSERT_FALSE(IsLoading());

  // A root of the test's own in place of the built one.
  ControlPanel* built = appState.rootPanel;
  ControlPanel root(NULL, appState.mainWindow, 1);
  Pad pad;
  root.AddChild(&pad);
  appState.rootPanel = &root;
  wce::InjectPen(wce::PenAction::Down, 120, 220);
  wce::ClockAdvanceTo(2200);
  EXPECT_TRUE(pad.IsPressed());
  // Leaving the pad releases it; its own coordinates are those of the window.
  wce::InjectPen(wce::PenAction::Move, 160, 220);
  wce::ClockAdvanceTo(2300);
  EXPECT_FALSE(pad.IsPressed());
  wce::InjectPen(wce::PenAction::Up, 160, 220);
  wce::ClockAdvanceTo(2400);
  EXPECT_EQ(TimesOf("vibrate on"), std::vector<uint64_t>{2000});
  EXPECT_EQ(TimesOf("vibrate off"), std::vector<uint64_t>{2025});

  // The pulse check box is off: a motion plays without vibrating.
  PostMessageW(appState.mainWindow, WM_MOTION, 1, 0);
  wce::ClockAdvanceTo(2500);
  EXPECT_EQ(TimesOf("vibrate on").size(), 1u);
  EXPECT_EQ(CloseProgram(), 0);
  appState.rootPanel = built;
}

}  // namespace
}  // namespace apptest
