// This build installed into a temporary prefix, as a packager or a person
// would, then the installed program run on the headless bench with no
// folder options: it must find its skin and packs, and the user's own packs.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "png_reader.h"
#include "scenario_support.h"
#include "test_app_dir.h"
#include "test_files.h"
#include "wav_builder.h"

namespace jptest {
namespace {

namespace fs = std::filesystem;

const char kAppId[] = "io.github.jostlepad.Jostlepad";
const char kSettingsKey[] = "HKEY_LOCAL_MACHINE\\Software\\Marrowfen\\Jostlepad\\Settings";

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Exit status of a shell command, or -1 when it did not exit.
int Shell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadText(const std::string& path) {
  std::vector<uint8_t> bytes = ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> SortedNames(const fs::path& folder, bool folders) {
  std::vector<std::string> names;
  for (const fs::directory_entry& e : fs::directory_iterator(folder))
    if (e.is_directory() == folders) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class InstalledProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string log = temp_ / "install.log";
    int status = Shell(Quoted(JP_CMAKE_COMMAND) + " --install " + Quoted(JP_BUILD_DIR) + " --prefix " +
                       Quoted(Prefix()) + " >" + Quoted(log) + " 2>&1");
    ASSERT_EQ(status, 0) << ReadText(log);
    ASSERT_TRUE(MakeDirs(temp_ / "data"));
  }

  std::string Prefix() const { return temp_ / "prefix"; }
  std::string Share() const { return temp_ / "prefix/share/jostlepad"; }
  std::string UserSounds() const { return temp_ / "data/jostlepad/Sounds"; }

  // The installed executable on the bench, its user data in our folder;
  // `tag` names the run's device folder, script and logs.
  int RunInstalled(const std::string& tag, const std::string& script) {
    std::string scriptPath = WriteScript(temp_.Path(), tag + ".txt", script);
    std::string command = "env XDG_DATA_HOME=" + Quoted(temp_ / "data") + " timeout 120 " +
                          Quoted(Prefix() + "/bin/jostlepad") + " --headless --script " + Quoted(scriptPath) +
                          " --device " + Quoted(temp_ / tag) + " >" + Quoted(temp_ / (tag + ".out")) + " 2>" +
                          Quoted(temp_ / (tag + ".err"));
    MakeDirs(temp_ / tag);
    return Shell(command);
  }

  TempDir temp_;
};

TEST_F(InstalledProgram, EveryFileGoesToItsPlace) {
  struct stat st {};
  ASSERT_EQ(stat((Prefix() + "/bin/jostlepad").c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
  for (std::string path : {"share/applications/" + std::string(kAppId) + ".desktop",
                           "share/metainfo/" + std::string(kAppId) + ".metainfo.xml",
                           "share/icons/hicolor/scalable/apps/" + std::string(kAppId) + ".svg",
                           std::string("share/jostlepad/LICENSE")})
    EXPECT_TRUE(fs::is_regular_file(Prefix() + "/" + path)) << path;
  // Each size's picture is that size.
  for (int size : {16, 32, 48, 64, 128, 256}) {
    std::string dim = std::to_string(size);
    PngImage icon;
    ASSERT_TRUE(ReadPngRgb(Prefix() + "/share/icons/hicolor/" + dim + "x" + dim + "/apps/" + kAppId + ".png", icon))
        << dim;
    EXPECT_EQ(icon.width, size);
    EXPECT_EQ(icon.height, size);
  }
  // The skin and every pack, byte for byte.
  size_t files = 0;
  for (const char* folder : {"Skin", "Sounds"}) {
    fs::path from = fs::path(JP_ASSETS_DIR) / folder;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(from)) {
      if (!e.is_regular_file() || e.path().filename() == ".keep") continue;
      std::string relative = fs::relative(e.path(), JP_ASSETS_DIR).string();
      EXPECT_EQ(ReadFile(Share() + "/" + relative), ReadFile(e.path().string())) << relative;
      ++files;
    }
  }
  EXPECT_GT(files, 0u);
}

TEST_F(InstalledProgram, FindsItsSkinWithoutOptions) {
  ASSERT_EQ(RunInstalled("installed", "wait 2500\nshot " + temp_ / "installed.png\n"), 0)
      << ReadText(temp_ / "installed.err");
  // The staged program, told where its folder is, shows the same Home page.
  MakeDirs(temp_ / "staged");
  RunResult staged = RunJostlepad({"--headless", "--script", WriteScript(temp_.Path(), "staged.txt",
                                                                          "wait 2500\nshot " + temp_ / "staged.png\n"),
                                   "--device", temp_ / "staged", "--app-dir", StagedAppDir()},
                                  temp_.Path());
  ASSERT_EQ(staged.status, 0) << staged.err;
  PngImage installed, expected;
  ASSERT_TRUE(ReadPngRgb(temp_ / "installed.png", installed));
  ASSERT_TRUE(ReadPngRgb(temp_ / "staged.png", expected));
  EXPECT_EQ(installed.width, expected.width);
  EXPECT_TRUE(installed.pixels == expected.pixels) << "the installed program's Home page differs from the staged one";
}

// The slots are named by file in the hive; the bank finds each file in
// whichever pack the program saw, and closing saves that pack's name.
TEST_F(InstalledProgram, TheUsersPacksJoinTheInstalledOnesAndWinAClashWhole) {
  std::vector<std::string> packs = SortedNames(Share() + "/Sounds", true);
  ASSERT_GE(packs.size(), 2u);
  // A file of a pack that only that pack has: the bank finds it nowhere else.
  std::map<std::string, int> packsHolding;
  for (const std::string& pack : packs)
    for (const std::string& file : SortedNames(Share() + "/Sounds/" + pack, false)) ++packsHolding[file];
  auto onlyIn = [&](const std::string& pack) {
    for (const std::string& file : SortedNames(Share() + "/Sounds/" + pack, false))
      if (file.size() > 4 && file.substr(file.size() - 4) == ".wav" && packsHolding[file] == 1) return file;
    return std::string();
  };
  const std::string hiddenPack = packs[0], keptPack = packs[1];
  const std::string hiddenFile = onlyIn(hiddenPack), keptFile = onlyIn(keptPack);
  ASSERT_FALSE(hiddenFile.empty());
  ASSERT_FALSE(keptFile.empty());
  std::string clash = hiddenPack;
  std::transform(clash.begin(), clash.end(), clash.begin(), [](unsigned char c) { return std::tolower(c); });
  ASSERT_NE(clash, hiddenPack);  // the clash is by name up to case

  ASSERT_TRUE(WriteTestPack(UserSounds(), {"Mine", {{"Extra.wav", 1000}}}));
  ASSERT_TRUE(WriteTestPack(UserSounds(), {clash, {{"Own.wav", 2000}}}));
  TestSettings settings;
  settings.slotName[0] = "Extra.wav";
  settings.slotName[1] = hiddenFile;
  settings.slotName[2] = keptFile;
  settings.slotName[3] = "Own.wav";
  MakeDirs(temp_ / "joined");
  ASSERT_TRUE(WriteText(temp_ / "joined/registry.reg", TestHive(settings)));

  ASSERT_EQ(RunInstalled("joined", "wait 2500\n"), 0) << ReadText(temp_ / "joined.err");
  std::map<std::string, std::string> saved = HiveKeyValues(temp_ / "joined/registry.reg", kSettingsKey);
  const std::pair<std::string, std::string> expected[] = {
      {"\"Mine\"", "\"Extra.wav\""},                   // a pack only the user has
      {"\"\"", "\"\""},                                // its pack is replaced whole: gone
      {"\"" + keptPack + "\"", "\"" + keptFile + "\""},  // installed, no clash
      {"\"" + clash + "\"", "\"Own.wav\""},            // the user's pack that won
  };
  for (int slot = 1; slot <= 4; ++slot) {
    std::string n = std::to_string(slot);
    EXPECT_EQ(saved["SoundSlot" + n + "Folder"], expected[slot - 1].first) << "slot " << n;
    EXPECT_EQ(saved["SoundSlot" + n + "Name"], expected[slot - 1].second) << "slot " << n;
  }
}

}  // namespace
}  // namespace jptest
