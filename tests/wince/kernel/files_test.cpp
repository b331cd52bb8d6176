// File searches and _wfopen over real folders, through device paths.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "device/device.h"
#include "device/internal.h"
#include "test_files.h"
#include "windows.h"

namespace {

struct Found {
  std::wstring name;
  DWORD attributes;
  uint64_t size;
};

std::wstring Device(const std::string& posix) { return wce::PosixPathToDevice(posix); }

// Everything a search returns, checking that it ends the way the device's does.
std::vector<Found> FindAll(const std::wstring& pattern) {
  std::vector<Found> found;
  WIN32_FIND_DATAW data{};
  HANDLE search = FindFirstFileW(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    found.push_back({data.cFileName, data.dwFileAttributes,
                     (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
  } while (FindNextFileW(search, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  EXPECT_FALSE(FindNextFileW(search, &data));  // stays at the end
  EXPECT_TRUE(FindClose(search));
  return found;
}

std::vector<std::wstring> NamesOf(const std::vector<Found>& found) {
  std::vector<std::wstring> names;
  for (const Found& f : found) names.push_back(f.name);
  return names;
}

class FileSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    wce::internal::KernelReset();
    ASSERT_TRUE(jptest::WriteText(dir_ / "A.WAV", "12345"));
    ASSERT_TRUE(jptest::WriteText(dir_ / "b.wav", "1"));
    ASSERT_TRUE(jptest::WriteText(dir_ / "c.wavx", ""));
    ASSERT_TRUE(jptest::WriteText(dir_ / "readme.txt", ""));
    ASSERT_TRUE(jptest::MakeDirs(dir_ / "Pack.wav"));
    folder_ = Device(dir_.Path()) + L"\\";
  }
  void TearDown() override { wce::internal::KernelReset(); }

  jptest::TempDir dir_;
  std::wstring folder_;
};

TEST_F(FileSearch, PatternMatchesCaseInsensitivelyAndWholeExtension) {
  std::vector<std::wstring> names = NamesOf(FindAll(folder_ + L"*.wav"));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"A.WAV", L"Pack.wav", L"b.wav"}));
  EXPECT_EQ(NamesOf(FindAll(folder_ + L"README.TXT")), std::vector<std::wstring>{L"readme.txt"});
  EXPECT_EQ(NamesOf(FindAll(folder_ + L"?.wav?")), std::vector<std::wstring>{L"c.wavx"});
}

TEST_F(FileSearch, StarListsEverythingInNameOrderWithoutDotEntries) {
  std::vector<std::wstring> expected;  // by name, whatever order the host's folder keeps
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path()))
    expected.push_back(wce::PosixPathToDevice(entry.path().filename().string()));
  std::sort(expected.begin(), expected.end());
  std::vector<std::wstring> names = NamesOf(FindAll(folder_ + L"*"));
  EXPECT_EQ(names, expected);
  EXPECT_EQ(names.size(), 5u);
  EXPECT_EQ(std::count(names.begin(), names.end(), L"."), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), L".."), 0);
}

TEST_F(FileSearch, FolderFlagAndSizes) {
  for (const Found& f : FindAll(folder_ + L"*")) {
    if (f.name == L"Pack.wav") {
      EXPECT_EQ(f.attributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
      EXPECT_EQ(f.size, 0u);
    } else {
      EXPECT_EQ(f.attributes & FILE_ATTRIBUTE_DIRECTORY, 0u) << f.name;
      EXPECT_NE(f.attributes, 0u) << f.name;
    }
    if (f.name == L"A.WAV") {
      EXPECT_EQ(f.size, 5u);
    }
  }
}

TEST_F(FileSearch, NonAsciiNamesAndTheLongestNameTheHostAllows) {
  ASSERT_TRUE(jptest::WriteText(dir_ / "\xC3\x89T\xC3\x89.wav", "x"));  // ÉTÉ.wav
  EXPECT_EQ(NamesOf(FindAll(folder_ + L"\u00e9t\u00e9.WAV")), std::vector<std::wstring>{L"\u00c9T\u00c9.wav"});
  std::string longest(251, 'n');
  ASSERT_TRUE(jptest::WriteText(dir_ / (longest + ".wav"), "x"));
  std::vector<std::wstring> names = NamesOf(FindAll(folder_ + L"nnn*"));
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].size(), 255u);  // whole, not cut
}

TEST_F(FileSearch, NoMatchAndMissingFolderFailDifferently) {
  WIN32_FIND_DATAW data{};
  EXPECT_EQ(FindFirstFileW((folder_ + L"*.png").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(FindFirstFileW((folder_ + L"Nowhere\\*").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(FindFirstFileW((folder_ + L"b.wav\\*").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(FindFirstFileW(folder_.c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstFileW(nullptr, &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstFileW((folder_ + L"*").c_str(), nullptr), INVALID_HANDLE_VALUE);
}

TEST_F(FileSearch, BadClosedAndResetHandlesFailWithoutHarm) {
  WIN32_FIND_DATAW data{};
  HANDLE search = FindFirstFileW((folder_ + L"*").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(FindClose(search));
  const HANDLE bad[] = {search, nullptr, INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x1234500)};
  for (HANDLE h : bad) {
    SetLastError(0);
    EXPECT_FALSE(FindNextFileW(h, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(FindClose(h));
  }
  // A device reset ends every search still open.
  search = FindFirstFileW((folder_ + L"*").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  wce::internal::KernelReset();
  EXPECT_FALSE(FindNextFileW(search, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FileSearch, RelativePatternSearchesTheCurrentFolder) {
  std::filesystem::path before = std::filesystem::current_path();
  ASSERT_EQ(chdir(dir_.Path().c_str()), 0);
  std::vector<std::wstring> names = NamesOf(FindAll(L"*.txt"));
  std::filesystem::current_path(before);
  EXPECT_EQ(names, std::vector<std::wstring>{L"readme.txt"});
}

TEST(WideFopen, OpensDevicePathsInTheGivenMode) {
  jptest::TempDir dir;
  std::wstring path = wce::PosixPathToDevice(dir / "Gr\xC3\xBC\xC3\x9F" "e.bin");
  FILE* out = _wfopen(path.c_str(), L"wb");
  ASSERT_NE(out, nullptr);
  ASSERT_EQ(std::fwrite("RIFF", 1, 4, out), 4u);
  std::fclose(out);
  EXPECT_EQ(jptest::ReadFile(dir / "Gr\xC3\xBC\xC3\x9F" "e.bin"), (std::vector<uint8_t>{'R', 'I', 'F', 'F'}));
  FILE* in = _wfopen(path.c_str(), L"rt");
  ASSERT_NE(in, nullptr);
  std::fclose(in);
}

TEST(WideFopen, RefusesNullsBadModesAndMissingFiles) {
  jptest::TempDir dir;
  std::wstring path = wce::PosixPathToDevice(dir / "x.bin");
  EXPECT_EQ(_wfopen(nullptr, L"rb"), nullptr);
  EXPECT_EQ(_wfopen(path.c_str(), nullptr), nullptr);
  EXPECT_EQ(_wfopen(path.c_str(), L""), nullptr);
  EXPECT_EQ(_wfopen(path.c_str(), L"q"), nullptr);
  EXPECT_EQ(_wfopen(path.c_str(), L"w,ccs=UTF-8"), nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir / "x.bin"));  // nothing created by a refused mode
  EXPECT_EQ(_wfopen(path.c_str(), L"rb"), nullptr);
}

}  // namespace
