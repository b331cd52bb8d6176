// The push button: the background of its state (disabled over pressed over
// up) by image mode and placement, then the caption, then the icon on top.
#include <gtest/gtest.h>

#include "ui/core/DrawingPrimitives.h"
#include "ui/core/ImageButton.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

using jptest::Image;

class Probe final : public ImageButton {
 public:
  explicit Probe(HWND host) : ImageButton(NULL, host, 9) {}
  void SetState(BOOL isEnabled, BOOL isPressed) { enabled = isEnabled, pressed = isPressed; }
};

class ImageButtonTest : public UiTest {};

TEST_F(ImageButtonTest, BackgroundFollowsStateImageModeAndPlacement) {
  // Pictures 10 x 8 in a 20 x 16 button at (10, 6): centred at (15, 10).
  HBITMAP up = NewBitmap(Image(10, 8, 0xFF0000));
  HBITMAP down = NewBitmap(Image(10, 8, 0x00FF00));
  HBITMAP disabled = NewBitmap(Image(10, 8, 0x0000FF));
  Image halfRed(10, 8, 0);  // black where the mask keeps the background
  Paste(halfRed, Image(5, 8, 0xFF0000), 0, 0);
  Image halfMask(10, 8, 0xFFFFFF);
  Paste(halfMask, Image(5, 8, 0), 0, 0);
  Image halfGreen(10, 8, 0);
  Paste(halfGreen, Image(5, 8, 0x00FF00), 0, 0);
  HBITMAP masked = NewBitmap(halfRed);
  HBITMAP maskedDown = NewBitmap(halfGreen);
  HBITMAP mask = NewBitmap(halfMask);
  auto expect = [](uint32_t colour, int left, int top, int width, int height) {
    Image picture(40, 30, 0x202020);
    Paste(picture, Image(width, height, colour), left, top);
    return picture;
  };
  const Image nothing(40, 30, 0x202020);
  const struct {
    const char* name;
    int mode, placement;
    BOOL enabled, pressed;
    bool pairs, downMissing;
    Image expected;
  } cases[] = {
      {"up, centred", 1, 1, TRUE, FALSE, false, false, expect(0xFF0000, 15, 10, 10, 8)},
      {"pressed, stretched", 1, 2, TRUE, TRUE, false, false, expect(0x00FF00, 10, 6, 20, 16)},
      {"disabled wins over pressed", 1, 1, FALSE, TRUE, false, false, expect(0x0000FF, 15, 10, 10, 8)},
      {"pressed without a down picture", 1, 1, TRUE, TRUE, false, true, nothing},
      {"image over its mask", 2, 1, TRUE, FALSE, true, false, expect(0xFF0000, 15, 10, 5, 8)},
      {"pressed image over its mask", 2, 1, TRUE, TRUE, true, false, expect(0x00FF00, 15, 10, 5, 8)},
      // Without a mask only the image's SRCPAINT pass runs.
      {"image without a mask", 2, 1, TRUE, FALSE, false, false, expect(0xFF2020, 15, 10, 10, 8)},
      {"placement 0", 1, 0, TRUE, FALSE, false, false, nothing},
      {"placement 3", 1, 3, TRUE, FALSE, false, false, nothing},
      {"image mode 3", 3, 1, TRUE, FALSE, false, false, nothing},
  };
  for (const auto& c : cases) {
    Canvas& canvas = NewCanvas(40, 30, 0x202020);
    Probe button(window_);
    button.SetBounds(10, 6, 20, 16);
    button.SetImage(c.pairs ? masked : up, ChannelUpImage).SetImage(c.pairs ? mask : NULL, ChannelUpMask);
    button.SetImage(c.downMissing ? NULL : c.pairs ? maskedDown : down, ChannelDownImage);
    button.SetImage(c.pairs ? mask : NULL, ChannelDownMask).SetImage(disabled, ChannelDisabledImage);
    button.SetImage(up, 5).SetImageMode(c.mode).SetPlacement(c.placement);  // 5: not a button channel
    button.SetState(c.enabled, c.pressed);
    button.Paint(canvas.dc);
    EXPECT_TRUE(jptest::ImagesMatch(Pixels(canvas), c.expected, 0, c.name)) << c.name;
  }
}

TEST_F(ImageButtonTest, CaptionInItsStateColourThenTheKeyedIconOnTop) {
  // A magenta frame round a blue core, at the icon rectangle's size, over the first letter.
  Image icon(12, 10, 0xFF00FF);
  Paste(icon, Image(10, 8, 0x0000FF), 1, 1);
  HBITMAP iconBitmap = NewBitmap(icon);
  for (BOOL pressed : {FALSE, TRUE})
    for (BOOL captionVisible : {FALSE, TRUE}) {
      Canvas& canvas = NewCanvas(40, 30, 0);
      Probe button(window_);
      button.SetBounds(4, 4, 32, 22);
      button.SetCaption(L"WWW").SetTextColors(RGB(255, 255, 0), RGB(0, 255, 255)).SetTextMargins(3, 2, 1, 4);
      button.SetCaptionVisible(captionVisible).SetImage(iconBitmap, ChannelIconImage).SetIconMargins(4, 6, 16, 6);
      button.SetState(TRUE, pressed);
      button.Paint(canvas.dc);

      Canvas& reference = NewCanvas(40, 30, 0);
      const RECT text = {7, 6, 35, 22};
      if (captionVisible)
        DrawTextInRect(reference.dc, L"WWW", &text, DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER,
                       pressed ? RGB(0, 255, 255) : RGB(255, 255, 0), NULL);
      Image expected = Pixels(reference);
      Paste(expected, Image(10, 8, 0x0000FF), 9, 11);
      EXPECT_TRUE(jptest::ImagesMatch(Pixels(canvas), expected)) << pressed << captionVisible;
    }
}

}  // namespace
}  // namespace uitest
