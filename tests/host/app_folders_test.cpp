// Where the executable finds its Skin and Sounds, staged or installed, and
// where the user's own packs are.
#include <gtest/gtest.h>

#include <string>

#include "app_folders.h"
#include "test_files.h"

namespace {

TEST(AppFolders, TheExecutablesFolderThenTheInstalledShareFolder) {
  jptest::TempDir temp;
  for (const char* dir : {"staged/Skin", "both/bin/Skin", "both/share/jostlepad/Skin", "prefix/bin",
                          "prefix/share/jostlepad/Skin", "bare/bin", "bare/share/jostlepad/Sounds"})
    ASSERT_TRUE(jptest::MakeDirs(temp / dir));
  const struct {
    std::string exeDir;
    std::string appDir;
  } cases[] = {
      {temp / "staged", temp / "staged"},
      {temp / "both/bin", temp / "both/bin"},  // a Skin beside the binary wins
      {temp / "prefix/bin", temp / "prefix/share/jostlepad"},
      {temp / "prefix/bin/", temp / "prefix/share/jostlepad"},
      {temp / "bare/bin", temp / "bare/bin"},  // no Skin anywhere: as before
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(jphost::FindAppDir(c.exeDir), c.appDir) << c.exeDir;
}

TEST(AppFolders, UserSoundsFollowTheXdgRules) {
  const struct {
    const char* xdgDataHome;
    const char* home;
    std::string dir;
  } cases[] = {
      {"/x/data", "/home/u", "/x/data/jostlepad/Sounds"},
      {"relative/data", "/home/u", "/home/u/.local/share/jostlepad/Sounds"},
      {"", "/home/u", "/home/u/.local/share/jostlepad/Sounds"},
      {nullptr, "/home/u", "/home/u/.local/share/jostlepad/Sounds"},
      {nullptr, "", ""},
      {nullptr, nullptr, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(jphost::UserSoundsDir(c.xdgDataHome, c.home), c.dir) << c.dir;
}

}  // namespace
