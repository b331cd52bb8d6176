// The regext.h functions against a hive file in a temporary folder.
#include <regext.h>
#include <windows.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "device/device.h"
#include "test_files.h"

namespace {

constexpr HRESULT kTooSmall = HRESULT(0x8007007A);
constexpr HRESULT kNotFound = HRESULT(0x80070002);
constexpr HRESULT kMismatch = HRESULT(0x8007065D);
const wchar_t* const kSettings = L"Software\\Marrowfen\\Jostlepad\\Settings";
const wchar_t* const kPower = L"\\System\\CurrentControlSet\\Control\\Power";

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

std::string Slurp(const std::string& path) {
  std::vector<uint8_t> bytes = jptest::ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::wstring GetText(HKEY root, const wchar_t* key, const wchar_t* name, HRESULT expected = S_OK) {
  wchar_t buffer[600];
  EXPECT_EQ(RegistryGetString(root, key, name, buffer, 600), expected);
  return buffer;
}

DWORD GetNumber(HKEY root, const wchar_t* key, const wchar_t* name, HRESULT expected = S_OK) {
  DWORD value = 0xDEADBEEF;
  EXPECT_EQ(RegistryGetDWORD(root, key, name, &value), expected);
  return value;
}

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(wce::RegistryOpenHive(hive_)); }
  void TearDown() override { wce::RegistryCloseHive(); }
  void Reopen() {
    wce::RegistryCloseHive();
    ASSERT_TRUE(wce::RegistryOpenHive(hive_));
  }

  // Temporary files of saves beside the hive.
  size_t Temporaries() const {
    size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(temp_.Path()))
      if (entry.path().filename().string().find(".tmp") != std::string::npos) ++n;
    return n;
  }
  std::string OurTemporary() const { return hive_ + ".tmp-" + std::to_string(getpid()); }

  jptest::TempDir temp_;
  std::string hive_ = temp_ / "registry.reg";
};

TEST_F(Registry, NewDeviceHasItsDefaultsButNoFileUntilTheFirstSet) {
  EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kPower, L"BattPowerOff"), 180u);
  EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kPower, L"ExtPowerOff"), 0u);
  EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kPower + 1, L"ScreenPowerOff"), 60u);
  EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Shell\\Rai\\:DEFBROWSER", L"1"),
            L"\"\\usr\\bin\\xdg-open\" %1");
  EXPECT_FALSE(Exists(hive_));

  ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX", 5), S_OK);
  EXPECT_TRUE(Exists(hive_));
  EXPECT_EQ(Temporaries(), 0u);
  Reopen();
  EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kPower, L"BattPowerOff"), 180u);
  EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX"), 5u);
}

TEST_F(Registry, EveryKindOfValueComesBackExactlyFromTheFile) {
  const std::vector<std::wstring> texts = {
      L"", L"Bell.wav", L"say \"hi\"", L"C:\\dir\\", L"\\\\\"\"", L"Gr\u00FC\u00DFe \u65E5\u672C \U0001F600",
      L"one\r\ntwo", L"\n", L"tab\there", L"@=[x]", std::wstring(259, L'w')};
  const std::vector<DWORD> numbers = {0, 11, 0xFFFFFFFF, 5};
  for (size_t i = 0; i < texts.size(); ++i)
    ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, kSettings, (L"S" + std::to_wstring(i)).c_str(),
                                texts[i].c_str()),
              S_OK);
  for (size_t i = 0; i < numbers.size(); ++i)
    ASSERT_EQ(RegistrySetDWORD(HKEY_CURRENT_USER, kSettings, (L"D" + std::to_wstring(i)).c_str(), numbers[i]),
              S_OK);
  Reopen();
  for (size_t i = 0; i < texts.size(); ++i)
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kSettings, (L"S" + std::to_wstring(i)).c_str()), texts[i]) << i;
  for (size_t i = 0; i < numbers.size(); ++i)
    EXPECT_EQ(GetNumber(HKEY_CURRENT_USER, kSettings, (L"D" + std::to_wstring(i)).c_str()), numbers[i]) << i;

  std::string file = Slurp(hive_);
  EXPECT_NE(file.find("\"D1\"=dword:0000000b\n"), std::string::npos);
  EXPECT_NE(file.find("\"S2\"=\"say \\\"hi\\\"\"\n"), std::string::npos);
  EXPECT_NE(file.find("\"S6\"=hex(1):6f,00,6e,00,65,00,0d,00,0a,00,74,00,77,00,6f,00,00,00\n"), std::string::npos);
}

TEST_F(Registry, NamesMatchInAnyCaseAndKeepTheCaseFirstWritten) {
  ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, kSettings, L"SoundSlot1Name", L"Bell.wav"), S_OK);
  EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\marrowfen\\JOSTLEPAD\\settings", L"soundslot1name"), L"Bell.wav");
  ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, L"\\software\\MARROWFEN\\jostlepad\\Settings",
                              L"SOUNDSLOT1NAME", L"Gong.wav"),
            S_OK);
  EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kSettings, L"SoundSlot1Name"), L"Gong.wav");
  std::string file = Slurp(hive_);
  EXPECT_NE(file.find("[HKEY_LOCAL_MACHINE\\Software\\Marrowfen\\Jostlepad\\Settings]\n"
                      "\"SoundSlot1Name\"=\"Gong.wav\"\n"),
            std::string::npos)
      << file;
}

TEST_F(Registry, GetStringNeverWritesPastTheBuffer) {
  ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, kSettings, L"Name", L"Bell.wav"), S_OK);
  for (UINT cch : {1u, 5u, 8u, 9u}) {
    std::vector<wchar_t> buffer(16, L'#');
    HRESULT hr = RegistryGetString(HKEY_LOCAL_MACHINE, kSettings, L"Name", buffer.data(), cch);
    if (cch == 9) {
      EXPECT_EQ(hr, S_OK);
      EXPECT_EQ(std::wstring(buffer.data()), L"Bell.wav");
    } else {
      EXPECT_EQ(hr, kTooSmall) << cch;
      EXPECT_EQ(buffer[0], L'\0') << cch;
    }
    for (size_t i = cch; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], L'#') << cch << " at " << i;
  }
}

TEST_F(Registry, MissingKeysMissingValuesAndWrongTypesAllFail) {
  ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, kSettings, L"Text", L"x"), S_OK);
  ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, L"Number", 3), S_OK);
  EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, L"Software\\Nobody", L"Text", kNotFound), L"");
  EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kSettings, L"Other", kNotFound), L"");
  EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kSettings, L"Number", kMismatch), L"");
  GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"Text", kMismatch);
  GetNumber(HKEY_LOCAL_MACHINE, L"Software\\Nobody", L"Number", kNotFound);
  GetNumber(HKEY_CURRENT_USER, kSettings, L"Number", kNotFound);  // roots are separate

  // A set replaces the value whatever its old type.
  ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, L"Text", 9), S_OK);
  EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"Text"), 9u);
  GetText(HKEY_LOCAL_MACHINE, kSettings, L"Text", kMismatch);
}

TEST_F(Registry, NullOrEmptySubKeyIsTheRootItself) {
  ASSERT_EQ(RegistrySetDWORD(HKEY_CURRENT_USER, nullptr, L"Top", 7), S_OK);
  Reopen();
  EXPECT_EQ(GetNumber(HKEY_CURRENT_USER, L"", L"Top"), 7u);
  EXPECT_EQ(GetNumber(HKEY_CURRENT_USER, L"\\", L"top"), 7u);
}

TEST_F(Registry, BadArgumentsAreRefusedAndChangeNothing) {
  wchar_t buffer[8];
  DWORD number = 0;
  HKEY bogus = reinterpret_cast<HKEY>(uintptr_t{0x1234});
  EXPECT_EQ(RegistryGetString(HKEY_LOCAL_MACHINE, kPower, L"BattPowerOff", nullptr, 8), E_INVALIDARG);
  EXPECT_EQ(RegistryGetString(HKEY_LOCAL_MACHINE, kPower, L"BattPowerOff", buffer, 0), E_INVALIDARG);
  EXPECT_EQ(RegistryGetString(HKEY_LOCAL_MACHINE, kPower, nullptr, buffer, 8), E_INVALIDARG);
  EXPECT_EQ(RegistryGetString(bogus, kPower, L"BattPowerOff", buffer, 8), E_INVALIDARG);
  EXPECT_EQ(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kPower, L"BattPowerOff", nullptr), E_INVALIDARG);
  EXPECT_EQ(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kPower, nullptr, &number), E_INVALIDARG);
  EXPECT_EQ(RegistryGetDWORD(bogus, kPower, L"BattPowerOff", &number), E_INVALIDARG);
  EXPECT_EQ(RegistryGetDWORD(HKEY_LOCAL_MACHINE, L"System\\\\CurrentControlSet", L"x", &number), E_INVALIDARG);

  EXPECT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, kSettings, L"Name", nullptr), E_INVALIDARG);
  EXPECT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, kSettings, nullptr, L"x"), E_INVALIDARG);
  EXPECT_EQ(RegistrySetString(bogus, kSettings, L"Name", L"x"), E_INVALIDARG);
  EXPECT_EQ(RegistrySetDWORD(bogus, kSettings, L"Name", 1), E_INVALIDARG);
  EXPECT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, L"A\\\\B", L"Name", 1), E_INVALIDARG);
  const wchar_t surrogate[] = {0xD800, 0};
  EXPECT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, kSettings, L"Name", surrogate), E_INVALIDARG);
  EXPECT_FALSE(Exists(hive_));
}

TEST_F(Registry, AnInMemoryHiveIsNeverSaved) {
  wce::RegistryCloseHive();
  ASSERT_TRUE(wce::RegistryOpenHive(""));  // in memory only
  ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, L"X", 1), S_OK);
  EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"X"), 1u);
  Reopen();
  GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"X", kNotFound);
  EXPECT_FALSE(Exists(hive_));
}

TEST_F(Registry, LoaderAndUiThreadsMayUseItTogether) {
  wce::RegistryCloseHive();
  ASSERT_TRUE(wce::RegistryOpenHive(""));  // no disk traffic: this is about the lock
  auto worker = [](const wchar_t* name) {
    for (DWORD i = 1; i <= 200; ++i) {
      EXPECT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, name, i), S_OK);
      DWORD back = 0;
      EXPECT_EQ(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kSettings, name, &back), S_OK);
      EXPECT_EQ(back, i);
    }
  };
  std::thread a(worker, L"A");
  std::thread b(worker, L"B");
  a.join();
  b.join();
  EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"A"), 200u);
  EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"B"), 200u);
}

// ------------------------------------------------------- damaged hives -----

struct DamagedFile {
  const char* what;
  std::string bytes;
  const char* line;
};

TEST_F(Registry, FilesThatAreNoHiveAreReportedKeptAsideAndReplacedByDefaults) {
  const std::vector<DamagedFile> cases = {
      {"binary junk", std::string("\x7F" "ELF\x02\x01\x01\x00\x00\xFF\xFE", 11), "line 1 "},
      {"no header", "[HKEY_LOCAL_MACHINE\\Software\\J]\n\"a\"=\"x\"\n", "line 1 "},
      {"binary after the header", std::string("Windows Registry Editor Version 5.00\n\n\0\0\0", 41), "line 3 "},
  };
  for (const DamagedFile& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(jptest::WriteText(hive_, c.bytes));
    wce::RegistryCloseHive();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(wce::RegistryOpenHive(hive_));
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find(hive_ + " is damaged at " + c.line), std::string::npos) << message;
    EXPECT_NE(message.find(hive_ + ".damaged-1"), std::string::npos) << message;
    EXPECT_EQ(Count(message, "\n"), 1u) << message;

    EXPECT_FALSE(Exists(hive_));
    EXPECT_EQ(Slurp(hive_ + ".damaged-1"), c.bytes);
    EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kPower, L"BattPowerOff"), 180u);
    ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX", 4), S_OK);
    Reopen();
    EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX"), 4u);
    std::filesystem::remove(hive_ + ".damaged-1");
  }
}

struct PartlyDamaged {
  const char* what;
  std::string body;  // under the settings key, between SensitivityX and SensitivityY
  std::vector<const char*> reports;  // "line N " of each message
};

TEST_F(Registry, ALineThatCannotBeReadIsReportedAndTheRestLoads) {
  const std::string head = "Windows Registry Editor Version 5.00\n\n"
                           "[HKEY_LOCAL_MACHINE\\Software\\Marrowfen\\Jostlepad\\Settings]\n"
                           "\"SensitivityX\"=dword:00000003\n";
  const std::string tail = "\"SensitivityY\"=dword:00000007\n";
  const std::vector<PartlyDamaged> cases = {
      {"truncated dword", "\"a\"=dword:0000\n", {"line 5 "}},
      {"bad escape", "\"a\"=\"C:\\dir\"\n", {"line 5 "}},
      {"unterminated text", "\"a\"=\"abc\n", {"line 5 "}},
      {"invalid UTF-8", "\n\n\"a\"=\"\xE9t\xE9\"\n", {"line 7 "}},
      {"broken continuation", "\"a\"=hex:01,\\\n\"b\"=\"\n", {"line 5 ", "line 6 "}},
  };
  for (const PartlyDamaged& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string bytes = head + c.body + tail;
    ASSERT_TRUE(jptest::WriteText(hive_, bytes));
    wce::RegistryCloseHive();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(wce::RegistryOpenHive(hive_));
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Count(message, "\n"), c.reports.size()) << message;
    for (const char* line : c.reports)
      EXPECT_NE(message.find(hive_ + " " + line + "skipped ("), std::string::npos) << message;
    EXPECT_NE(message.find("kept as " + hive_ + ".damaged-1"), std::string::npos) << message;

    EXPECT_EQ(Slurp(hive_ + ".damaged-1"), bytes);
    EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX"), 3u);
    EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityY"), 7u);
    GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"a", kNotFound);
    // The file was saved without the lost lines: the next start is quiet.
    EXPECT_EQ(Slurp(hive_), head + tail + "\n");
    testing::internal::CaptureStderr();
    Reopen();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(Exists(hive_ + ".damaged-2"));
    std::filesystem::remove(hive_ + ".damaged-1");
  }
}

TEST_F(Registry, ValuesOfOtherTypesReadAsTheTypeTheyDeclareAndSurviveSaves) {
  const std::string key = "[HKEY_LOCAL_MACHINE\\Software\\Marrowfen\\Jostlepad\\Settings]\n";
  const std::string values =
      "\"Bin\"=hex:01,02,03\n"
      "\"BrokenSz\"=hex(1):41,00,00,d8,42,00,00,00,43,00\n"
      "\"Dword4\"=hex(4):0a,00,00,00\n"
      "\"Dword5\"=hex(4):0a,00,00,00,00\n"
      "\"Expand\"=hex(2):25,00,50,00,25,00,00,00\n"
      "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n";
  ASSERT_TRUE(jptest::WriteText(hive_, "Windows Registry Editor Version 5.00\n\n" + key + values));
  Reopen();
  // Only REG_SZ is text and only a four-byte REG_DWORD a number.
  EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kSettings, L"BrokenSz"), std::wstring(L"A\uFFFDB"));
  EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"Dword4"), 10u);
  for (const wchar_t* name : {L"Bin", L"Expand", L"Multi", L"Dword5"}) {
    GetText(HKEY_LOCAL_MACHINE, kSettings, name, kMismatch);
    GetNumber(HKEY_LOCAL_MACHINE, kSettings, name, kMismatch);
  }
  GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"BrokenSz", kMismatch);

  // A save for another value writes them back as they came.
  ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX", 5), S_OK);
  EXPECT_NE(Slurp(hive_).find(key + values + "\"SensitivityX\"=dword:00000005\n"), std::string::npos)
      << Slurp(hive_);
  // A set replaces one of them like any other value.
  ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, kSettings, L"Multi", L"x"), S_OK);
  EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kSettings, L"Multi"), L"x");
}

TEST_F(Registry, OpeningRemovesTemporariesOfKilledSavesOnly) {
  ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX", 3), S_OK);
  const std::string gone = hive_ + ".tmp-2147483646";  // above any pid_max: no such process
  const std::string alive = hive_ + ".tmp-" + std::to_string(getppid());
  const std::string other = temp_ / "other.reg.tmp-2147483646";
  for (const std::string& path : {gone, alive, other}) ASSERT_TRUE(jptest::WriteText(path, "half a"));
  Reopen();
  EXPECT_FALSE(Exists(gone));
  EXPECT_TRUE(Exists(alive));
  EXPECT_TRUE(Exists(other));
  EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX"), 3u);
}

TEST_F(Registry, AnEarlierDamagedCopyIsNeverOverwritten) {
  ASSERT_TRUE(jptest::WriteText(hive_ + ".damaged-1", "first"));
  ASSERT_TRUE(jptest::WriteText(hive_ + ".damaged-2", "second"));
  ASSERT_TRUE(jptest::WriteText(hive_, "third"));
  wce::RegistryCloseHive();
  testing::internal::CaptureStderr();
  EXPECT_TRUE(wce::RegistryOpenHive(hive_));
  EXPECT_NE(testing::internal::GetCapturedStderr().find(hive_ + ".damaged-3"), std::string::npos);
  EXPECT_EQ(Slurp(hive_ + ".damaged-1"), "first");
  EXPECT_EQ(Slurp(hive_ + ".damaged-2"), "second");
  EXPECT_EQ(Slurp(hive_ + ".damaged-3"), "third");
}

TEST_F(Registry, AHiveThatCannotBeReadIsKeptAsideToo) {
  ASSERT_TRUE(jptest::MakeDirs(hive_));  // reading a folder fails
  wce::RegistryCloseHive();
  testing::internal::CaptureStderr();
  EXPECT_TRUE(wce::RegistryOpenHive(hive_));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot be read"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(hive_ + ".damaged-1"));
  EXPECT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, L"X", 1), S_OK);
  EXPECT_TRUE(std::filesystem::is_regular_file(hive_));
}

// ---------------------------------------------------------- failed saves ---

TEST_F(Registry, AFailedSaveUndoesTheChangeAndKeepsTheOldFile) {
  ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX", 3), S_OK);
  const std::string before = Slurp(hive_);
  ASSERT_TRUE(jptest::MakeDirs(OurTemporary()));  // the save cannot create its temporary file

  testing::internal::CaptureStderr();
  EXPECT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX", 8), E_FAIL);
  EXPECT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, L"Software\\New", L"Name", L"x"), E_FAIL);
  std::string message = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Count(message, "could not be saved"), 1u) << message;

  EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX"), 3u);
  GetText(HKEY_LOCAL_MACHINE, L"Software\\New", L"Name", kNotFound);
  EXPECT_EQ(Slurp(hive_), before);

  std::filesystem::remove(OurTemporary());
  EXPECT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX", 8), S_OK);
  Reopen();
  EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX"), 8u);
}

TEST_F(Registry, AReadOnlyFolderMakesSetFailWithoutLosingTheFile) {
  ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX", 3), S_OK);
  const std::string before = Slurp(hive_);
  ASSERT_EQ(chmod(temp_.Path().c_str(), 0555), 0);
  bool writable = jptest::WriteText(temp_ / "probe", "x");  // root ignores the mode
  if (!writable) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX", 8), E_FAIL);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(GetNumber(HKEY_LOCAL_MACHINE, kSettings, L"SensitivityX"), 3u);
    EXPECT_EQ(Slurp(hive_), before);
  }
  chmod(temp_.Path().c_str(), 0755);
  if (writable) GTEST_SKIP() << "running with permission to write a read-only folder";
}

}  // namespace
