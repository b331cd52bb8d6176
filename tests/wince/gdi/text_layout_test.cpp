// DrawTextW's layout with made-up advances: every character 10 pixels wide,
// '.' 3 and 'i' 4, so each expected position can be worked out by hand.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "gdi/text_layout.h"

namespace {

using wce::gdi::LayOutText;
using wce::gdi::TextLayout;

void FakeAdvances(std::wstring_view text, std::vector<int>& out) {
  out.clear();
  for (wchar_t c : text) out.push_back(c == L'.' ? 3 : c == L'i' ? 4 : 10);
}

TextLayout Lay(const std::wstring& text, RECT rect, UINT format, int lineHeight = 15) {
  return LayOutText(text, rect, format, lineHeight, FakeAdvances);
}

TEST(TextLayout, PlacesASingleLineByTheFormatFlags) {
  struct Case {
    const wchar_t* text;
    RECT rect;
    UINT format;
    int64_t x, y;
    int result;
  } cases[] = {
      {L"abc", {10, 20, 110, 60}, 0, 10, 20, 15},
      {L"abc", {10, 20, 110, 60}, DT_SINGLELINE, 10, 20, 15},
      {L"abc", {10, 20, 110, 60}, DT_SINGLELINE | DT_VCENTER, 10, 33, 28},  // 20 + 20 - 7
      {L"abc", {10, 20, 110, 60}, DT_SINGLELINE | DT_BOTTOM, 10, 45, 40},
      {L"abc", {10, 20, 110, 60}, DT_SINGLELINE | DT_CENTER, 45, 20, 15},
      {L"abc", {10, 20, 110, 60}, DT_SINGLELINE | DT_RIGHT, 80, 20, 15},
      {L"abc", {10, 20, 110, 60}, DT_VCENTER | DT_BOTTOM, 10, 20, 15},  // vertical flags need a single line
      {L"abc", {0, 0, 101, 41}, DT_SINGLELINE | DT_VCENTER | DT_CENTER, 35, 13, 28},
      {L"ab.", {-50, -41, 0, 0}, DT_SINGLELINE | DT_VCENTER | DT_CENTER, -36, -28, 28},  // truncated, not floored
      {L"abc", {0, 0, 20, 10}, DT_SINGLELINE | DT_VCENTER | DT_CENTER, -5, -2, 13},    // larger than the box
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "format 0x" << std::hex << c.format << " rect " << std::dec << c.rect.left
                                    << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom);
    TextLayout layout = Lay(c.text, c.rect, c.format);
    ASSERT_EQ(layout.lines.size(), 1u);
    EXPECT_EQ(layout.lines[0].x, c.x);
    EXPECT_EQ(layout.lines[0].y, c.y);
    EXPECT_EQ(layout.height, c.result);
  }
}

TEST(TextLayout, EndEllipsisKeepsTheLongestPrefixThatFitsWithTheDots) {
  struct Case {
    const wchar_t* text;
    LONG width;
    UINT extra;
    const wchar_t* shown;
    int64_t shownWidth;
  } cases[] = {
      {L"abcdefghjk", 100, DT_END_ELLIPSIS, L"abcdefghjk", 100},  // fits exactly
      {L"abcdefghjkl", 100, DT_END_ELLIPSIS, L"abcdefghj...", 99},
      {L"abcdefghijkl", 100, DT_END_ELLIPSIS, L"abcdefghi...", 93},  // the narrow 'i' fits, the 'j' not
      {L"abc", 20, DT_END_ELLIPSIS, L"a...", 19},
      {L"abc", 8, DT_END_ELLIPSIS, L"...", 9},  // not even the dots fit
      {L"abcdefghjkl", 100, 0, L"abcdefghjkl", 110},
      {L"a&bcdefghjkl", 100, DT_END_ELLIPSIS, L"abcdefghj...", 99},  // measured after the prefix goes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "text " << testing::PrintToString(std::wstring(c.text)));
    TextLayout layout = Lay(c.text, RECT{0, 0, c.width, 40}, DT_SINGLELINE | DT_CENTER | c.extra);
    ASSERT_EQ(layout.lines.size(), 1u);
    EXPECT_EQ(layout.lines[0].text, c.shown);
    EXPECT_EQ(layout.lines[0].width, c.shownWidth);
    EXPECT_EQ(layout.lines[0].x, (c.width - c.shownWidth) / 2);  // centred on what is shown
  }
}

TEST(TextLayout, PrefixesAreRemovedUnlessNoPrefix) {
  struct Case {
    const wchar_t* text;
    UINT format;
    const wchar_t* shown;
  } cases[] = {
      {L"&File", DT_SINGLELINE, L"File"},       {L"a&&b", DT_SINGLELINE, L"a&b"},
      {L"end&", DT_SINGLELINE, L"end&"},        {L"&&&x", DT_SINGLELINE, L"&x"},
      {L"a&&b", DT_SINGLELINE | DT_NOPREFIX, L"a&&b"},
  };
  for (const Case& c : cases) {
    TextLayout layout = Lay(c.text, RECT{0, 0, 500, 20}, c.format);
    ASSERT_EQ(layout.lines.size(), 1u);
    EXPECT_EQ(layout.lines[0].text, c.shown) << testing::PrintToString(std::wstring(c.text));
  }
}

TEST(TextLayout, LinesBreakWithoutSingleLineAndCalcRectMeasures) {
  TextLayout layout = Lay(L"ab\ncdi\r\nef\n", RECT{10, 20, 110, 30}, DT_CALCRECT);
  ASSERT_EQ(layout.lines.size(), 3u);
  EXPECT_EQ(layout.lines[1].text, L"cdi");
  EXPECT_EQ(layout.lines[2].y, 50);
  EXPECT_EQ(layout.height, 45);
  EXPECT_EQ(layout.calcRect.right, 10 + 24);
  EXPECT_EQ(layout.calcRect.bottom, 20 + 45);

  TextLayout single = Lay(L"ab\ncd", RECT{10, 20, 110, 60}, DT_SINGLELINE | DT_VCENTER);
  ASSERT_EQ(single.lines.size(), 1u);
  EXPECT_EQ(single.lines[0].width, 50);  // the break is one more character
  EXPECT_EQ(single.calcRect.bottom, 20 + 28);

  // Empty text: nothing to draw, yet a line's height, as on the platform.
  TextLayout empty = Lay(L"", RECT{10, 20, 110, 60}, DT_SINGLELINE);
  EXPECT_TRUE(empty.lines.empty());
  EXPECT_EQ(empty.height, 15);
  EXPECT_EQ(empty.calcRect.right, 10);
  EXPECT_EQ(Lay(L"", RECT{10, 20, 110, 60}, 0).calcRect.bottom, 20);
}

}  // namespace
