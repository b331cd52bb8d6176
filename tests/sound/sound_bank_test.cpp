// The bank over real folders, and its sort against the pairwise swap it stands for.
#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "device_fixture.h"
#include "png_writer.h"
#include "sound/SoundBank.h"

namespace {

using Names = std::vector<std::wstring>;

class SoundBankTest : public jptest::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_TRUE(jptest::MakeDirs(Sounds()));
    folder_ = wce::PosixPathToDevice(Sounds()) + L"\\";
  }

  std::string Sounds() const { return temp_ / "app/Sounds"; }

  // A file under Sounds/: a small PNG for names ending in .png, a stub otherwise.
  void Add(const std::string& relative, int pngWidth = 4) {
    std::string path = Sounds() + "/" + relative;
    ASSERT_TRUE(jptest::MakeDirs(path.substr(0, path.rfind('/'))));
    if (relative.ends_with(".png")) {
      ASSERT_TRUE(jptest::WritePngSolid(path, pngWidth, 2, 0x336699));
    } else {
      ASSERT_TRUE(jptest::WriteText(path, "RIFF"));
    }
  }

  std::wstring folder_;
};

Names Column(const SoundBank& bank, const WCHAR (SoundEntry::*field)[MAX_PATH]) {
  Names column;
  for (int i = 0; i < bank.Count(); ++i) column.push_back(bank.At(i)->*field);
  return column;
}

LONG WidthOf(HBITMAP bitmap) {
  BITMAP info = {};
  return GetObjectW(bitmap, sizeof(info), &info) == sizeof(info) ? info.bmWidth : -1;
}

TEST_F(SoundBankTest, ScanTakesTheWavFilesOfEachPackFolderWithItsPictures) {
  Add("Animals/cow.wav");
  Add("Animals/dog.WAV");
  Add("Animals/AnimalsB.png", 8);
  Add("Animals/AnimalsS.png", 4);
  Add("Animals/notes.txt");
  Add("Animals/Inner/deep.wav");  // nested folders are not scanned
  ASSERT_TRUE(jptest::MakeDirs(Sounds() + "/Animals/folder.wav"));
  Add("Birds/owl.wav");
  Add("Birds/birdsb.png", 8);  // wrong case: no big picture
  Add("Birds/BirdsS.png", 4);
  Add("Plain/hum.wav");
  Add("Plain/B.png", 8);  // not named after the pack
  Add("Plain/S.png", 4);
  Add("loose.wav");  // beside the packs
  ASSERT_TRUE(jptest::MakeDirs(Sounds() + "/Empty"));

  SoundBank bank;
  EXPECT_TRUE(bank.Scan(folder_.c_str()));
  Names names = Column(bank, &SoundEntry::fileName);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Names{L"cow.wav", L"dog.WAV", L"hum.wav", L"owl.wav"}));

  const SoundEntry* cow = bank.FindByFileName(L"cow.wav");
  const SoundEntry* dog = bank.FindByFileName(L"dog.WAV");
  ASSERT_TRUE(cow && dog);
  EXPECT_STREQ(cow->packName, L"Animals");
  EXPECT_EQ(std::wstring(cow->filePath), folder_ + L"Animals\\cow.wav");
  EXPECT_EQ(WidthOf(cow->bigIcon), 8);
  EXPECT_EQ(WidthOf(cow->smallIcon), 4);
  EXPECT_EQ(dog->bigIcon, cow->bigIcon);  // loaded once per pack
  EXPECT_EQ(dog->smallIcon, cow->smallIcon);
  const SoundEntry* owl = bank.FindByFileName(L"owl.wav");
  EXPECT_EQ(owl->bigIcon, nullptr);
  EXPECT_EQ(WidthOf(owl->smallIcon), 4);
  const SoundEntry* hum = bank.FindByFileName(L"hum.wav");
  EXPECT_EQ(hum->bigIcon, nullptr);
  EXPECT_EQ(hum->smallIcon, nullptr);

  EXPECT_TRUE(bank.Scan(folder_.c_str()));  // a rescan starts from nothing
  EXPECT_EQ(bank.Count(), 4);
}

TEST_F(SoundBankTest, SortedByPackTheFirstPackWinsTheLookUp) {
  Add("Zoo/Bell.wav");
  Add("Beta/one.wav");
  Add("beta/two.wav");
  Add("alpha/Bell.wav");
  SoundBank bank;
  bank.Scan(folder_.c_str());
  Names scanned = Column(bank, &SoundEntry::packName);
  bank.Sort(SoundBank::PackNameAscending);
  Names sorted = Column(bank, &SoundEntry::packName);
  ASSERT_EQ(sorted.size(), 4u);
  EXPECT_EQ(sorted[0], L"alpha");
  EXPECT_EQ(sorted[3], L"Zoo");
  // Beta and beta compare equal: the one listed first stays first.
  EXPECT_EQ(sorted[1], *std::find_if(scanned.begin(), scanned.end(), [](auto& s) { return _wcsicmp(s.c_str(), L"beta") == 0; }));

  EXPECT_STREQ(bank.FindByFileName(L"Bell.wav")->packName, L"alpha");
  EXPECT_EQ(bank.FindByFileName(L"bell.wav"), nullptr);
  EXPECT_EQ(bank.FindByFileName(nullptr), nullptr);
  EXPECT_EQ(bank.At(-1), nullptr);
  EXPECT_EQ(bank.At(4), nullptr);
}

TEST_F(SoundBankTest, EmptyOrMissingFolderGivesAnEmptyBank) {
  SoundBank bank;
  bank.Scan(folder_.c_str());
  EXPECT_EQ(bank.Count(), 0);
  EXPECT_EQ(bank.At(0), nullptr);
  EXPECT_EQ(bank.FindByFileName(L"a.wav"), nullptr);
  Add("Pack/a.wav");
  EXPECT_FALSE(bank.Scan((folder_ + L"Nothing\\").c_str()));
  EXPECT_EQ(bank.Count(), 0);
}

TEST_F(SoundBankTest, PathsTooLongForTheTextsAreSkippedNotCut) {
  // The longest pack whose "\*.wav" search still fits in 259 characters.
  size_t room = MAX_PATH - 1 - folder_.size() - 6;
  if (room < 10 || room + 5 > 250) GTEST_SKIP() << "temporary folder of an unusual length";
  std::string pack(room, 'p');
  Add(pack + "/a.wav");                  // exactly 259 characters
  Add(pack + "/ab.wav");                 // one too many
  Add(pack + "/" + pack + "B.png");      // its path cannot be written down
  Add(std::string(room + 1, 'q') + "/a.wav");

  SoundBank bank;
  bank.Scan(folder_.c_str());
  ASSERT_EQ(bank.Count(), 1);
  EXPECT_EQ(wcslen(bank.At(0)->filePath), static_cast<size_t>(MAX_PATH - 1));
  EXPECT_EQ(bank.At(0)->bigIcon, nullptr);

  // Add takes missing and empty texts as empty, and refuses what does not fit.
  EXPECT_TRUE(bank.Add(nullptr, L"", L"x", NULL, NULL));
  EXPECT_STREQ(bank.At(1)->packName, L"");
  EXPECT_FALSE(bank.Add(L"pack", std::wstring(MAX_PATH, L'n').c_str(), L"p", NULL, NULL));
  EXPECT_EQ(bank.Count(), 2);
}

// The order the sort must give: neighbours swapped pass after pass.
Names LiteralBubbleSort(std::vector<std::pair<std::wstring, std::wstring>> items, bool byPack, bool descending) {
  int n = static_cast<int>(items.size());
  for (int p = 0; p < n; ++p) {
    for (int k = 0; k <= n - 2 - p; ++k) {
      int cmp = byPack ? _wcsicmp(items[k].first.c_str(), items[k + 1].first.c_str())
                       : _wcsicmp(items[k].second.c_str(), items[k + 1].second.c_str());
      if (descending ? cmp <= 0 : cmp > 0) std::swap(items[k], items[k + 1]);
    }
  }
  Names ids;
  for (const auto& item : items) ids.push_back(item.first + L"/" + item.second);
  return ids;
}

Names Ids(const SoundBank& bank) {
  Names ids;
  for (int i = 0; i < bank.Count(); ++i) ids.push_back(std::wstring(bank.At(i)->packName) + L"/" + bank.At(i)->fileName);
  return ids;
}

TEST(SoundBankSort, MatchesThePairwiseSwapOnRandomBanks) {
  const wchar_t* keys[] = {L"a", L"A", L"b", L"B", L"ab", L"aB", L"Ab", L"abc", L"", L"z", L"Z9", L"z9"};
  const SoundBank::SortOrder orders[] = {SoundBank::PackNameAscending, SoundBank::PackNameDescending,
                                         SoundBank::FileNameAscending, SoundBank::FileNameDescending};
  std::mt19937 random(20240611);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::pair<std::wstring, std::wstring>> items;
    for (size_t i = 0, n = random() % 70; i < n; ++i) {
      // The other text carries a serial number so every entry can be told apart.
      std::wstring key = keys[random() % std::size(keys)];
      std::wstring serial = key + L"#" + std::to_wstring(i);
      items.push_back(round % 2 ? std::make_pair(key, serial) : std::make_pair(serial, key));
    }
    for (SoundBank::SortOrder order : orders) {
      SoundBank bank;
      for (const auto& item : items) ASSERT_TRUE(bank.Add(item.first.c_str(), item.second.c_str(), L"", NULL, NULL));
      bank.Sort(order);
      bool byPack = order == SoundBank::PackNameAscending || order == SoundBank::PackNameDescending;
      bool descending = order == SoundBank::PackNameDescending || order == SoundBank::FileNameDescending;
      ASSERT_EQ(Ids(bank), LiteralBubbleSort(items, byPack, descending)) << "round " << round << " order " << order;
    }
  }
  // Descending swaps equal names too, which no stable sort reproduces.
  EXPECT_EQ(LiteralBubbleSort({{L"2", L"a"}, {L"2", L"b"}, {L"1", L"c"}}, true, true), (Names{L"2/a", L"2/b", L"1/c"}));
  EXPECT_EQ(LiteralBubbleSort({{L"2", L"a"}, {L"1", L"c"}, {L"2", L"b"}}, true, true), (Names{L"2/b", L"2/a", L"1/c"}));
}

}  // namespace
