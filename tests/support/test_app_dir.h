// A complete folder for the program to run from, made by the tests: a skin of
// plain pictures in known colours, at the sizes their controls show on a
// 480 x 640 screen at 192 dpi, and sound packs of WAVs holding one constant
// sample value each, so screenshots and recordings can be checked by value.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jptest {

struct SkinPicture {
  const char* name;  // file stem in the skin folder
  int width;
  int height;
  uint32_t rgb;  // 0x00RRGGBB, different for every picture
};

// The 45 pictures of the skin folder.
const std::vector<SkinPicture>& TestSkinPictures();
// The colour of a picture by stem; 0 when there is none of that name.
uint32_t SkinColour(const std::string& stem);
// Writes every picture as <dir>/<name>.png; false when one cannot be written.
bool WriteTestSkin(const std::string& skinDir);

struct TestSound {
  std::string fileName;  // "Kick.wav"
  int16_t value;         // every sample of the file
  int ms = 100;          // length, mono 16-bit 48 kHz
};

struct TestPack {
  std::string name;
  std::vector<TestSound> sounds;
  bool pictures = true;  // <name>B.png (128 x 128) and <name>S.png (48 x 48)
};

// The colours of a pack's big and small pictures.
uint32_t PackBigColour(const std::string& pack);
uint32_t PackSmallColour(const std::string& pack);

// Writes <appDir>/Skin/ (the test skin) and <appDir>/Sounds/<pack>/.
bool WriteTestAppDir(const std::string& appDir, const std::vector<TestPack>& packs);
bool WriteTestPack(const std::string& soundsDir, const TestPack& pack);

// Five packs-worth of sounds for the five slots: "Pack1".."Pack3" holding
// "Slot1.wav".."Slot5.wav" with values 1000 x slot in the pack given by
// the slot (one file of each name).
std::vector<TestPack> FiveSlotPacks();

// A complete registry hive of a new device whose settings key holds the given
// slot file names (pack folders as given) and the other values as listed;
// the default browser is `browser` (a device path).
struct TestSettings {
  std::string slotFolder[5];
  std::string slotName[5];
  int sensitivity[3] = {5, 5, 5};
  int xButtonClose = 1;
  int animationsOn = 1;
  int vibrationsOn = 0;
  int pulseVibrationsOn = 1;
};
std::string TestHive(const TestSettings& settings, const std::string& browser = "\\bin\\true");

}  // namespace jptest
