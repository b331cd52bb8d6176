// Device paths and texts crossing to the host's UTF-8 file system, and the
// device's case-insensitive name patterns.
#include <gtest/gtest.h>

#include "device/device.h"
#include "kernel/paths.h"

namespace {

const std::string kFffd = "\xEF\xBF\xBD";

TEST(DevicePaths, BackslashesBecomeSlashesBothWays) {
  EXPECT_EQ(wce::DevicePathToPosix(L"\\home\\u\\jp\\Sounds\\"), "/home/u/jp/Sounds/");
  EXPECT_EQ(wce::PosixPathToDevice("/home/u/jp/Sounds/"), L"\\home\\u\\jp\\Sounds\\");
  // No leading backslash: relative to the current folder, and still relative.
  EXPECT_EQ(wce::DevicePathToPosix(L"Skin\\Bg.png"), "Skin/Bg.png");
  EXPECT_EQ(wce::DevicePathToPosix(nullptr), "");
}

TEST(DevicePaths, NonAsciiNamesRoundTripAsUtf8) {
  const wchar_t* device = L"\\tmp\\Gr\u00fc\u00dfe\\\u65e5\u672c\\\U0001F3B5.wav";
  std::string posix = wce::DevicePathToPosix(device);
  EXPECT_EQ(posix, "/tmp/Gr\xC3\xBC\xC3\x9F" "e/\xE6\x97\xA5\xE6\x9C\xAC/\xF0\x9F\x8E\xB5.wav");
  EXPECT_EQ(wce::PosixPathToDevice(posix), device);
}

TEST(DevicePaths, WideTextThatIsNotUnicodeBecomesReplacementCharacters) {
  const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), L'b', 0};
  EXPECT_EQ(wce::WideToUtf8(lone), "a" + kFffd + "b");
  const wchar_t beyond[] = {static_cast<wchar_t>(0x110000), static_cast<wchar_t>(-1), 0};
  EXPECT_EQ(wce::WideToUtf8(beyond), kFffd + kFffd);
  const wchar_t lowFirst[] = {static_cast<wchar_t>(0xDC00), static_cast<wchar_t>(0xD800), 0};
  EXPECT_EQ(wce::WideToUtf8(lowFirst), kFffd + kFffd);
  // A UTF-16 pair is joined into the one character it stands for.
  const wchar_t pair[] = {static_cast<wchar_t>(0xD83C), static_cast<wchar_t>(0xDFB5), 0};
  EXPECT_EQ(wce::WideToUtf8(pair), "\xF0\x9F\x8E\xB5");
}

TEST(DevicePaths, MalformedUtf8BecomesOneReplacementPerBadPiece) {
  const std::wstring r(1, static_cast<wchar_t>(0xFFFD));
  EXPECT_EQ(wce::Utf8ToWide("\xC0\xAF"), r + r);                   // overlong lead
  EXPECT_EQ(wce::Utf8ToWide("\xE0\x80\x80"), r + r + r);           // overlong 3-byte
  EXPECT_EQ(wce::Utf8ToWide("\xED\xA0\x80"), r + r + r);           // surrogate
  EXPECT_EQ(wce::Utf8ToWide("\xF4\x90\x80\x80"), r + r + r + r);   // above U+10FFFF
  EXPECT_EQ(wce::Utf8ToWide("a\xE6\x97" "b"), L"a" + r + L"b");    // cut short
  EXPECT_EQ(wce::Utf8ToWide("\xE6\x97"), r);                       // cut at the end
  EXPECT_EQ(wce::Utf8ToWide("\xF0\x9F\x8E\xB5"), L"\U0001F3B5");
}

TEST(NamePatterns, StarQuestionMarkAndCase) {
  EXPECT_TRUE(wce::MatchesPattern(L"*.wav", L"A.WAV"));
  EXPECT_TRUE(wce::MatchesPattern(L"*.WAV", L"kick.wav"));
  EXPECT_TRUE(wce::MatchesPattern(L"*", L"anything at all.txt"));
  EXPECT_TRUE(wce::MatchesPattern(L"*.*", L"no extension"));
  EXPECT_TRUE(wce::MatchesPattern(L"a?c", L"ABC"));
  EXPECT_FALSE(wce::MatchesPattern(L"a?c", L"ac"));
  EXPECT_FALSE(wce::MatchesPattern(L"a?c", L"abbc"));
  EXPECT_TRUE(wce::MatchesPattern(L"*ab", L"aab"));  // the star must give back
  EXPECT_TRUE(wce::MatchesPattern(L"*a*b*", L"xxaYYbzz"));
  EXPECT_TRUE(wce::MatchesPattern(L"Pack_Logo.png", L"pack_logo.PNG"));
  EXPECT_TRUE(wce::MatchesPattern(L"\u00c9t\u00e9*", L"\u00e9T\u00c9 2.wav"));
}

TEST(NamePatterns, ExtensionsMatchWhole) {
  EXPECT_FALSE(wce::MatchesPattern(L"*.png", L"x.pngx"));
  EXPECT_FALSE(wce::MatchesPattern(L"*.png", L"xpng"));
  EXPECT_FALSE(wce::MatchesPattern(L"*.wav", L"a.wav.bak"));
  EXPECT_TRUE(wce::MatchesPattern(L"*.wav", L"a.bak.wav"));
  EXPECT_TRUE(wce::MatchesPattern(L"*.wav", L".wav"));
  EXPECT_FALSE(wce::MatchesPattern(L"*.wav", L"wav"));
}

}  // namespace
