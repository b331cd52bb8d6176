// The value selector: the arrow zones and their codes (no wrapping, codes
// even at the ends, nothing when lifted off the arrow), the entries, and the
// arrow pictures while held.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/core/DrawingPrimitives.h"
#include "ui/core/ImageButton.h"
#include "ui/core/ValueSelector.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

class ValueSelectorTest : public UiTest {
 protected:
  // "1" to "10" in a 100 x 20 selector at (0, 0): arrows at x 0-19 and 80-99.
  static void Fill(ValueSelector& selector) {
    selector.SetBounds(0, 0, 100, 20);
    for (int i = 1; i <= 10; ++i) selector.AddEntry(std::to_wstring(i).c_str());
  }
  static std::wstring Text(const ValueSelector& selector) {
    WCHAR text[kCaptionLength] = L"untouched";
    selector.GetCurrentText(text);
    return text;
  }
};

TEST_F(ValueSelectorTest, ArrowsStepWithoutWrappingAndReportEvenAtTheEnds) {
  const int L = 10, R = 90, Mid = 50;
  const struct {
    const char* name;
    int start, downX, upX, downResult, upResult;
    std::vector<WORD> codes;
    std::wstring shown;
    int width = 100;
  } cases[] = {
      {"right from 5", 4, R, R, 1, 1, {1, 3, 6}, L"6"},
      {"left from 5", 4, L, L, 1, 1, {1, 3, 6}, L"4"},
      {"right at 10", 9, R, R, 1, 1, {1, 3, 6}, L"10"},
      {"left at 1", 0, L, L, 1, 1, {1, 3, 6}, L"1"},
      {"right from none", -1, R, R, 1, 1, {1, 3, 6}, L"1"},
      {"left from none", -1, L, L, 1, 1, {1, 3, 6}, L"untouched"},
      {"down left, up right", 4, L, R, 1, 0, {1}, L"5"},
      {"down on the text", 4, Mid, Mid, 0, 0, {}, L"5"},
      // Arrows at x 0-19 and 10-29: where they overlap, the left one alone.
      {"narrow, in the overlap", 4, 15, 15, 1, 1, {1, 3, 6}, L"4", 30},
  };
  for (const auto& c : cases) {
    ValueSelector selector(NULL, window_, 0x31);
    Fill(selector);
    selector.SetBounds(0, 0, c.width, 20);
    selector.Select(c.start);
    gNotifications.clear();
    EXPECT_EQ(selector.PenDown(window_, 0, c.downX, 10), c.downResult) << c.name;
    EXPECT_EQ(selector.PenMove(window_, 0, Mid, 10), 0) << c.name;  // the arrow stays held
    EXPECT_EQ(selector.PenUp(window_, 0, c.upX, 10), c.upResult) << c.name;
    std::vector<WORD> codes;
    for (const Notification& n : gNotifications) codes.push_back(n.code);
    EXPECT_EQ(codes, c.codes) << c.name;
    EXPECT_EQ(Text(selector), c.shown) << c.name;
    EXPECT_FALSE(selector.IsPressed()) << c.name;
  }
}

TEST_F(ValueSelectorTest, EntriesAndSelection) {
  ValueSelector selector(NULL, window_, 1);
  selector.SelectNext();  // nothing to select
  EXPECT_EQ(selector.GetCurrentIndex(), -1);
  EXPECT_EQ(selector.GetCurrentValue(), 0);
  Fill(selector);
  selector.AddEntry(NULL).AddEntry(L"").AddEntry(L"  42x").AddEntry(std::wstring(300, L'7').c_str());
  EXPECT_EQ(selector.GetEntryCount(), 13);
  EXPECT_EQ(selector.GetCurrentIndex(), -1);  // adding selects nothing
  const struct {
    int select, index, value;
  } steps[] = {{4, 4, 5}, {13, 4, 5}, {-1, 4, 5}, {10, 10, 0}, {11, 11, 42}};
  for (const auto& s : steps) {
    selector.Select(s.select);
    EXPECT_EQ(selector.GetCurrentIndex(), s.index) << s.select;
    EXPECT_EQ(selector.GetCurrentValue(), s.value) << s.select;
  }
  selector.Select(12);
  EXPECT_EQ(Text(selector), std::wstring(259, L'7'));
  selector.SelectNext();
  EXPECT_EQ(selector.GetCurrentIndex(), 12);
}

TEST_F(ValueSelectorTest, PaintsTheArrowPictureWhileHeldAndTheEntryBetweenTheArrows) {
  const uint32_t fills[] = {0x800000, 0x008000, 0x000080};  // idle, left held, right held
  HBITMAP pictures[3];
  for (int i = 0; i < 3; ++i) pictures[i] = NewBitmap(jptest::Image(2, 2, fills[i]));
  for (int i = 0; i < 3; ++i) {
    ValueSelector selector(NULL, window_, 1);
    Fill(selector);
    selector.SetImage(pictures[0], ChannelUpImage).SetImage(pictures[1], ChannelLeftDownImage);
    selector.SetImage(pictures[2], ChannelRightDownImage).SetPlacement(2).Select(6);
    selector.SetTextMargins(1, 1, 1, 1).SetTextColors(RGB(255, 255, 0), RGB(0, 0, 0));
    if (i > 0) selector.PenDown(window_, 0, i == 1 ? 10 : 90, 10);
    Canvas& canvas = NewCanvas(100, 20, 0);
    selector.Paint(canvas.dc);

    Canvas& reference = NewCanvas(100, 20, fills[i]);
    const RECT text = {21, 1, 79, 19};
    DrawTextInRect(reference.dc, L"7", &text, DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER, RGB(255, 255, 0), NULL);
    EXPECT_TRUE(jptest::ImagesMatch(Pixels(canvas), Pixels(reference))) << i;
  }
}

}  // namespace
}  // namespace uitest
