#include "test_app_dir.h"

#include <cstdio>

#include "png_writer.h"
#include "test_files.h"
#include "wav_builder.h"

namespace jptest {
namespace {

// Sizes at 192 dpi on 480 x 640: what each picture's control covers.
struct Shape {
  const char* name;
  int width;
  int height;
};
const Shape kShapes[] = {
    {"Pic_TopBar_App", 480, 52},         {"Btn_TopBar_Close_Up", 52, 52},     {"Btn_TopBar_Close_Dn", 52, 52},
    {"Btn_TopBar_About_Up", 52, 52},     {"Btn_TopBar_About_Dn", 52, 52},     {"Chk_BottomBar_Home_Up", 160, 108},
    {"Chk_BottomBar_Home_Dn", 160, 108}, {"Chk_BottomBar_Sounds_Up", 160, 108}, {"Chk_BottomBar_Sounds_Dn", 160, 108},
    {"Chk_BottomBar_Settings_Up", 160, 108}, {"Chk_BottomBar_Settings_Dn", 160, 108},
    {"Pic_SlotGrid_L1C1", 160, 160},     {"Pic_SlotGrid_L1C3", 160, 160},     {"Pic_SlotGrid_L3C1", 160, 160},
    {"Pic_SlotGrid_L3C3", 160, 160},     {"Btn_SlotGrid_L1C2_Up", 160, 160},  {"Btn_SlotGrid_L1C2_Dn", 160, 160},
    {"Btn_SlotGrid_L2C3_Up", 160, 160},  {"Btn_SlotGrid_L2C3_Dn", 160, 160},  {"Btn_SlotGrid_L3C2_Up", 160, 160},
    {"Btn_SlotGrid_L3C2_Dn", 160, 160},  {"Btn_SlotGrid_L2C1_Up", 160, 160},  {"Btn_SlotGrid_L2C1_Dn", 160, 160},
    {"Btn_SlotGrid_L2C2_Up", 160, 160},  {"Btn_SlotGrid_L2C2_Dn", 160, 160},  {"Pic_OpenSoundsType", 70, 480},
    {"BtnEx_OpenSound_Up", 325, 96},     {"BtnEx_OpenSound_Dn", 325, 96},     {"Btn_PlaySound_Up", 85, 96},
    {"Btn_PlaySound_Dn", 85, 96},        {"Cmb_General_Up", 200, 60},         {"Cmb_General_Dn_L", 200, 60},
    {"Cmb_General_Dn_R", 200, 60},       {"Chk_General_Up", 200, 60},         {"Chk_General_Dn", 200, 60},
    {"Chk_General_2_Up", 72, 72},        {"Chk_General_2_Dn", 72, 72},        {"Btn_General_Up", 200, 60},
    {"Btn_General_Dn", 200, 60},         {"Btn_BottomBar_Up", 200, 60},       {"Btn_BottomBar_Dn", 200, 60},
    {"Btn_BottomBar_Mask", 200, 60},     {"Pic_BottomBar", 480, 108},         {"Slt_Separator", 480, 2},
    {"Slt_ItemSelected", 480, 80},
};

// Far apart in every channel's low bits, never black, white or the magenta key.
uint32_t ColourOf(int index) {
  uint32_t r = 0x20 + static_cast<uint32_t>(index * 5) % 0xC0;
  uint32_t g = 0xE0 - static_cast<uint32_t>(index * 3) % 0xC0;
  uint32_t b = 0x30 + static_cast<uint32_t>(index * 29) % 0xA0;
  return r << 16 | g << 8 | b;
}

uint32_t NameColour(const std::string& text, uint32_t salt) {
  uint32_t h = 2166136261u ^ salt;
  for (unsigned char c : text) h = (h ^ c) * 16777619u;
  // Keep each channel in 0x30..0xCF: never black, white or magenta.
  uint32_t r = 0x30 + (h & 0xFF) % 0xA0, g = 0x30 + (h >> 8 & 0xFF) % 0xA0, b = 0x30 + (h >> 16 & 0xFF) % 0xA0;
  return r << 16 | g << 8 | b;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

std::string Dword(int value) {
  char text[20];
  std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(value));
  return text;
}

}  // namespace

const std::vector<SkinPicture>& TestSkinPictures() {
  static const std::vector<SkinPicture> pictures = [] {
    std::vector<SkinPicture> list;
    int index = 0;
    for (const Shape& s : kShapes) {
      // A mask that is black everywhere lets the whole image through.
      uint32_t rgb = std::string(s.name) == "Btn_BottomBar_Mask" ? 0 : ColourOf(index);
      list.push_back({s.name, s.width, s.height, rgb});
      ++index;
    }
    return list;
  }();
  return pictures;
}

uint32_t SkinColour(const std::string& stem) {
  for (const SkinPicture& p : TestSkinPictures())
    if (stem == p.name) return p.rgb;
  return 0;
}

bool WriteTestSkin(const std::string& skinDir) {
  if (!MakeDirs(skinDir)) return false;
  for (const SkinPicture& p : TestSkinPictures())
    if (!WritePngSolid(skinDir + "/" + p.name + ".png", p.width, p.height, p.rgb)) return false;
  return true;
}

uint32_t PackBigColour(const std::string& pack) { return NameColour(pack, 1); }
uint32_t PackSmallColour(const std::string& pack) { return NameColour(pack, 2); }

bool WriteTestPack(const std::string& soundsDir, const TestPack& pack) {
  std::string dir = soundsDir + "/" + pack.name;
  if (!MakeDirs(dir)) return false;
  if (pack.pictures && (!WritePngSolid(dir + "/" + pack.name + "B.png", 128, 128, PackBigColour(pack.name)) ||
                        !WritePngSolid(dir + "/" + pack.name + "S.png", 48, 48, PackSmallColour(pack.name))))
    return false;
  for (const TestSound& s : pack.sounds) {
    std::vector<int16_t> samples(static_cast<size_t>(s.ms) * 48, s.value);
    if (!WriteFile(dir + "/" + s.fileName, CanonicalWav(WavFormat{}, Pcm16(samples)))) return false;
  }
  return true;
}

bool WriteTestAppDir(const std::string& appDir, const std::vector<TestPack>& packs) {
  if (!WriteTestSkin(appDir + "/Skin") || !MakeDirs(appDir + "/Sounds")) return false;
  for (const TestPack& pack : packs)
    if (!WriteTestPack(appDir + "/Sounds", pack)) return false;
  return true;
}

std::vector<TestPack> FiveSlotPacks() {
  return {{"Pack1", {{"Slot1.wav", 1000}, {"Slot4.wav", 4000}}},
          {"Pack2", {{"Slot2.wav", 2000}, {"Slot5.wav", 5000}}},
          {"Pack3", {{"Slot3.wav", 3000}}}};
}

std::string TestHive(const TestSettings& s, const std::string& browser) {
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
  text += "[HKEY_LOCAL_MACHINE\\Software\\Marrowfen\\Jostlepad\\Settings]\r\n";
  for (int n = 0; n < 5; ++n) {
    std::string slot = std::to_string(n + 1);
    text += "\"SoundSlot" + slot + "Folder\"=\"" + Escaped(s.slotFolder[n]) + "\"\r\n";
    text += "\"SoundSlot" + slot + "Name\"=\"" + Escaped(s.slotName[n]) + "\"\r\n";
  }
  const char* axes = "XYZ";
  for (int a = 0; a < 3; ++a)
    text += std::string("\"Sensitivity") + axes[a] + "\"=" + Dword(s.sensitivity[a]) + "\r\n";
  text += "\"XButtonClose\"=" + Dword(s.xButtonClose) + "\r\n";
  text += "\"AnimationsOn\"=" + Dword(s.animationsOn) + "\r\n";
  text += "\"VibrationsOn\"=" + Dword(s.vibrationsOn) + "\r\n";
  text += "\"PulseVibrationsOn\"=" + Dword(s.pulseVibrationsOn) + "\r\n\r\n";
  text += "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Shell\\Rai\\:DEFBROWSER]\r\n";
  text += "\"1\"=\"" + Escaped("\"" + browser + "\" %1") + "\"\r\n\r\n";
  text += "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Power]\r\n";
  text += "\"BattPowerOff\"=dword:000000b4\r\n\"ExtPowerOff\"=dword:00000000\r\n\"ScreenPowerOff\"=dword:0000003c\r\n";
  return text;
}

}  // namespace jptest
