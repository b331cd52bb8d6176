// The background pictures a skinned control shows by state, each an image
// and its mask, and how they are drawn. A control holds pictures only for the
// states it has: a push button and a check box are up, down (pressed or
// checked) or disabled; a value selector is up or has its left or right
// arrow held.
#pragma once

#include <windows.h>

// Bitmap channels of the image controls: each state's image and mask, and the
// icon of a push button.
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

// In the order of their channels: state s has channels 2s + 1 and 2s + 2.
enum ImageState {
  StateNone = -1,  // draws nothing
  StateUp = 0,
  StateDown = 1,
  StateLeftDown = 2,
  StateRightDown = 3,
  StateDisabled = 4,
  kImageStateCount = 5,
};

// The set of states a control has, for the constructor.
inline UINT StateBit(ImageState state) { return 1u << state; }

struct StateImages {
  explicit StateImages(UINT states);

  // FALSE, nothing kept, for a channel of a state the control does not have.
  BOOL SetImage(HBITMAP bitmap, int channel);
  // A missing bitmap shows nothing rather than another state's picture.
  void Paint(HDC dc, const RECT* rect, ImageState state) const;

  HBITMAP image[kImageStateCount];
  HBITMAP mask[kImageStateCount];
  UINT states;
  int imageMode;  // 1 the image alone, 2 image and mask pairs, else no background
  int placement;  // 1 centred at the bitmap's size, 2 stretched, else none
};
