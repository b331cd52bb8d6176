// A joined folder: the user's packs seen in the program's Sounds folder,
// through the device's own file calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "device/device.h"
#include "device/internal.h"
#include "test_files.h"
#include "windows.h"

namespace {

std::wstring Device(const std::string& posix) { return wce::PosixPathToDevice(posix); }

// Sorted names a search returns, or the error it failed with.
struct Listing {
  std::vector<std::wstring> names;
  DWORD error = ERROR_SUCCESS;
};

Listing List(const std::wstring& pattern) {
  Listing listing;
  WIN32_FIND_DATAW data{};
  HANDLE search = FindFirstFileW(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) {
    listing.error = GetLastError();
    return listing;
  }
  do listing.names.push_back(data.cFileName);
  while (FindNextFileW(search, &data));
  FindClose(search);
  std::sort(listing.names.begin(), listing.names.end());
  return listing;
}

// The whole file through _wfopen, or "(none)".
std::string Contents(const std::wstring& path) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (file == nullptr) return "(none)";
  std::string text;
  char buffer[64];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  std::fclose(file);
  return text;
}

class JoinedFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    wce::internal::KernelReset();
    for (const auto& [path, text] : std::vector<std::pair<std::string, std::string>>{
             {"app/Sounds/Drums/Kick.wav", "installed kick"},
             {"app/Sounds/Drums/DrumsS.png", "installed picture"},
             {"app/Sounds/Bells/Bell.wav", "installed bell"},
             {"app/Sounds/notes.txt", "installed notes"},
             {"user/Sounds/drums/Snare2.wav", "user snare"},
             {"user/Sounds/drums/DrumsS.png", "user picture"},
             {"user/Sounds/Mine/Extra.wav", "user extra"},
         }) {
      ASSERT_TRUE(jptest::MakeDirs(temp_ / path.substr(0, path.rfind('/'))));
      ASSERT_TRUE(jptest::WriteText(temp_ / path, text));
    }
    sounds_ = Device(temp_ / "app/Sounds") + L"\\";
  }
  void TearDown() override {
    wce::SetFolderUnions({});
    wce::internal::KernelReset();
  }
  void Join(const std::string& folder, const std::string& joined) {
    wce::SetFolderUnions({{temp_ / folder, temp_ / joined}});
  }

  jptest::TempDir temp_;
  std::wstring sounds_;
};

TEST_F(JoinedFolder, ListsBothFoldersAndTheUsersPackWinsAClashWhole) {
  Join("app/Sounds", "user/Sounds");
  struct Case {
    std::wstring pattern;
    std::vector<std::wstring> names;
  } cases[] = {
      // "drums" hides "Drums": one entry, spelled as the winner spells it.
      {L"*", {L"Bells", L"Mine", L"drums", L"notes.txt"}},
      {L"D*", {L"drums"}},
      {L"*.txt", {L"notes.txt"}},
      // Inside the winning pack, whatever case the program asks with: only its files.
      {L"Drums\\*", {L"DrumsS.png", L"Snare2.wav"}},
      {L"DRUMS\\*.wav", {L"Snare2.wav"}},
      {L"Bells\\*.wav", {L"Bell.wav"}},
      {L"mine\\*.wav", {L"Extra.wav"}},
  };
  for (const Case& c : cases) {
    Listing listing = List(sounds_ + c.pattern);
    EXPECT_EQ(listing.names, c.names) << std::string(c.pattern.begin(), c.pattern.end());
  }
  EXPECT_EQ(List(sounds_ + L"*.none").error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  WIN32_FIND_DATAW data{};
  HANDLE search = FindFirstFileW((sounds_ + L"Mine").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  FindClose(search);
}

TEST_F(JoinedFolder, FilesOpenFromThePackThatWon) {
  Join("app/Sounds", "user/Sounds");
  const std::pair<std::wstring, std::string> cases[] = {
      {L"Drums\\Snare2.wav", "user snare"},
      {L"drums\\DrumsS.png", "user picture"},
      {L"Drums\\Kick.wav", "(none)"},  // the installed pack is hidden, not merged
      {L"Bells\\Bell.wav", "installed bell"},
      {L"Mine\\Extra.wav", "user extra"},
      {L"notes.txt", "installed notes"},
      {L"Bells\\..\\notes.txt", "installed notes"},
  };
  for (const auto& [path, text] : cases) EXPECT_EQ(Contents(sounds_ + path), text) << text;
  // However the program spells the folder, it is the joined one.
  EXPECT_EQ(wce::DevicePathToPosix((Device(temp_ / "app//Sounds") + L"\\\\drums\\").c_str()),
            temp_ / "user/Sounds/drums/");
  EXPECT_EQ(wce::DevicePathToPosix((sounds_ + L"Bells\\Bell.wav").c_str()), temp_ / "app/Sounds/Bells/Bell.wav");
  // A sibling whose name starts like the folder is not inside it.
  EXPECT_EQ(wce::DevicePathToPosix((Device(temp_ / "app/SoundsX") + L"\\drums").c_str()), temp_ / "app/SoundsX/drums");
}

TEST_F(JoinedFolder, AMissingFolderOnEitherSideLeavesTheOther) {
  Join("app/Sounds", "nobody/Sounds");
  EXPECT_EQ(List(sounds_ + L"*").names, (std::vector<std::wstring>{L"Bells", L"Drums", L"notes.txt"}));
  EXPECT_EQ(Contents(sounds_ + L"Drums\\Kick.wav"), "installed kick");

  Join("gone/Sounds", "user/Sounds");
  std::wstring gone = Device(temp_ / "gone/Sounds") + L"\\";
  EXPECT_EQ(List(gone + L"*").names, (std::vector<std::wstring>{L"Mine", L"drums"}));
  EXPECT_EQ(Contents(gone + L"Mine\\Extra.wav"), "user extra");

  Join("gone/Sounds", "nobody/Sounds");
  EXPECT_EQ(List(gone + L"*").error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

  wce::SetFolderUnions({});  // no joins: the plain folder again
  EXPECT_EQ(List(sounds_ + L"*").names, (std::vector<std::wstring>{L"Bells", L"Drums", L"notes.txt"}));
}

}  // namespace
