// Every picture and font the touch interface draws with: 45 PNG files of
// fixed names from the skin folder and six sizes of one typeface. The look
// changes by replacing the files; the names stay.
#pragma once

#include <windows.h>

// In load order; each is the stem of its file name.
enum SkinImage {
  Pic_TopBar_App,
  Btn_TopBar_Close_Up,
  Btn_TopBar_Close_Dn,
  Btn_TopBar_About_Up,
  Btn_TopBar_About_Dn,
  Chk_BottomBar_Home_Up,
  Chk_BottomBar_Home_Dn,
  Chk_BottomBar_Sounds_Up,
  Chk_BottomBar_Sounds_Dn,
  Chk_BottomBar_Settings_Up,
  Chk_BottomBar_Settings_Dn,
  Pic_SlotGrid_L1C1,
  Pic_SlotGrid_L1C3,
  Pic_SlotGrid_L3C1,
  Pic_SlotGrid_L3C3,
  Btn_SlotGrid_L1C2_Up,
  Btn_SlotGrid_L1C2_Dn,
  Btn_SlotGrid_L2C3_Up,
  Btn_SlotGrid_L2C3_Dn,
  Btn_SlotGrid_L3C2_Up,
  Btn_SlotGrid_L3C2_Dn,
  Btn_SlotGrid_L2C1_Up,
  Btn_SlotGrid_L2C1_Dn,
  Btn_SlotGrid_L2C2_Up,
  Btn_SlotGrid_L2C2_Dn,
  Pic_OpenSoundsType,
  BtnEx_OpenSound_Up,
  BtnEx_OpenSound_Dn,
  Btn_PlaySound_Up,
  Btn_PlaySound_Dn,
  Cmb_General_Up,
  Cmb_General_Dn_L,
  Cmb_General_Dn_R,
  Chk_General_Up,
  Chk_General_Dn,
  Chk_General_2_Up,
  Chk_General_2_Dn,
  Btn_General_Up,
  Btn_General_Dn,
  Btn_BottomBar_Up,
  Btn_BottomBar_Dn,
  Btn_BottomBar_Mask,
  Pic_BottomBar,
  Slt_Separator,
  Slt_ItemSelected,
  SkinImageCount
};

// Numbered after the pictures.
enum SkinFont {
  Font14 = SkinImageCount,
  Font16,
  Font18,
  Font14Semibold,
  Font16Semibold,
  Font18Semibold,
  SkinFontEnd
};
const int kSkinFontCount = SkinFontEnd - Font14;

class Skin {
 public:
  Skin();
  ~Skin();

  // Loads the pictures and creates the fonts; a file that cannot be read
  // leaves its handle NULL. Always true. The description file is not read.
  bool Load(LPCWSTR skinFolder, LPCWSTR descriptionPath);
  // Deletes the pictures, then the fonts; every handle becomes NULL.
  void Release();

  HBITMAP Image(SkinImage index) const;
  HFONT Font(SkinFont index) const;

 private:
  Skin(const Skin&) = delete;
  Skin& operator=(const Skin&) = delete;

  HBITMAP images[SkinImageCount];
  HFONT fonts[kSkinFontCount];
};

// A LOGFONTW of the cell height (positive) in the skin's fixed style: weight
// 600 when semibold, else 500, East European character set, ClearType.
HFONT CreateSkinFont(LPCWSTR faceName, LONG height, BOOL semibold, BOOL italic, BOOL underline);
