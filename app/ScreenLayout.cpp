#include "app/ScreenLayout.h"

#include <new>

#include "app/AppState.h"
#include "app/DisplayHelpers.h"
#include "ui/composite/PictureBox.h"
#include "ui/composite/ScrollList.h"
#include "ui/core/CheckBox.h"
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

// Top edge of the Sounds page's row 1..5; the rows keep their design height.
int RowY(const Frame& f, int row) {
  return f.topBar + (f.height - f.topBar - 5 * ScaleY(48) - f.bottomBar) / 2 + 96 * (row - 1);
}

HBITMAP SkinPicture(SkinImage index) { return appState.skin ? appState.skin->Image(index) : NULL; }

HFONT SkinFontOf(SkinFont index) { return appState.skin ? appState.skin->Font(index) : NULL; }

template <class Control>
Control* Create(int id) {
  return new (std::nothrow) Control(appState.hInstance, appState.mainWindow, id);
}

ControlPanel* CreatePanel(int id, int left, int top, int width, int height, BOOL visible) {
  ControlPanel* panel = Create<ControlPanel>(id);
  if (panel != nullptr) panel->SetBounds(left, top, width, height).SetVisible(visible);
  return panel;
}

PictureBox* CreatePicture(int id, int left, int top, int width, int height, HBITMAP image, int fitMode) {
  PictureBox* picture = Create<PictureBox>(id);
  if (picture == nullptr) return nullptr;
  picture->SetBounds(left, top, width, height);
  picture->SetImage(image, 1).SetDrawMode(kPlain).SetFitMode(fitMode);
  return picture;
}

// A button or check box with an up and a down picture, one mode and placement.
template <class Control>
Control* CreateImageControl(int id, int left, int top, int width, int height, HBITMAP up, HBITMAP down,
                            int placement) {
  Control* control = Create<Control>(id);
  if (control == nullptr) return nullptr;
  control->SetBounds(left, top, width, height);
  control->SetImage(up, 1).SetImage(down, 3).SetImageMode(kPlain).SetPlacement(placement);
  return control;
}

TextLabel* CreateLabel(int id, int left, int top, int width, int height, LPCWSTR text, SkinFont font, UINT format) {
  TextLabel* label = Create<TextLabel>(id);
  if (label == nullptr) return nullptr;
  label->SetBounds(left, top, width, height).SetCaption(text).SetFont(SkinFontOf(font)).SetTextFormat(format);
  return label;
}

// The wide bottom-bar buttons of the About page and the browser: picture and
// mask pairs, centred, with a caption in the DC's font.
ImageButton* CreateBarButton(int id, int left, int top, LPCWSTR caption) {
  ImageButton* button = Create<ImageButton>(id);
  if (button == nullptr) return nullptr;
  button->SetBounds(left, top, 200, 60).SetCaption(caption).SetTextFormat(kTextCentred);
  HBITMAP mask = SkinPicture(Btn_BottomBar_Mask);
  button->SetImage(SkinPicture(Btn_BottomBar_Up), 1)
      .SetImage(mask, 2)
      .SetImage(SkinPicture(Btn_BottomBar_Dn), 3)
      .SetImage(mask, 4)
      .SetImageMode(kMasked)
      .SetPlacement(kCentred)
      .SetCaptionVisible(TRUE);
  return button;
}

// The two round switches of the Home grid, captioned "On"/"Off" later.
CheckBox* CreateGridSwitch(int id, const Frame& f, int column) {
  int size = ScaleX(36);
  // The vertical offset uses the horizontal size, as the grid was drawn.
  CheckBox* box = CreateImageControl<CheckBox>(id, GridX(f, column) + (f.cell - size) / 2,
                                               GridY(f, 3) + (f.cellHeight - size) / 2, size, ScaleY(36),
                                               SkinPicture(Chk_General_2_Up), SkinPicture(Chk_General_2_Dn),
                                               kStretched);
  if (box == nullptr) return nullptr;
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
  appState.rootPanel = CreatePanel(1, 0, 0, f.width, f.height, TRUE);
  if (appState.rootPanel != nullptr) appState.rootPanel->SetVibrateOnPress(TRUE);
  appState.mainPanel = CreatePanel(5, 0, 0, f.width, f.height, FALSE);
  appState.topBarPicture =
      CreatePicture(16, 0, 0, f.width, f.topBar, SkinPicture(Pic_TopBar_App), kStretched);
  // The top bar's buttons are square in its height.
  appState.closeButton =
      CreateImageControl<ImageButton>(17, f.width - f.topBar, 0, ScaleX(26), f.topBar,
                                      SkinPicture(Btn_TopBar_Close_Up), SkinPicture(Btn_TopBar_Close_Dn), kStretched);
  appState.aboutButton =
      CreateImageControl<ImageButton>(18, f.width - 2 * f.topBar, 0, ScaleX(26), f.topBar,
                                      SkinPicture(Btn_TopBar_About_Up), SkinPicture(Btn_TopBar_About_Dn), kStretched);
  if (appState.aboutButton != nullptr) appState.aboutButton->SetVisible(FALSE);
  int screenHeight = f.height - f.topBar;
  appState.tabPanel = CreatePanel(19, 0, f.topBar, barWidth, screenHeight, FALSE);
  appState.aboutPage = CreatePanel(20, 0, f.topBar, barWidth, screenHeight, FALSE);
  appState.browserPage = CreatePanel(21, 0, f.topBar, barWidth, screenHeight, FALSE);
  appState.bottomBarPicture = CreatePicture(22, 0, f.height - f.bottomBar, barWidth, f.bottomBar,
                                            SkinPicture(Pic_BottomBar), kStretched);
}

void BuildTabs(const Frame& f) {
  const struct {
    CheckBox* AppState::*field;
    int id;
    SkinImage up;
    SkinImage down;
  } tabs[] = {
      {&AppState::homeTab, 32, Chk_BottomBar_Home_Up, Chk_BottomBar_Home_Dn},
      {&AppState::soundsTab, 33, Chk_BottomBar_Sounds_Up, Chk_BottomBar_Sounds_Dn},
      {&AppState::settingsTab, 34, Chk_BottomBar_Settings_Up, Chk_BottomBar_Settings_Dn},
  };
  int column = 0;
  for (const auto& tab : tabs) {
    appState.*tab.field = CreateImageControl<CheckBox>(tab.id, column * f.cell, f.height - f.bottomBar, f.cell,
                                                       f.bottomBar, SkinPicture(tab.up), SkinPicture(tab.down),
                                                       kStretched);
    ++column;
  }
  int pageHeight = f.height - f.bottomBar - f.topBar;
  appState.homePage = CreatePanel(35, 0, f.topBar, ScaleX(240), pageHeight, FALSE);
  appState.soundsPage = CreatePanel(36, 0, f.topBar, ScaleX(240), pageHeight, FALSE);
  appState.settingsPage = CreatePanel(37, 0, f.topBar, ScaleX(240), pageHeight, FALSE);
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
  for (int slot = 0; slot < 5; ++slot) {
    ImageButton* button = CreateImageControl<ImageButton>(
        80 + slot, GridX(f, cells[slot].column), GridY(f, cells[slot].row), f.cell, f.cellHeight,
        SkinPicture(cells[slot].up), SkinPicture(cells[slot].down), kCentred);
    if (button != nullptr) button->SetIconVisible(TRUE).SetIconMargins(iconX, iconY, iconX, iconY);
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
        CreatePicture(85 + corner, GridX(f, corners[corner].column), GridY(f, corners[corner].row), f.cell,
                      f.cellHeight, SkinPicture(corners[corner].picture), kStretched);
  }
  appState.motionToggle = CreateGridSwitch(89, f, 3);
  appState.pulseToggle = CreateGridSwitch(256, f, 1);
}

void BuildSoundsPage(const Frame& f) {
  appState.soundsPagePicture =
      CreatePicture(96, 0, RowY(f, 1), 70, 480, SkinPicture(Pic_OpenSoundsType), kCentred);
  const int playIds[5] = {102, 103, 104, 105, 112};
  for (int slot = 0; slot < 5; ++slot) {
    int top = RowY(f, slot + 1);
    TwoLineButton* row = CreateImageControl<TwoLineButton>(97 + slot, 70, top, 325, 96,
                                                           SkinPicture(BtnEx_OpenSound_Up),
                                                           SkinPicture(BtnEx_OpenSound_Dn), kStretched);
    if (row != nullptr) {
      row->SetCaptionVisible(TRUE).SetIconVisible(TRUE).SetIconMargins(12, 24, 265, 24);
      row->SetSubtitleVisible(TRUE)
          .SetSubtitleFont(SkinFontOf(Font14))
          .SetSubtitleColors(0xCCCCCC, 0x000000)
          .SetSubtitleMargins(72, 48, 12, 12);
      row->SetFont(SkinFontOf(Font16Semibold)).SetTextMargins(72, 12, 12, 48);
    }
    appState.slotButton[slot] = row;
    appState.playButton[slot] =
        CreateImageControl<ImageButton>(playIds[slot], 395, top, 85, 96, SkinPicture(Btn_PlaySound_Up),
                                        SkinPicture(Btn_PlaySound_Dn), kStretched);
  }
}

void BuildSettingsPage() {
  appState.sensitivityLabel = CreateLabel(128, 0, 60, 240, 40, L"Sensitivity", Font14, kTextLeft);
  if (appState.sensitivityLabel != nullptr) appState.sensitivityLabel->SetTextMargins(20, 0, 0, 0);
  const LPCWSTR axisNames[3] = {L"X-axis:", L"Y-axis:", L"Z-axis:"};
  for (int axis = 0; axis < 3; ++axis) {
    int top = 102 + 70 * axis;
    TextLabel* label = CreateLabel(129 + axis, 0, top, 240, 60, axisNames[axis], Font14, kTextLeft);
    if (label != nullptr) label->SetTextMargins(60, 0, 0, 0);
    appState.axisLabel[axis] = label;
    ValueSelector* selector = Create<ValueSelector>(132 + axis);
    if (selector != nullptr) {
      selector->SetBounds(260, top, 200, 60).SetFont(SkinFontOf(Font16)).SetTextFormat(kTextCentred);
      selector->SetImage(SkinPicture(Cmb_General_Up), 1)
          .SetImage(SkinPicture(Cmb_General_Dn_L), 5)
          .SetImage(SkinPicture(Cmb_General_Dn_R), 7)
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
  } switches[] = {
      {&AppState::xButtonLabel, 135, L"X-Button (Close):", &AppState::xButtonCheck, 136, 312},
      {&AppState::animationsLabel, 137, L"Animations:", &AppState::animationsCheck, 144, 380},
      {&AppState::vibrationsLabel, 145, L"Touch Vibrations:", &AppState::vibrationsCheck, 146, 448},
  };
  for (const auto& entry : switches) {
    TextLabel* label = CreateLabel(entry.labelId, 0, entry.top, 240, 60, entry.text, Font14, kTextLeft);
    if (label != nullptr) label->SetTextMargins(20, 0, 0, 0);
    appState.*entry.label = label;
    appState.*entry.check = CreateImageControl<CheckBox>(entry.checkId, 260, entry.top, 200, 60,
                                                         SkinPicture(Chk_General_Up), SkinPicture(Chk_General_Dn),
                                                         kStretched);
  }
}

void BuildAboutPage(const Frame& f) {
  appState.titleLabel = CreateLabel(48, 0, 75, 480, 40, L"Jostlepad", Font18Semibold, kTextCentred);
  appState.platformLabel = CreateLabel(49, 0, 115, 480, 40, L"for Pocket PC", Font14, kTextCentred);
  appState.versionLabel = CreateLabel(50, 0, 155, 480, 40, L"Version 1.0.0.3", Font14, kTextTop);
  HBITMAP title = appState.resources ? appState.resources->TitlePicture() : NULL;
  appState.logoPicture = CreatePicture(51, 0, 195, 480, 40, title, kCentred);
  appState.webLabel = CreateLabel(52, 0, 235, 480, 40, kWebAddress, Font14, kTextCentred);
  appState.mailLabel = CreateLabel(53, 0, 275, 480, 40, kMailAddress, Font14, kTextTop);
  HBITMAP donateUp = appState.resources ? appState.resources->DonateUp() : NULL;
  HBITMAP donateDown = appState.resources ? appState.resources->DonateDown() : NULL;
  appState.donateButton = CreateImageControl<ImageButton>(54, 149, 402, 184, 52, donateUp, donateDown, kStretched);
  appState.noticeLabel = CreateLabel(55, 0, f.height - 148, 480, 40, kNoticeText, Font14, kTextCentred);
  appState.backButton = CreateBarButton(56, 140, f.height - 84, L"BACK");
}

void BuildBrowserPage(const Frame& f) {
  ScrollList* list = Create<ScrollList>(64);
  if (list != nullptr) {
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
  appState.okButton = CreateBarButton(65, 250, f.height - 84, L"OK");
  appState.cancelButton = CreateBarButton(66, 30, f.height - 84, L"CANCEL");
}

template <int N>
void AddChildren(ControlPanel* panel, TouchControl* const (&children)[N]) {
  if (panel == nullptr) return;
  for (TouchControl* child : children) panel->AddChild(child);
}

// Children in painting order, back to front; the pen reaches them in the
// same order.
void AssembleTree() {
  AppState& s = appState;
  AddChildren(s.homePage, {s.gridButton[0], s.gridButton[1], s.gridButton[2], s.gridButton[3], s.gridButton[4],
               s.gridCorner[0], s.gridCorner[1], s.gridCorner[2], s.gridCorner[3], s.motionToggle, s.pulseToggle});
  AddChildren(s.soundsPage, {s.soundsPagePicture, s.slotButton[0], s.slotButton[1], s.slotButton[2],
               s.slotButton[3], s.slotButton[4], s.playButton[0], s.playButton[1], s.playButton[2], s.playButton[3],
               s.playButton[4]});
  AddChildren(s.settingsPage, {s.sensitivityLabel, s.axisLabel[0], s.axisLabel[1], s.axisLabel[2],
               s.sensitivitySelector[0], s.sensitivitySelector[1], s.sensitivitySelector[2], s.xButtonLabel,
               s.xButtonCheck, s.animationsLabel, s.animationsCheck, s.vibrationsLabel, s.vibrationsCheck});
  AddChildren(s.tabPanel, {s.homeTab, s.soundsTab, s.settingsTab, s.homePage, s.soundsPage, s.settingsPage});
  AddChildren(s.aboutPage, {s.titleLabel, s.platformLabel, s.versionLabel, s.logoPicture, s.webLabel, s.mailLabel,
               s.donateButton, s.noticeLabel, s.backButton});
  AddChildren(s.browserPage, {s.soundList, s.okButton, s.cancelButton});
  AddChildren(s.mainPanel, {s.topBarPicture, s.closeButton, s.aboutButton, s.bottomBarPicture, s.tabPanel,
               s.aboutPage, s.browserPage});
  AddChildren(s.rootPanel, {s.mainPanel});
}

template <class Control>
void Delete(Control*& control) {
  delete control;
  control = nullptr;
}

template <class Control, int N>
void Delete(Control* (&controls)[N]) {
  for (Control*& control : controls) Delete(control);
}

}  // namespace

int BuildScreen() {
  Frame frame = ReadFrame();
  BuildBars(frame);
  BuildTabs(frame);
  BuildAboutPage(frame);
  BuildBrowserPage(frame);
  BuildHomePage(frame);
  BuildSoundsPage(frame);
  BuildSettingsPage();
  AssembleTree();
  return 1;
}

void DeleteControls() {
  AppState& s = appState;
  // Panels only borrow their children, so the order is free.
  Delete(s.rootPanel);
  Delete(s.mainPanel);
  Delete(s.topBarPicture);
  Delete(s.closeButton);
  Delete(s.aboutButton);
  Delete(s.tabPanel);
  Delete(s.aboutPage);
  Delete(s.browserPage);
  Delete(s.bottomBarPicture);
  Delete(s.homeTab);
  Delete(s.soundsTab);
  Delete(s.settingsTab);
  Delete(s.homePage);
  Delete(s.soundsPage);
  Delete(s.settingsPage);
  Delete(s.titleLabel);
  Delete(s.platformLabel);
  Delete(s.versionLabel);
  Delete(s.logoPicture);
  Delete(s.webLabel);
  Delete(s.mailLabel);
  Delete(s.donateButton);
  Delete(s.noticeLabel);
  Delete(s.backButton);
  Delete(s.soundList);
  Delete(s.okButton);
  Delete(s.cancelButton);
  Delete(s.gridButton);
  Delete(s.gridCorner);
  Delete(s.motionToggle);
  Delete(s.pulseToggle);
  Delete(s.soundsPagePicture);
  Delete(s.slotButton);
  Delete(s.playButton);
  Delete(s.sensitivityLabel);
  Delete(s.axisLabel);
  Delete(s.sensitivitySelector);
  Delete(s.xButtonLabel);
  Delete(s.xButtonCheck);
  Delete(s.animationsLabel);
  Delete(s.animationsCheck);
  Delete(s.vibrationsLabel);
  Delete(s.vibrationsCheck);
}
