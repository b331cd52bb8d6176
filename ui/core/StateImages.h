// The background pictures a push button or a check box shows by state: up,
// down (pressed or checked) and disabled, each an image and its mask, and how
// they are drawn. Both controls hold one and differ only in when they are down.
#pragma once

#include <windows.h>

// Bitmap channels of the image controls (buttons, check box, value selector).
enum ImageChannel {
  ChannelUpImage = 1,
  ChannelUpMask = 2,
  ChannelDownImage = 3,  // pressed, or checked
  ChannelDownMask = 4,
  ChannelLeftDownImage = 5,  // value selector arrows
  ChannelLeftDownMask = 6,
  ChannelRightDownImage = 7,
  ChannelRightDownMask = 8,
  ChannelDisabledImage = 9,
  ChannelDisabledMask = 10,
  ChannelIconImage = 13,
  ChannelIconMask = 14,
};

struct StateImages {
  StateImages();

  // False, nothing kept, for a channel other than the six of the three states.
  bool SetImage(HBITMAP bitmap, int channel);
  // Disabled wins over down; a missing bitmap shows nothing rather than
  // another state's picture.
  void Paint(HDC dc, const RECT* rect, bool enabled, bool down) const;

  HBITMAP upImage;
  HBITMAP upMask;
  HBITMAP downImage;
  HBITMAP downMask;
  HBITMAP disabledImage;
  HBITMAP disabledMask;
  int imageMode;  // 1 the image alone, 2 image and mask pairs, else no background
  int placement;  // 1 centred at the bitmap's size, 2 stretched, else none
};
