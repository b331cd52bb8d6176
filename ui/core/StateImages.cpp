#include "ui/core/StateImages.h"

#include "ui/core/DrawingPrimitives.h"

StateImages::StateImages(UINT stateSet) : states(stateSet), imageMode(1), placement(1) {
  for (int i = 0; i < kImageStateCount; ++i) {
    image[i] = NULL;
    mask[i] = NULL;
  }
}

BOOL StateImages::SetImage(HBITMAP bitmap, int channel) {
  if (channel < ChannelUpImage || channel > ChannelDisabledMask) return FALSE;
  int state = (channel - 1) / 2;
  if ((states & StateBit(static_cast<ImageState>(state))) == 0) return FALSE;
  if ((channel - 1) % 2 == 0) {
    image[state] = bitmap;
  } else {
    mask[state] = bitmap;
  }
  return TRUE;
}

void StateImages::Paint(HDC dc, const RECT* rect, ImageState state) const {
  if (state < 0 || state >= kImageStateCount) return;
  DrawSkinBackground(dc, rect, image[state], mask[state], imageMode, placement);
}
