// Bounded wide-text copies, case-insensitive compares and number parsing.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "windows.h"

namespace {

constexpr size_t kSize = MAX_PATH;
constexpr wchar_t kCanary = L'#';

// A MAX_PATH buffer with one guard character behind it.
struct Buffer {
  Buffer() { std::fill(chars, chars + kSize + 1, kCanary); }
  wchar_t chars[kSize + 1];
  bool GuardIntact() const { return chars[kSize] == kCanary; }
};

TEST(WideCopy, FillsTheBufferExactlyAndRefusesOneMore) {
  Buffer b;
  std::wstring fits(kSize - 1, L'x');
  EXPECT_EQ(wcscpy_s(b.chars, kSize, fits.c_str()), 0);
  EXPECT_EQ(std::wstring(b.chars), fits);
  EXPECT_TRUE(b.GuardIntact());

  std::wstring tooLong(kSize, L'y');
  EXPECT_EQ(wcscpy_s(b.chars, kSize, tooLong.c_str()), ERANGE);
  EXPECT_EQ(b.chars[0], L'\0');
  EXPECT_TRUE(b.GuardIntact());
  for (size_t i = 1; i < kSize; ++i) ASSERT_NE(b.chars[i], L'y') << i;  // nothing of it landed
}

TEST(WideCopy, BadArguments) {
  Buffer b;
  EXPECT_EQ(wcscpy_s(nullptr, kSize, L"a"), EINVAL);
  EXPECT_EQ(wcscpy_s(b.chars, 0, L"a"), EINVAL);
  EXPECT_EQ(b.chars[0], kCanary);  // size 0: not even the terminator
  EXPECT_EQ(wcscpy_s(b.chars, kSize, nullptr), EINVAL);
  EXPECT_EQ(b.chars[0], L'\0');
}

TEST(WideAppend, AppendsUpToTheBoundAndEmptiesBeyondIt) {
  Buffer b;
  ASSERT_EQ(wcscpy_s(b.chars, kSize, L"abc"), 0);
  std::wstring rest(kSize - 4, L'd');
  EXPECT_EQ(wcscat_s(b.chars, kSize, rest.c_str()), 0);
  EXPECT_EQ(std::wstring(b.chars), L"abc" + rest);
  EXPECT_TRUE(b.GuardIntact());

  ASSERT_EQ(wcscpy_s(b.chars, kSize, L"abc"), 0);
  std::wstring oneMore(kSize - 3, L'e');
  EXPECT_EQ(wcscat_s(b.chars, kSize, oneMore.c_str()), ERANGE);
  EXPECT_EQ(b.chars[0], L'\0');
  EXPECT_TRUE(b.GuardIntact());
}

TEST(WideAppend, UnterminatedOrNullArgumentsFail) {
  Buffer b;  // all canaries: no terminator within the size
  EXPECT_EQ(wcscat_s(b.chars, kSize, L"a"), EINVAL);
  EXPECT_EQ(b.chars[0], L'\0');
  EXPECT_TRUE(b.GuardIntact());
  EXPECT_EQ(wcscat_s(b.chars, kSize, nullptr), EINVAL);
  EXPECT_EQ(wcscat_s(nullptr, kSize, L"a"), EINVAL);
  b.chars[0] = kCanary;
  EXPECT_EQ(wcscat_s(b.chars, 0, L"a"), EINVAL);
  EXPECT_EQ(b.chars[0], kCanary);
}

TEST(WideCopyCounted, CopiesAPrefixTruncatesOnRequestOrFails) {
  Buffer b;
  EXPECT_EQ(wcsncpy_s(b.chars, kSize, L"abcdef", 3), 0);
  EXPECT_STREQ(b.chars, L"abc");
  EXPECT_EQ(wcsncpy_s(b.chars, 4, L"abcdef", 10), ERANGE);
  EXPECT_EQ(b.chars[0], L'\0');
  EXPECT_EQ(b.chars[4], kCanary);
  EXPECT_EQ(wcsncpy_s(b.chars, 4, L"abcdef", 3), 0);  // exactly fits
  EXPECT_STREQ(b.chars, L"abc");
  EXPECT_EQ(wcsncpy_s(b.chars, 4, L"abcdef", _TRUNCATE), STRUNCATE);
  EXPECT_STREQ(b.chars, L"abc");
  EXPECT_EQ(wcsncpy_s(b.chars, kSize, nullptr, 1), EINVAL);
}

TEST(WideCompare, IgnoresCaseOfEveryScriptAndKeepsTheSign) {
  EXPECT_EQ(_wcsicmp(L"Sounds\\Kick.WAV", L"sounds\\kick.wav"), 0);
  EXPECT_EQ(_wcsicmp(L"\u00c9T\u00c9", L"\u00e9t\u00e9"), 0);
  EXPECT_EQ(_wcsicmp(L"\u0416", L"\u0436"), 0);  // Cyrillic Zhe
  EXPECT_LT(_wcsicmp(L"apple", L"BANANA"), 0);
  EXPECT_GT(_wcsicmp(L"Zebra", L"apple"), 0);
  EXPECT_LT(_wcsicmp(L"abc", L"ABCD"), 0);
  EXPECT_EQ(_wcsnicmp(L"HTCSensorSDK.dll", L"htcsensorsdk.DLX", 15), 0);
  EXPECT_NE(_wcsnicmp(L"HTCSensorSDK.dll", L"htcsensorsdk.DLX", 16), 0);
  EXPECT_EQ(_wcsnicmp(nullptr, nullptr, 0), 0);
  EXPECT_EQ(_wcsicmp(nullptr, L"a"), _NLSCMPERROR);
}

TEST(WideToInt, ReadsWhatADeviceReads) {
  EXPECT_EQ(_wtoi(L" \t-42abc"), -42);
  EXPECT_EQ(_wtoi(L"+7"), 7);
  EXPECT_EQ(_wtoi(L"12 34"), 12);
  EXPECT_EQ(_wtoi(L"abc"), 0);
  EXPECT_EQ(_wtoi(L"- 5"), 0);
  EXPECT_EQ(_wtoi(nullptr), 0);
}

TEST(WideToInt, ClampsAtThe32BitLimits) {
  EXPECT_EQ(_wtoi(L"2147483647"), INT_MAX);
  EXPECT_EQ(_wtoi(L"-2147483648"), INT_MIN);
  errno = 0;
  EXPECT_EQ(_wtoi(L"2147483648"), INT_MAX);
  EXPECT_EQ(errno, ERANGE);
  EXPECT_EQ(_wtoi(L"-2147483649"), INT_MIN);
  EXPECT_EQ(_wtoi(L"99999999999999999999999999999"), INT_MAX);
  EXPECT_EQ(_wtol(L"-99999999999999999999999999999"), static_cast<long>(INT32_MIN));
  EXPECT_EQ(_wtol(L"3000000000"), static_cast<long>(INT32_MAX));  // long is 32 bits on the device
  EXPECT_EQ(_wtol(L"-123"), -123L);
}

}  // namespace
