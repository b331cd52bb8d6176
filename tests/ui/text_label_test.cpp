// The label: its caption alone in the normal colour, nothing for an empty
// one, and never the pen.
#include <gtest/gtest.h>

#include "ui/core/DrawingPrimitives.h"
#include "ui/core/TextLabel.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

class TextLabelTest : public UiTest {};

TEST_F(TextLabelTest, DrawsItsCaptionCutWithAnEllipsisAndTakesNoPen) {
  for (const wchar_t* caption : {L"", L"Sensitivity for every axis, and far too long to fit"}) {
    Canvas& canvas = NewCanvas(80, 20, 0x102030);
    TextLabel label(NULL, window_, 1);
    label.SetBounds(0, 0, 80, 20);
    label.SetTextMargins(2, 1, 2, 1).SetTextColors(RGB(255, 255, 255), RGB(255, 0, 0)).SetCaption(caption);
    label.Paint(canvas.dc);

    Canvas& reference = NewCanvas(80, 20, 0x102030);
    const RECT box = {2, 1, 78, 19};
    DrawTextInRect(reference.dc, caption, &box, DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER, RGB(255, 255, 255),
                   NULL);
    EXPECT_TRUE(jptest::ImagesMatch(Pixels(canvas), Pixels(reference)));
    // Never the pen, so whatever lies beneath gets it alone.
    EXPECT_EQ(label.PenDown(window_, 0, 5, 5) + label.PenUp(window_, 0, 5, 5), 0);
    EXPECT_TRUE(gNotifications.empty());
  }
}

}  // namespace
}  // namespace uitest
