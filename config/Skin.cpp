#include "config/Skin.h"

#include <aygshell.h>
#include <string.h>

namespace {

const WCHAR kFaceName[] = L"HelveticaNeue LT 35 Thin";
const LONG kRegularWeight = 500;
const LONG kSemiboldWeight = 600;

// Indexed by SkinImage.
const LPCWSTR kImageFiles[SkinImageCount] = {
    L"Pic_TopBar_App.png",
    L"Btn_TopBar_Close_Up.png",
    L"Btn_TopBar_Close_Dn.png",
    L"Btn_TopBar_About_Up.png",
    L"Btn_TopBar_About_Dn.png",
    L"Chk_BottomBar_Home_Up.png",
    L"Chk_BottomBar_Home_Dn.png",
    L"Chk_BottomBar_Sounds_Up.png",
    L"Chk_BottomBar_Sounds_Dn.png",
    L"Chk_BottomBar_Settings_Up.png",
    L"Chk_BottomBar_Settings_Dn.png",
    L"Pic_SlotGrid_L1C1.png",
    L"Pic_SlotGrid_L1C3.png",
    L"Pic_SlotGrid_L3C1.png",
    L"Pic_SlotGrid_L3C3.png",
    L"Btn_SlotGrid_L1C2_Up.png",
    L"Btn_SlotGrid_L1C2_Dn.png",
    L"Btn_SlotGrid_L2C3_Up.png",
    L"Btn_SlotGrid_L2C3_Dn.png",
    L"Btn_SlotGrid_L3C2_Up.png",
    L"Btn_SlotGrid_L3C2_Dn.png",
    L"Btn_SlotGrid_L2C1_Up.png",
    L"Btn_SlotGrid_L2C1_Dn.png",
    L"Btn_SlotGrid_L2C2_Up.png",
    L"Btn_SlotGrid_L2C2_Dn.png",
    L"Pic_OpenSoundsType.png",
    L"BtnEx_OpenSound_Up.png",
    L"BtnEx_OpenSound_Dn.png",
    L"Btn_PlaySound_Up.png",
    L"Btn_PlaySound_Dn.png",
    L"Cmb_General_Up.png",
    L"Cmb_General_Dn_L.png",
    L"Cmb_General_Dn_R.png",
    L"Chk_General_Up.png",
    L"Chk_General_Dn.png",
    L"Chk_General_2_Up.png",
    L"Chk_General_2_Dn.png",
    L"Btn_General_Up.png",
    L"Btn_General_Dn.png",
    L"Btn_BottomBar_Up.png",
    L"Btn_BottomBar_Dn.png",
    L"Btn_BottomBar_Mask.png",
    L"Pic_BottomBar.png",
    L"Slt_Separator.png",
    L"Slt_ItemSelected.png",
};

// Indexed by SkinFont - Font14: size at 96 dpi and weight.
const struct {
  int size;
  BOOL semibold;
} kFonts[kSkinFontCount] = {
    {14, FALSE}, {16, FALSE}, {18, FALSE}, {14, TRUE}, {16, TRUE}, {18, TRUE},
};

// -1 when the screen cannot be asked: every height then comes out 0, which
// asks the system for its default size.
int ScreenDpiY() {
  HDC screen = GetDC(NULL);
  if (screen == NULL) return -1;
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(NULL, screen);
  return dpi;
}

HBITMAP LoadSkinImage(LPCWSTR folder, LPCWSTR file) {
  WCHAR path[MAX_PATH];
  if (wcscpy_s(path, MAX_PATH, folder) != 0 || wcscat_s(path, MAX_PATH, file) != 0) return NULL;
  return SHLoadImageFile(path);
}

}  // namespace

Skin::Skin() {
  for (HBITMAP& image : images) image = NULL;
  for (HFONT& font : fonts) font = NULL;
}

Skin::~Skin() { Release(); }

bool Skin::Load(LPCWSTR skinFolder, LPCWSTR) {
  LPCWSTR folder = skinFolder != NULL ? skinFolder : L"";
  for (int i = 0; i < SkinImageCount; ++i) images[i] = LoadSkinImage(folder, kImageFiles[i]);
  // One dpi for all six, so the sizes keep their proportions.
  int dpi = ScreenDpiY();
  for (int i = 0; i < kSkinFontCount; ++i) {
    LONG height = (kFonts[i].size * dpi + 48) / 96;
    fonts[i] = CreateSkinFont(kFaceName, height, kFonts[i].semibold, FALSE, FALSE);
  }
  return true;
}

void Skin::Release() {
  for (HBITMAP& image : images) {
    if (image != NULL) DeleteObject(image);
    image = NULL;
  }
  for (HFONT& font : fonts) {
    if (font != NULL) DeleteObject(font);
    font = NULL;
  }
}

HBITMAP Skin::Image(SkinImage index) const {
  if (index < 0 || index >= SkinImageCount) return NULL;
  return images[index];
}

HFONT Skin::Font(SkinFont index) const {
  if (index < Font14 || index >= SkinFontEnd) return NULL;
  return fonts[index - Font14];
}

HFONT CreateSkinFont(LPCWSTR faceName, LONG height, BOOL semibold, BOOL italic, BOOL underline) {
  LOGFONTW font;
  memset(&font, 0, sizeof(font));
  font.lfHeight = height;
  font.lfWidth = 0;
  font.lfEscapement = 0;
  font.lfOrientation = 0;
  font.lfWeight = semibold ? kSemiboldWeight : kRegularWeight;
  font.lfItalic = italic ? 1 : 0;
  font.lfUnderline = underline ? 1 : 0;
  font.lfStrikeOut = 0;
  font.lfCharSet = EASTEUROPE_CHARSET;
  font.lfOutPrecision = OUT_RASTER_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = CLEARTYPE_QUALITY;
  font.lfPitchAndFamily = 0;
  // At most 32 characters; the record was zeroed, so a shorter name ends there.
  if (faceName != NULL) wcsncpy(font.lfFaceName, faceName, LF_FACESIZE);
  return CreateFontIndirectW(&font);
}
