#include "app/ScreenLayout.h"

#include <stdlib.h>

#include <new>

#include "app/AppState.h"
#include "app/ControlIds.h"
#include "app/DisplayHelpers.h"
#include "ui/composite/PictureBox.h"
#include "ui/composite/ScrollList.h"
#include "ui/core/CheckBox.h"
#include "ui/core/GrowArray.h"
#include "ui/core/ImageButton.h"
#include "ui/core/TextLabel.h"
#include "ui/core/TwoLineButton.h"
#include "ui/core/ValueSelector.h"

const WCHAR kWebAddress[] = L"github.com/jostlepad/jostlepad";
const WCHAR kMailAddress[] = L"jostlepad@users.noreply.github.com";
const WCHAR kNoticeText[] = L"Free software. No warranty.";
const WCHAR kDonationPage[] = L"github.com/sponsors/jostlepad";

namespace {

// DrawTextW formats of the layout.
const UINT kTextLeft = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;
const UINT kTextCentred = kTextLeft | DT_CENTER;
const UINT kTextTop = DT_END_ELLIPSIS | DT_SINGLELINE | DT_CENTER;
const UINT kTextBottom = DT_END_ELLIPSIS | DT_SINGLELINE | DT_BOTTOM | DT_CENTER;

// Image mode and placement (buttons, check boxes, selectors), draw and fit
// mode (pictures).
const int kPlain = 1;
const int kMasked = 2;
const int kCentred = 1;
const int kStretched = 2;
// A picture box's picture, as opposed to its mask.
const int kPicture = 1;

const COLORREF kWhite = 0xFFFFFF;

// The screen in device pixels, read once per build.
struct Frame {
  int width;
  int height;
  int topBar;     // sy(26)
  int bottomBar;  // sy(54)
  int cell;       // sx(80), the grid's and the tabs' width
  int cellHeight; // sy(80)
};

Frame ReadFrame() {
  Frame frame;
  frame.width = GetSystemMetrics(SM_CXSCREEN);
  frame.height = GetSystemMetrics(SM_CYSCREEN);
  frame.topBar = ScaleY(26);
  frame.bottomBar = ScaleY(54);
  frame.cell = ScaleX(80);
  frame.cellHeight = ScaleY(80);
  return frame;
}

// Left edge of grid column 1..3 and top edge of grid row 1..3: the grid is
// centred between the bars.
int GridX(const Frame& f, int column) { return (f.width - 3 * f.cell) / 2 + (column - 1) * f.cell; }

int GridY(const Frame& f, int row) {
  return f.topBar + (f.height - f.topBar - 3 * f.cellHeight - f.bottomBar) / 2 + (row - 1) * f.cellHeight;
}

// Top edge of the Settings page's row of axis 0..2 (X, Y, Z).
int AxisRowY(int axis) { return 102 + 70 * axis; }

// Top edge of the Sounds page's row 1..5; the rows keep their design height.
int RowY(const Frame& f, int row) {
  return f.topBar + (f.height - f.topBar - 5 * ScaleY(48) - f.bottomBar) / 2 + 96 * (row - 1);
}

HBITMAP SkinPicture(SkinImage index) { return appState.skin ? appState.skin->Image(index) : NULL; }

HFONT SkinFontOf(SkinFont index) { return appState.skin ? appState.skin->Font(index) : NULL; }

// Every control the layout made, in the order it made them: deleting them is
// one walk over this list.
const int kFirstOwnedCapacity = 64;
TouchControl** ownedControls = NULL;
int ownedCount = 0;
int ownedCapacity = 0;

// The control hangs in `parent` (NULL: none) behind the children made before
// it, so the creation order is the painting order. A control that cannot be
// made leaves an empty place that the panel skips.
template <class Control>
Control* Create(int id, ControlPanel* parent) {
  Control* control = NULL;
  if (GrowArray(&ownedControls, ownedCount, &ownedCapacity, kFirstOwnedCapacity)) {
    control = new (std::nothrow) Control(appState.hInstance, appState.mainWindow, id);
  }
  if (control != NULL) ownedControls[ownedCount++] = control;
  if (parent != NULL) parent->AddChild(control);
  return control;
}

ControlPanel* CreatePanel(int id, ControlPanel* parent, int left, int top, int width, int height, BOOL visible) {
  ControlPanel* panel = Create<ControlPanel>(id, parent);
  if (panel != NULL) panel->SetBounds(left, top, width, height).SetVisible(visible);
  return panel;
}

PictureBox* CreatePicture(int id, ControlPanel* parent, int left, int top, int width, int height, HBITMAP image,
                          int fitMode) {
  PictureBox* picture = Create<PictureBox>(id, parent);
  if (picture == NULL) return NULL;
  picture->SetBounds(left, top, width, height);
  picture->SetImage(image, kPicture).SetDrawMode(kPlain).SetFitMode(fitMode);
  return picture;
}

// A button or check box with an up and a down picture, one mode and placement.
template <class Control>
Control* CreateImageControl(int id, ControlPanel* parent, int left, int top, int width, int height, HBITMAP up,
                            HBITMAP down, int placement) {
  Control* control = Create<Control>(id, parent);
  if (control == NULL) return NULL;
  control->SetBounds(left, top, width, height);
  control->SetImage(up, ChannelUpImage)
      .SetImage(down, ChannelDownImage)
      .SetImageMode(kPlain)
      .SetPlacement(placement);
  return control;
}

TextLabel* CreateLabel(int id, ControlPanel* parent, int left, int top, int width, int height, LPCWSTR text,
                       SkinFont font, UINT format) {
  TextLabel* label = Create<TextLabel>(id, parent);
  if (label == NULL) return NULL;
  label->SetBounds(left, top, width, height).SetCaption(text).SetFont(SkinFontOf(font)).SetTextFormat(format);
  return label;
}

// The wide bottom-bar buttons of the About page and the browser: picture and
// mask pairs, centred, with a caption in the DC's font.
ImageButton* CreateBarButton(int id, ControlPanel* parent, int left, int top, LPCWSTR caption) {
  ImageButton* button = Create<ImageButton>(id, parent);
  if (button == NULL) return NULL;
  button->SetBounds(left, top, 200, 60).SetCaption(caption).SetTextFormat(kTextCentred);
  HBITMAP mask = SkinPicture(Btn_BottomBar_Mask);
  button->SetImage(SkinPicture(Btn_BottomBar_Up), ChannelUpImage)
      .SetImage(mask, ChannelUpMask)
      .SetImage(SkinPicture(Btn_BottomBar_Dn), ChannelDownImage)
      .SetImage(mask, ChannelDownMask)
      .SetImageMode(kMasked)
      .SetPlacement(kCentred)
      .SetCaptionVisible(TRUE);
  return button;
}

// The two round check boxes of the Home grid, captioned "On"/"Off" later.
CheckBox* CreateGridCheckBox(int id, const Frame& f, int column) {
  int size = ScaleX(36);
  // The vertical offset uses the horizontal size, as the grid was drawn.
  CheckBox* box = CreateImageControl<CheckBox>(id, appState.homePage, GridX(f, column) + (f.cell - size) / 2,
                                               GridY(f, 3) + (f.cellHeight - size) / 2, size, ScaleY(36),
                                               SkinPicture(Chk_General_2_Up), SkinPicture(Chk_General_2_Dn),
                                               kStretched);
  if (box == NULL) return NULL;
  int margin = ScaleX(2);
  box->SetCaptionVisible(TRUE);
  box->SetFont(SkinFontOf(Font14Semibold))
      .SetTextFormat(kTextBottom)
      .SetTextColors(kWhite, kWhite)
      .SetTextMargins(margin, margin, margin, margin);
  return box;
}

void BuildBars(const Frame& f) {
  int barWidth = ScaleX(240);
  appState.rootPanel = CreatePanel(RootPanelId, NULL, 0, 0, f.width, f.height, TRUE);
  if (appState.rootPanel != NULL) appState.rootPanel->SetVibrateOnPress(TRUE);
  ControlPanel* main = CreatePanel(MainPanelId, appState.rootPanel, 0, 0, f.width, f.height, FALSE);
  appState.mainPanel = main;
  appState.topBarPicture =
      CreatePicture(TopBarPictureId, main, 0, 0, f.width, f.topBar, SkinPicture(Pic_TopBar_App), kStretched);
  // The top bar's buttons are square in its height.
  appState.closeButton =
      CreateImageControl<ImageButton>(CloseButtonId, main, f.width - f.topBar, 0, ScaleX(26), f.topBar,
                                      SkinPicture(Btn_TopBar_Close_Up), SkinPicture(Btn_TopBar_Close_Dn), kStretched);
  appState.aboutButton =
      CreateImageControl<ImageButton>(AboutButtonId, main, f.width - 2 * f.topBar, 0, ScaleX(26), f.topBar,
                                      SkinPicture(Btn_TopBar_About_Up), SkinPicture(Btn_TopBar_About_Dn), kStretched);
  if (appState.aboutButton != NULL) appState.aboutButton->SetVisible(FALSE);
  // Painted before the screens, which leave the bar's place to it.
  appState.bottomBarPicture = CreatePicture(BottomBarPictureId, main, 0, f.height - f.bottomBar, barWidth,
                                            f.bottomBar, SkinPicture(Pic_BottomBar), kStretched);
  int screenHeight = f.height - f.topBar;
  appState.tabPanel = CreatePanel(TabPanelId, main, 0, f.topBar, barWidth, screenHeight, FALSE);
  appState.aboutPage = CreatePanel(AboutPageId, main, 0, f.topBar, barWidth, screenHeight, FALSE);
  appState.browserPage = CreatePanel(BrowserPageId, main, 0, f.topBar, barWidth, screenHeight, FALSE);
}

void BuildTabs(const Frame& f) {
  const struct {
    CheckBox* AppState::*field;
    int id;
    SkinImage up;
    SkinImage down;
  } tabs[] = {
      {&AppState::homeTab, HomeTabId, Chk_BottomBar_Home_Up, Chk_BottomBar_Home_Dn},
      {&AppState::soundsTab, SoundsTabId, Chk_BottomBar_Sounds_Up, Chk_BottomBar_Sounds_Dn},
      {&AppState::settingsTab, SettingsTabId, Chk_BottomBar_Settings_Up, Chk_BottomBar_Settings_Dn},
  };
  ControlPanel* area = appState.tabPanel;
  int column = 0;
  for (const auto& tab : tabs) {
    // Each left edge is scaled from its design place, not from the cell's width.
    appState.*tab.field = CreateImageControl<CheckBox>(tab.id, area, ScaleX(80 * column), f.height - f.bottomBar,
                                                       f.cell, f.bottomBar, SkinPicture(tab.up),
                                                       SkinPicture(tab.down), kStretched);
    ++column;
  }
  int pageHeight = f.height - f.bottomBar - f.topBar;
  appState.homePage = CreatePanel(HomePageId, area, 0, f.topBar, ScaleX(240), pageHeight, FALSE);
  appState.soundsPage = CreatePanel(SoundsPageId, area, 0, f.topBar, ScaleX(240), pageHeight, FALSE);
  appState.settingsPage = CreatePanel(SettingsPageId, area, 0, f.topBar, ScaleX(240), pageHeight, FALSE);
}

void BuildHomePage(const Frame& f) {
  // Slot n's cell: 1 top, 2 right, 3 bottom, 4 left, 5 centre.
  const struct {
    int row;
    int column;
    SkinImage up;
    SkinImage down;
  } cells[] = {
      {1, 2, Btn_SlotGrid_L1C2_Up, Btn_SlotGrid_L1C2_Dn}, {2, 3, Btn_SlotGrid_L2C3_Up, Btn_SlotGrid_L2C3_Dn},
      {3, 2, Btn_SlotGrid_L3C2_Up, Btn_SlotGrid_L3C2_Dn}, {2, 1, Btn_SlotGrid_L2C1_Up, Btn_SlotGrid_L2C1_Dn},
      {2, 2, Btn_SlotGrid_L2C2_Up, Btn_SlotGrid_L2C2_Dn},
  };
  int iconX = ScaleX(16);
  int iconY = ScaleY(16);
  ControlPanel* page = appState.homePage;
  for (int slot = 0; slot < 5; ++slot) {
    ImageButton* button = CreateImageControl<ImageButton>(
        FirstGridButtonId + slot, page, GridX(f, cells[slot].column), GridY(f, cells[slot].row), f.cell,
        f.cellHeight, SkinPicture(cells[slot].up), SkinPicture(cells[slot].down), kCentred);
    if (button != NULL) button->SetIconVisible(TRUE).SetIconMargins(iconX, iconY, iconX, iconY);
    appState.gridButton[slot] = button;
  }
  const struct {
    int row;
    int column;
    SkinImage picture;
  } corners[] = {
      {1, 1, Pic_SlotGrid_L1C1}, {1, 3, Pic_SlotGrid_L1C3}, {3, 1, Pic_SlotGrid_L3C1}, {3, 3, Pic_SlotGrid_L3C3}};
  for (int corner = 0; corner < 4; ++corner) {
    appState.gridCorner[corner] =
        CreatePicture(FirstGridCornerId + corner, page, GridX(f, corners[corner].column),
                      GridY(f, corners[corner].row), f.cell, f.cellHeight, SkinPicture(corners[corner].picture),
                      kStretched);
  }
  // Over the corners, so that they take the pen first.
  appState.motionToggle = CreateGridCheckBox(MotionCheckId, f, 3);
  appState.pulseToggle = CreateGridCheckBox(PulseCheckId, f, 1);
}

void BuildSoundsPage(const Frame& f) {
  ControlPanel* page = appState.soundsPage;
  appState.soundsPagePicture =
      CreatePicture(SoundsPagePictureId, page, 0, RowY(f, 1), 70, 480, SkinPicture(Pic_OpenSoundsType), kCentred);
  for (int slot = 0; slot < 5; ++slot) {
    TwoLineButton* row = CreateImageControl<TwoLineButton>(FirstSlotButtonId + slot, page, 70, RowY(f, slot + 1),
                                                           325, 96, SkinPicture(BtnEx_OpenSound_Up),
                                                           SkinPicture(BtnEx_OpenSound_Dn), kStretched);
    if (row != NULL) {
      row->SetCaptionVisible(TRUE).SetIconVisible(TRUE).SetIconMargins(12, 24, 265, 24);
      row->SetSubtitleVisible(TRUE)
          .SetSubtitleFont(SkinFontOf(Font14))
          .SetSubtitleColors(0xCCCCCC, 0x000000)
          .SetSubtitleMargins(72, 48, 12, 12);
      row->SetFont(SkinFontOf(Font16Semibold)).SetTextMargins(72, 12, 12, 48);
    }
    appState.slotButton[slot] = row;
  }
  for (int slot = 0; slot < 5; ++slot) {
    appState.playButton[slot] = CreateImageControl<ImageButton>(kPlayButtonIds[slot], page, 395, RowY(f, slot + 1),
                                                                85, 96, SkinPicture(Btn_PlaySound_Up),
                                                                SkinPicture(Btn_PlaySound_Dn), kStretched);
  }
}

void BuildSettingsPage() {
  ControlPanel* page = appState.settingsPage;
  appState.sensitivityLabel =
      CreateLabel(SensitivityLabelId, page, 0, 60, 240, 40, L"Sensitivity", Font14, kTextLeft);
  if (appState.sensitivityLabel != NULL) appState.sensitivityLabel->SetTextMargins(20, 0, 0, 0);
  const LPCWSTR axisNames[3] = {L"X-axis:", L"Y-axis:", L"Z-axis:"};
  for (int axis = 0; axis < 3; ++axis) {
    TextLabel* label =
        CreateLabel(FirstAxisLabelId + axis, page, 0, AxisRowY(axis), 240, 60, axisNames[axis], Font14, kTextLeft);
    if (label != NULL) label->SetTextMargins(60, 0, 0, 0);
    appState.axisLabel[axis] = label;
  }
  for (int axis = 0; axis < 3; ++axis) {
    ValueSelector* selector = Create<ValueSelector>(FirstSensitivitySelectorId + axis, page);
    if (selector != NULL) {
      selector->SetBounds(260, AxisRowY(axis), 200, 60).SetFont(SkinFontOf(Font16)).SetTextFormat(kTextCentred);
      selector->SetImage(SkinPicture(Cmb_General_Up), ChannelUpImage)
          .SetImage(SkinPicture(Cmb_General_Dn_L), ChannelLeftDownImage)
          .SetImage(SkinPicture(Cmb_General_Dn_R), ChannelRightDownImage)
          .SetImageMode(kPlain)
          .SetPlacement(kStretched);
    }
    appState.sensitivitySelector[axis] = selector;
  }
  const struct {
    TextLabel* AppState::*label;
    int labelId;
    LPCWSTR text;
    CheckBox* AppState::*check;
    int checkId;
    int top;
  } checkBoxes[] = {
      {&AppState::xButtonLabel, XButtonLabelId, L"X-Button (Close):", &AppState::xButtonCheck, XButtonCheckId, 312},
      {&AppState::animationsLabel, AnimationsLabelId, L"Animations:", &AppState::animationsCheck, AnimationsCheckId,
       380},
      {&AppState::vibrationsLabel, VibrationsLabelId, L"Touch Vibrations:", &AppState::vibrationsCheck,
       VibrationsCheckId, 448},
  };
  for (const auto& entry : checkBoxes) {
    TextLabel* label = CreateLabel(entry.labelId, page, 0, entry.top, 240, 60, entry.text, Font14, kTextLeft);
    if (label != NULL) label->SetTextMargins(20, 0, 0, 0);
    appState.*entry.label = label;
    appState.*entry.check = CreateImageControl<CheckBox>(entry.checkId, page, 260, entry.top, 200, 60,
                                                         SkinPicture(Chk_General_Up), SkinPicture(Chk_General_Dn),
                                                         kStretched);
  }
}

void BuildAboutPage(const Frame& f) {
  ControlPanel* page = appState.aboutPage;
  appState.titleLabel = CreateLabel(TitleLabelId, page, 0, 75, 480, 40, L"Jostlepad", Font18Semibold, kTextCentred);
  appState.platformLabel =
      CreateLabel(PlatformLabelId, page, 0, 115, 480, 40, L"for Pocket PC", Font14, kTextCentred);
  appState.versionLabel = CreateLabel(VersionLabelId, page, 0, 155, 480, 40, L"Version 1.0.0.3", Font14, kTextTop);
  HBITMAP title = appState.resources ? appState.resources->TitlePicture() : NULL;
  appState.logoPicture = CreatePicture(LogoPictureId, page, 0, 195, 480, 40, title, kCentred);
  appState.webLabel = CreateLabel(WebLabelId, page, 0, 235, 480, 40, kWebAddress, Font14, kTextCentred);
  appState.mailLabel = CreateLabel(MailLabelId, page, 0, 275, 480, 40, kMailAddress, Font14, kTextTop);
  HBITMAP donateUp = appState.resources ? appState.resources->DonateUp() : NULL;
  HBITMAP donateDown = appState.resources ? appState.resources->DonateDown() : NULL;
  appState.donateButton =
      CreateImageControl<ImageButton>(DonateButtonId, page, 149, 402, 184, 52, donateUp, donateDown, kStretched);
  appState.noticeLabel =
      CreateLabel(NoticeLabelId, page, 0, f.height - 148, 480, 40, kNoticeText, Font14, kTextCentred);
  appState.backButton = CreateBarButton(BackButtonId, page, 140, f.height - 84, L"BACK");
}

void BuildBrowserPage(const Frame& f) {
  ControlPanel* page = appState.browserPage;
  ScrollList* list = Create<ScrollList>(SoundListId, page);
  if (list != NULL) {
    list->SetBounds(0, f.topBar, ScaleX(240), f.height - f.bottomBar - f.topBar);
    list->SetSeparatorStyle(ScrollList::SeparatorImage)
        .SetSeparatorImage(SkinPicture(Slt_Separator))
        .SetSelectionStyle(ScrollList::SelectionTiled)
        .SetSelectionImage(SkinPicture(Slt_ItemSelected))
        .SetFirstLineFont(SkinFontOf(Font16))
        .SetSecondLineFont(SkinFontOf(Font14))
        .SetBackgroundColor(0);
  }
  appState.soundList = list;
  appState.okButton = CreateBarButton(OkButtonId, page, 250, f.height - 84, L"OK");
  appState.cancelButton = CreateBarButton(CancelButtonId, page, 30, f.height - 84, L"CANCEL");
}

}  // namespace

int BuildScreen() {
  Frame frame = ReadFrame();
  // Each panel before what hangs in it.
  BuildBars(frame);
  BuildTabs(frame);
  BuildAboutPage(frame);
  BuildBrowserPage(frame);
  BuildHomePage(frame);
  BuildSoundsPage(frame);
  BuildSettingsPage();
  return 1;
}

void DeleteControls() {
  // Panels only borrow their children, so the order is free.
  for (int i = 0; i < ownedCount; ++i) delete ownedControls[i];
  free(ownedControls);
  ownedControls = NULL;
  ownedCount = 0;
  ownedCapacity = 0;
  static_cast<ScreenControls&>(appState) = ScreenControls();
}
