// The two-line button: the subtitle in its own rectangle and colours, over
// the caption and under the icon; an empty text keeps the old subtitle.
#include <gtest/gtest.h>

#include <string>

#include "ui/core/DrawingPrimitives.h"
#include "ui/core/TwoLineButton.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

class TwoLineButtonTest : public UiTest {};

TEST_F(TwoLineButtonTest, SubtitleOverTheCaptionInItsStateColourUnderTheIcon) {
  HBITMAP icon = NewBitmap(jptest::Image(6, 6, 0x0000FF));
  for (BOOL pressed : {FALSE, TRUE}) {
    Canvas& canvas = NewCanvas(60, 40, 0);
    TwoLineButton button(NULL, window_, 1);
    button.SetBounds(0, 0, 60, 40);
    button.SetCaptionVisible(TRUE).SetCaption(L"Pack").SetTextMargins(2, 2, 2, 2);
    button.SetTextColors(RGB(255, 0, 0), RGB(0, 255, 0));
    // The same rectangle as the caption, so the order shows.
    button.SetSubtitle(L"Bell").SetSubtitle(L"").SetSubtitleVisible(TRUE).SetSubtitleMargins(2, 2, 2, 2);
    button.SetSubtitleColors(RGB(255, 255, 0), RGB(0, 255, 255)).SetSubtitleFont(NULL);
    button.SetImage(icon, 13).SetIconMargins(4, 16, 50, 18);
    if (pressed) button.PenDown(window_, 0, 5, 5);
    button.Paint(canvas.dc);

    Canvas& reference = NewCanvas(60, 40, 0);
    const UINT format = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;
    const RECT box = {2, 2, 58, 38};
    DrawTextInRect(reference.dc, L"Pack", &box, format, pressed ? RGB(0, 255, 0) : RGB(255, 0, 0), NULL);
    DrawTextInRect(reference.dc, L"Bell", &box, format, pressed ? RGB(0, 255, 255) : RGB(255, 255, 0), NULL);
    jptest::Image expected = Pixels(reference);
    Paste(expected, jptest::Image(6, 6, 0x0000FF), 4, 16);
    EXPECT_TRUE(jptest::ImagesMatch(Pixels(canvas), expected)) << "pressed " << pressed;
  }
  TwoLineButton button(NULL, window_, 1);
  WCHAR text[kCaptionLength];
  button.SetSubtitle(std::wstring(300, L's').c_str()).GetSubtitle(text);
  EXPECT_EQ(std::wstring(text), std::wstring(259, L's'));
}

}  // namespace
}  // namespace uitest
