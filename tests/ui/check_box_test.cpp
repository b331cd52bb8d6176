// The check box: flips on pen-down with code 5, ignores moves and lifts,
// refuses the pen while locked, and paints its checked state.
#include <gtest/gtest.h>

#include <vector>

#include "ui/core/CheckBox.h"
#include "ui/core/DrawingPrimitives.h"
#include "ui/core/ImageButton.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

using jptest::Image;

class CheckBoxTest : public UiTest {};

TEST_F(CheckBoxTest, PenDownTogglesUnlessLockedOrOutside) {
  const struct {
    const char* name;
    BOOL checked, locked;
    int x, result;
    bool checkedAfter;
  } cases[] = {
      {"unchecked", FALSE, FALSE, 15, 1, true},
      {"checked", TRUE, FALSE, 15, 1, false},
      {"locked", FALSE, TRUE, 15, 0, false},
      {"checked while locked", TRUE, TRUE, 15, 0, true},
      {"outside", FALSE, FALSE, 40, 0, false},
  };
  for (const auto& c : cases) {
    CheckBox box(NULL, window_, 0x21);
    box.SetBounds(10, 10, 20, 20);
    box.SetLocked(c.locked).SetChecked(c.checked);
    gNotifications.clear();
    ValidateRect(window_, NULL);
    EXPECT_EQ(box.PenDown(window_, 0, c.x, 15), c.result) << c.name;
    PAINTSTRUCT paint;
    BeginPaint(window_, &paint);
    EndPaint(window_, &paint);
    EXPECT_EQ(paint.rcPaint.right, c.result ? 30 : 0) << c.name;  // repainted only when it flipped
    EXPECT_EQ(box.PenMove(window_, 0, 50, 50) + box.PenUp(window_, 0, 15, 15), 0) << c.name;
    EXPECT_EQ(box.IsChecked(), c.checkedAfter) << c.name;
    std::vector<Notification> expected;
    if (c.result) expected.push_back({0x21, 5, reinterpret_cast<LPARAM>(&box)});
    EXPECT_EQ(gNotifications, expected) << c.name;
  }
}

TEST_F(CheckBoxTest, PaintsTheBackgroundAndCaptionColourOfItsState) {
  HBITMAP up = NewBitmap(Image(4, 4, 0xFF0000));
  HBITMAP down = NewBitmap(Image(4, 4, 0x00FF00));
  const struct {
    const char* name;
    bool checked, downSet;
    uint32_t fill;  // of the whole box, stretched; 0 for none
    COLORREF text;
  } cases[] = {
      {"unchecked", false, true, 0xFF0000, RGB(255, 255, 0)},
      {"checked", true, true, 0x00FF00, RGB(0, 255, 255)},
      {"checked without a down picture", true, false, 0, RGB(0, 255, 255)},
  };
  for (const auto& c : cases) {
    Canvas& canvas = NewCanvas(30, 20, 0);
    CheckBox box(NULL, window_, 1);
    box.SetBounds(2, 2, 26, 16);
    box.SetImage(up, ChannelUpImage).SetImage(c.downSet ? down : NULL, ChannelDownImage).SetPlacement(2);
    box.SetCaptionVisible(TRUE).SetChecked(c.checked).SetCaption(L"On").SetTextMargins(2, 1, 2, 1);
    box.SetTextColors(RGB(255, 255, 0), RGB(0, 255, 255));
    box.Paint(canvas.dc);

    Image back(30, 20, 0);
    if (c.fill) Paste(back, Image(26, 16, c.fill), 2, 2);
    Canvas& reference = NewCanvas(30, 20, 0);
    Paint(reference, back);
    const RECT text = {4, 3, 26, 17};
    DrawTextInRect(reference.dc, L"On", &text, DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER, c.text, NULL);
    EXPECT_TRUE(jptest::ImagesMatch(Pixels(canvas), Pixels(reference), 0, c.name)) << c.name;
  }
}

}  // namespace
}  // namespace uitest
