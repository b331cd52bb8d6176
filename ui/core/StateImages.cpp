#include "ui/core/StateImages.h"

#include "ui/core/DrawingPrimitives.h"

StateImages::StateImages()
    : upImage(NULL),
      upMask(NULL),
      downImage(NULL),
      downMask(NULL),
      disabledImage(NULL),
      disabledMask(NULL),
      imageMode(1),
      placement(1) {}

bool StateImages::SetImage(HBITMAP bitmap, int channel) {
  switch (channel) {
    case ChannelUpImage: upImage = bitmap; return true;
    case ChannelUpMask: upMask = bitmap; return true;
    case ChannelDownImage: downImage = bitmap; return true;
    case ChannelDownMask: downMask = bitmap; return true;
    case ChannelDisabledImage: disabledImage = bitmap; return true;
    case ChannelDisabledMask: disabledMask = bitmap; return true;
    default: return false;
  }
}

void StateImages::Paint(HDC dc, const RECT* rect, bool enabled, bool down) const {
  if (!enabled) {
    DrawSkinBackground(dc, rect, disabledImage, disabledMask, imageMode, placement);
  } else if (down) {
    DrawSkinBackground(dc, rect, downImage, downMask, imageMode, placement);
  } else {
    DrawSkinBackground(dc, rect, upImage, upMask, imageMode, placement);
  }
}
