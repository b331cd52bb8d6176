// The picture box: the draw and fit mode table, the centred picture
// overhanging a smaller box equally on both sides, and no pen ever.
#include <gtest/gtest.h>

#include "ui/composite/PictureBox.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

using jptest::Image;

class PictureBoxTest : public UiTest {};

TEST_F(PictureBoxTest, DrawAndFitModesAndNoPen) {
  // 100 x 20, green on its left half and black on its right, where the mask keeps the background.
  const uint32_t green = 0x00C000;
  Image picture(100, 20, 0);
  Paste(picture, Image(50, 20, green), 0, 0);
  Image mask(100, 20, 0xFFFFFF);
  Paste(mask, Image(50, 20, 0), 0, 0);
  HBITMAP image = NewBitmap(picture);
  HBITMAP maskBitmap = NewBitmap(mask);
  const uint32_t back = 0x303030;
  auto expect = [&](const Image& part, int left, int top) {
    Image whole(160, 50, back);
    Paste(whole, part, left, top);
    return whole;
  };
  // The box is (60, 20, 110, 30): centred, the picture overhangs it to (35, 15).
  const struct {
    const char* name;
    int draw, fit;
    Image expected;
  } cases[] = {
      {"centred", 1, 1, expect(picture, 35, 15)},
      {"masked, centred", 2, 1, expect(Image(50, 20, green), 35, 15)},
      {"masked, stretched", 2, 2, expect(Image(25, 10, green), 60, 20)},
      {"draw mode 3", 3, 1, expect(Image(), 0, 0)},
      {"draw mode 3, stretched", 3, 2, expect(Image(), 0, 0)},
      {"fit mode 0", 1, 0, expect(Image(), 0, 0)},
  };
  for (const auto& c : cases) {
    Canvas& canvas = NewCanvas(160, 50, back);
    PictureBox box(NULL, window_, 1);
    box.SetBounds(60, 20, 50, 10);
    box.SetImage(image, 1).SetImage(maskBitmap, 2).SetImage(NULL, 3);
    box.SetDrawMode(c.draw).SetFitMode(c.fit);
    box.Paint(canvas.dc);
    EXPECT_TRUE(jptest::ImagesMatch(Pixels(canvas), c.expected, 0, c.name)) << c.name;
    EXPECT_EQ(box.PenDown(window_, 0, 70, 25) + box.PenUp(window_, 0, 70, 25), 0) << c.name;  // never the pen
    EXPECT_TRUE(gNotifications.empty()) << c.name;
  }
}

}  // namespace
}  // namespace uitest
