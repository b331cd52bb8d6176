// The command table on the running program: each row's notification and what
// it does, the transition of each page change, and the settings applied at
// start and collected on close.
#include <gtest/gtest.h>

#include <windows.h>
#include <regext.h>

#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Motion.h"
#include "app/ScreenLayout.h"
#include "program_fixture.h"
#include "ui/composite/ScrollList.h"
#include "ui/core/CheckBox.h"
#include "ui/core/ImageButton.h"
#include "ui/core/TextLabel.h"
#include "ui/core/TwoLineButton.h"
#include "ui/core/ValueSelector.h"

namespace apptest {
namespace {

const char* const kSlotFileNames[] = {"One.wav", "Two.wav", "Three.wav", "Four.wav", "Five.wav"};
const wchar_t* const kSlotFiles[] = {L"One.wav", L"Two.wav", L"Three.wav", L"Four.wav", L"Five.wav"};
const wchar_t* const kSlotNameValues[] = {L"SoundSlot1Name", L"SoundSlot2Name", L"SoundSlot3Name",
                                          L"SoundSlot4Name", L"SoundSlot5Name"};

// The program at Home after its splash, full screen, each slot n filled with
// a constant 1000 * n in pack "Pad" and one more sound, "Spare.wav" (7000),
// in pack "Zed".
class CommandTest : public ProgramTest {
 protected:
  void SetUp() override {
    RecordAudio();
    ProgramTest::SetUp();
  }

  void StartAtHome() {
    for (int n = 1; n <= 5; ++n) {
      WriteSound("Pad", kSlotFileNames[n - 1], Constant(FrameAt(100), static_cast<int16_t>(1000 * n)));
      SetSetting(kSlotNameValues[n - 1], kSlotFiles[n - 1]);
    }
    WriteSound("Zed", "Spare.wav", Constant(FrameAt(100), 7000));
    StartProgram();
    wce::InjectActivate(true);
    wce::ClockAdvanceTo(2000);
    ASSERT_FALSE(IsLoading());
  }

  static void Tap(const TouchControl* control) {
    RECT rect;
    control->GetRect(&rect);
    int x = (rect.left + rect.right) / 2;
    int y = (rect.top + rect.bottom) / 2;
    wce::InjectPen(wce::PenAction::Down, x, y);
    wce::InjectPen(wce::PenAction::Up, x, y);
  }

  // The sound heard at `ms` of the recording.
  static int16_t HeardAt(const std::vector<int16_t>& heard, uint64_t ms) {
    return FrameAt(ms) < heard.size() ? heard[FrameAt(ms)] : -1;
  }
};

// Only the one named panel of each group is visible.
::testing::AssertionResult Shows(const std::vector<TouchControl*>& visible, const std::vector<TouchControl*>& hidden) {
  for (TouchControl* control : visible) {
    if (control == nullptr || !control->IsVisible()) {
      return ::testing::AssertionFailure() << "id " << (control ? control->GetId() : -1) << " hidden";
    }
  }
  for (TouchControl* control : hidden) {
    if (control == nullptr || control->IsVisible()) {
      return ::testing::AssertionFailure() << "id " << (control ? control->GetId() : -1) << " shown";
    }
  }
  return ::testing::AssertionSuccess();
}

std::wstring Caption(const TouchControl* control) {
  WCHAR text[kCaptionLength] = L"";
  control->GetCaption(text);
  return text;
}

std::wstring Subtitle(const TwoLineButton* button) {
  WCHAR text[kCaptionLength] = L"";
  button->GetSubtitle(text);
  return text;
}

int TransitionKind() { return appState.transition->Kind(); }

// One row of the command table: the state it starts from, the notification
// posted at 2100 ms, and what must hold once it is handled (`atOnce`) or at
// 2500 ms, when a transition has ended.
struct CommandRow {
  const char* name;
  int id;
  int code;
  void (*prepare)();
  bool (*holds)();
  int heard;  // thousands in the recording from 2100 ms: slot n is n, "Spare.wav" 7; 0 silence
  bool atOnce = false;
};

void PostCommand(int id, int code) { PostMessageW(appState.mainWindow, WM_COMMAND, MAKEWPARAM(id, code), 0); }

void Nothing() {}

void OpenAbout() {
  appState.tabPanel->SetVisible(FALSE);
  appState.aboutPage->SetVisible(TRUE);
  appState.aboutButton->SetVisible(FALSE);
}

void OpenBrowserForSlot3() {
  appState.tabPanel->SetVisible(FALSE);
  appState.browserPage->SetVisible(TRUE);
  appState.browserSlotId = 99;
}

// The last row is "Spare.wav" of pack "Zed".
void SelectSpare() { appState.soundList->SetSelection(appState.soundList->ItemCount() - 1); }
void OpenBrowserWithSpareSelected() {
  OpenBrowserForSlot3();
  SelectSpare();
}

// The selected row's sound plays when the row's command comes.
void PreviewSpare() {
  OpenBrowserWithSpareSelected();
  PostCommand(64, NotifyClick);
}

bool AtHome() {
  return Shows({appState.tabPanel, appState.homePage}, {appState.aboutPage, appState.browserPage,
                                                         appState.soundsPage, appState.settingsPage}) &&
         appState.homeTab->IsChecked() && appState.homeTab->IsLocked();
}

const CommandRow kRows[] = {
    {"close with X-Button (Close) on ends the program", 17, NotifyClick, Nothing,
     [] { return !IsWindow(appState.mainWindow); }, 0},
    {"close with it off minimises", 17, NotifyClick, [] { appState.xButtonCheck->SetChecked(FALSE); },
     [] { return IsIconic(appState.mainWindow) != 0; }, 0},
    {"about covers the screen from the top", 18, NotifyClick, Nothing,
     [] {
       return Shows({appState.aboutPage}, {appState.tabPanel, appState.aboutButton}) && TransitionKind() == 11;
     },
     0},
    {"Home tab", 32, NotifyToggled, Nothing, [] { return AtHome() && TransitionKind() == 2; }, 0},
    {"Sounds tab from Home pushes left", 33, NotifyToggled, [] { appState.soundsTab->SetChecked(TRUE); },
     [] {
       return Shows({appState.soundsPage}, {appState.homePage, appState.aboutButton}) &&
              appState.soundsTab->IsLocked() && !appState.homeTab->IsChecked() && TransitionKind() == 1;
     },
     0},
    {"Settings tab shows the about button", 34, NotifyToggled, [] { appState.settingsTab->SetChecked(TRUE); },
     [] {
       return Shows({appState.settingsPage, appState.aboutButton}, {appState.homePage}) &&
              appState.settingsTab->IsChecked() && TransitionKind() == 1;
     },
     0},
    {"donate starts the browser", 54, NotifyClick, Nothing, [] { return true; }, 0},
    {"back uncovers the tab area", 56, NotifyClick, OpenAbout,
     [] {
       return Shows({appState.tabPanel, appState.aboutButton}, {appState.aboutPage}) && TransitionKind() == 10;
     },
     0},
    // A glide without speed ends at its first step: these look before it.
    {"list pen down stops the glide", 64, NotifyPenDown, [] { PostCommand(64, NotifyPenUp); },
     [] { return !appState.soundList->IsGliding(); }, 0, true},
    {"list pen up starts the glide", 64, NotifyPenUp, Nothing,
     [] { return appState.soundList->IsGliding() != FALSE; }, 0, true},
    {"list move does nothing", 64, NotifyPenMove, Nothing,
     [] { return !appState.soundList->IsGliding() && !appState.previewPlayer; }, 0, true},
    {"a tapped row previews its sound", 64, NotifyClick, SelectSpare,
     [] { return static_cast<bool>(appState.previewPlayer); }, 7},
    {"OK gives the slot the selected sound, ends the preview and the glide", 65, NotifyClick,
     [] {
       PreviewSpare();
       PostCommand(64, NotifyPenUp);
     },
     [] {
       const SoundEntry* entry = appState.soundSlots->EntryOf(3);
       return entry != nullptr && std::wstring(entry->fileName) == L"Spare.wav" &&
              Caption(appState.slotButton[2]) == L"Zed" && Subtitle(appState.slotButton[2]) == L"Spare.wav" &&
              Shows({appState.tabPanel}, {appState.browserPage}) && TransitionKind() == 3 &&
              !appState.soundList->IsGliding();
     },
     0, true},
    {"OK without a selection keeps the browser", 65, NotifyClick, OpenBrowserForSlot3,
     [] {
       return Shows({appState.browserPage}, {appState.tabPanel}) &&
              std::wstring(appState.soundSlots->EntryOf(3)->fileName) == L"Three.wav";
     },
     0},
    {"cancel returns, forgets the slot and ends the preview", 66, NotifyClick, PreviewSpare,
     [] {
       return appState.browserSlotId == 0 && Shows({appState.tabPanel}, {appState.browserPage}) &&
              TransitionKind() == 3 && std::wstring(appState.soundSlots->EntryOf(3)->fileName) == L"Three.wav";
     },
     0},
    {"grid button 1 plays on pen down", 80, NotifyPenDown, Nothing, [] { return true; }, 1},
    {"grid button 5 plays on pen down", 84, NotifyPenDown, Nothing, [] { return true; }, 5},
    {"a click on a grid button is not a row", 82, NotifyClick, Nothing, [] { return true; }, 0},
    {"motion on", 89, NotifyToggled, [] { appState.motionToggle->SetChecked(TRUE); },
     [] {
       return Caption(appState.motionToggle) == L"On" && appState.keepAwake->IsRunning() &&
              appState.motionX->IsStarted() && appState.motionZ->IsStarted();
     },
     0},
    {"motion off stops the detectors but not a sound playing", 89, NotifyToggled,
     [] {
       StartMotion();
       appState.keepAwake->Start();
       PostCommand(80, NotifyPenDown);
     },
     [] {
       return Caption(appState.motionToggle) == L"Off" && !appState.keepAwake->IsRunning() &&
              !appState.motionX->IsStarted() && !appState.motionY->IsStarted() && !appState.motionZ->IsStarted();
     },
     1},
    {"slot button 3 opens the browser from the top", 99, NotifyClick, Nothing,
     [] {
       return appState.browserSlotId == 99 && Shows({appState.browserPage}, {appState.tabPanel}) &&
              TransitionKind() == 4;
     },
     0},
    {"play button 1", 102, NotifyPenDown, Nothing, [] { return true; }, 1},
    {"play button 4", 105, NotifyPenDown, Nothing, [] { return true; }, 4},
    {"play button 5 has id 112", 112, NotifyPenDown, Nothing, [] { return true; }, 5},
    {"X selector at 10", 132, NotifyStepped, [] { appState.sensitivitySelector[0]->Select(9); },
     [] { return appState.motionX->PeakThreshold() == 200 && appState.motionY->PeakThreshold() == 700; }, 0},
    {"Z selector at 1", 134, NotifyStepped, [] { appState.sensitivitySelector[2]->Select(0); },
     [] { return appState.motionZ->PeakThreshold() == 1100; }, 0},
    {"touch vibrations on", 146, NotifyToggled, [] { appState.vibrationsCheck->SetChecked(TRUE); },
     [] {
       return appState.closeButton->GetVibrateOnPress() && appState.soundList->GetVibrateOnPress() &&
              appState.sensitivitySelector[2]->GetVibrateOnPress() && appState.playButton[4]->GetVibrateOnPress() &&
              !appState.titleLabel->GetVibrateOnPress() && !appState.homePage->GetVibrateOnPress();
     },
     0},
    {"pulse off", 256, NotifyToggled, [] { appState.pulseToggle->SetChecked(FALSE); },
     [] { return Caption(appState.pulseToggle) == L"Off"; }, 0},
    {"an unknown id", 999, NotifyClick, Nothing, AtHome, 0},
    {"a row's other code", 17, NotifyPenDown, Nothing,
     [] { return IsWindow(appState.mainWindow) && !IsIconic(appState.mainWindow) && AtHome(); }, 0},
};

class CommandRowTest : public CommandTest, public ::testing::WithParamInterface<CommandRow> {};

TEST_P(CommandRowTest, DoesWhatItsRowSays) {
  const CommandRow& row = GetParam();
  StartAtHome();
  ASSERT_TRUE(AtHome());
  wce::ClockAdvanceTo(2100);
  row.prepare();
  // The control itself travels in lParam; the table goes by id and code.
  PostCommand(row.id, row.code);
  wce::ClockSettle();
  if (row.atOnce) {
    EXPECT_TRUE(row.holds()) << row.name;
  }
  wce::ClockAdvanceTo(2500);
  if (!row.atOnce) {
    EXPECT_TRUE(row.holds()) << row.name;
  }
  bool browserStarted = !Events("start-program").empty();
  EXPECT_EQ(browserStarted, row.id == 54) << row.name;
  if (browserStarted) {
    std::string line = Events("start-program")[0];
    EXPECT_NE(line.find("github.com/sponsors/jostlepad"), std::string::npos) << line;
  }
  EXPECT_EQ(CloseProgram(), 0);
  std::vector<int16_t> heard = FinishRecording();
  EXPECT_EQ(HeardAt(heard, 2110), static_cast<int16_t>(1000 * row.heard)) << row.name;
}

INSTANTIATE_TEST_SUITE_P(Rows, CommandRowTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<CommandRow>& info) {
                           return "Row" + std::to_string(info.index);
                         });

// Every page change by the pen, with the kind of its slide; a tap on the
// selected tab and any change with Animations off slide nothing.
TEST_F(CommandTest, EachPageChangeSlidesItsWay) {
  StartAtHome();
  const struct {
    const char* step;
    TouchControl* (*control)();
    int kind;  // 0: no transition
  } kSteps[] = {
      {"Home -> Sounds", []() -> TouchControl* { return appState.soundsTab; }, 1},
      {"Sounds -> Settings", []() -> TouchControl* { return appState.settingsTab; }, 1},
      {"Settings -> Sounds", []() -> TouchControl* { return appState.soundsTab; }, 2},
      {"Sounds again", []() -> TouchControl* { return appState.soundsTab; }, 0},
      {"Sounds -> Home", []() -> TouchControl* { return appState.homeTab; }, 2},
      {"Home -> Settings", []() -> TouchControl* { return appState.settingsTab; }, 1},
      {"Settings -> About", []() -> TouchControl* { return appState.aboutButton; }, 11},
      {"About -> Settings", []() -> TouchControl* { return appState.backButton; }, 10},
      {"Settings -> Home", []() -> TouchControl* { return appState.homeTab; }, 2},
      {"Home -> Sounds", []() -> TouchControl* { return appState.soundsTab; }, 1},
      {"Sounds -> browser", []() -> TouchControl* { return appState.slotButton[0]; }, 4},
      {"browser -> Sounds", []() -> TouchControl* { return appState.cancelButton; }, 3},
  };
  uint64_t at = 2100;
  for (const auto& step : kSteps) {
    wce::ClockAdvanceTo(at);
    Tap(step.control());
    wce::ClockAdvanceTo(at + 20);
    EXPECT_EQ(appState.transition->IsRunning(), step.kind != 0) << step.step;
    if (step.kind != 0) {
      EXPECT_EQ(TransitionKind(), step.kind) << step.step;
    }
    at += 400;
    wce::ClockAdvanceTo(at);
    EXPECT_FALSE(appState.transition->IsRunning()) << step.step;
  }
  EXPECT_TRUE(Shows({appState.soundsPage, appState.tabPanel}, {appState.browserPage}));

  // Animations off: the page changes at once.
  appState.animationsCheck->SetChecked(FALSE);
  Tap(appState.homeTab);
  wce::ClockAdvanceTo(at + 20);
  EXPECT_FALSE(appState.transition->IsRunning());
  EXPECT_TRUE(AtHome());
  EXPECT_EQ(CloseProgram(), 0);
}

TEST_F(CommandTest, MotionGoesOffOnAnyPageChangeAndShowsOffBackAtHome) {
  StartAtHome();
  Tap(appState.motionToggle);
  wce::ClockAdvanceTo(2100);
  ASSERT_TRUE(appState.motionToggle->IsChecked());
  ASSERT_TRUE(appState.keepAwake->IsRunning());
  Tap(appState.soundsTab);
  wce::ClockAdvanceTo(2500);
  EXPECT_FALSE(appState.motionX->IsStarted());
  EXPECT_FALSE(appState.keepAwake->IsRunning());
  Tap(appState.homeTab);
  wce::ClockAdvanceTo(2900);
  EXPECT_FALSE(appState.motionToggle->IsChecked());
  EXPECT_EQ(Caption(appState.motionToggle), L"Off");
  EXPECT_EQ(CloseProgram(), 0);
}

DWORD DwordSetting(const wchar_t* name) {
  DWORD value = 12345;
  RegistryGetDWORD(HKEY_LOCAL_MACHINE, kSettingsKey, name, &value);
  return value;
}

std::wstring TextSetting(const wchar_t* name) {
  WCHAR text[MAX_PATH] = L"?";
  RegistryGetString(HKEY_LOCAL_MACHINE, kSettingsKey, name, text, MAX_PATH);
  return text;
}

TEST_F(CommandTest, SettingsReachTheControlsAndComeBackOnClose) {
  const struct {
    const wchar_t* name;
    DWORD value;
  } kStored[] = {{L"SensitivityX", 10}, {L"SensitivityY", 1},      {L"SensitivityZ", 7},
                 {L"XButtonClose", 0},  {L"AnimationsOn", 0},      {L"VibrationsOn", 1},
                 {L"PulseVibrationsOn", 0}};
  for (const auto& stored : kStored) SetDwordSetting(stored.name, stored.value);
  StartAtHome();

  EXPECT_EQ(appState.sensitivitySelector[0]->GetCurrentValue(), 10);
  EXPECT_EQ(appState.sensitivitySelector[1]->GetCurrentValue(), 1);
  EXPECT_EQ(appState.sensitivitySelector[2]->GetCurrentValue(), 7);
  EXPECT_EQ(appState.motionX->PeakThreshold(), 200);
  EXPECT_EQ(appState.motionY->PeakThreshold(), 1100);
  EXPECT_EQ(appState.motionZ->PeakThreshold(), 500);
  EXPECT_EQ(appState.motionX->StartThreshold(), 100);
  EXPECT_EQ(appState.motionZ->ZGate(), -200);
  EXPECT_FALSE(appState.xButtonCheck->IsChecked());
  EXPECT_FALSE(appState.animationsCheck->IsChecked());
  EXPECT_TRUE(appState.vibrationsCheck->IsChecked());
  EXPECT_FALSE(appState.pulseToggle->IsChecked());
  EXPECT_EQ(Caption(appState.pulseToggle), L"Off");
  EXPECT_TRUE(appState.gridButton[2]->GetVibrateOnPress());
  EXPECT_EQ(Caption(appState.slotButton[1]), L"Pad");
  EXPECT_EQ(Subtitle(appState.slotButton[1]), L"Two.wav");

  // The pen changes some: X one step down, the close check box on, the pulse on.
  Tap(appState.settingsTab);
  wce::ClockAdvanceTo(2100);
  RECT selector;
  appState.sensitivitySelector[0]->GetRect(&selector);
  wce::InjectPen(wce::PenAction::Down, selector.left + 5, selector.top + 5);
  wce::InjectPen(wce::PenAction::Up, selector.left + 5, selector.top + 5);
  Tap(appState.xButtonCheck);
  wce::ClockAdvanceTo(2200);
  EXPECT_EQ(appState.motionX->PeakThreshold(), 300);
  appState.pulseToggle->SetChecked(TRUE);
  EXPECT_EQ(CloseProgram(), 0);

  const struct {
    const wchar_t* name;
    DWORD value;
  } kSaved[] = {{L"SensitivityX", 9}, {L"SensitivityY", 1},      {L"SensitivityZ", 7},
                {L"XButtonClose", 1}, {L"AnimationsOn", 0},      {L"VibrationsOn", 1},
                {L"PulseVibrationsOn", 1}};
  for (const auto& saved : kSaved) EXPECT_EQ(DwordSetting(saved.name), saved.value) << saved.name;
  EXPECT_EQ(TextSetting(L"SoundSlot4Folder"), L"Pad");
  EXPECT_EQ(TextSetting(L"SoundSlot4Name"), L"Four.wav");
}

}  // namespace
}  // namespace apptest
