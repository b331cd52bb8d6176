// What the controls with state pictures share: the pictures themselves, how
// they are drawn, and whether the caption shows over them. The setters return
// the control itself (`Self`), so they chain with the control's own.
#pragma once

#include <windows.h>

#include "ui/core/StateImages.h"
#include "ui/core/TouchControl.h"

template <class Self>
class SkinnedControl : public TouchControl {
 public:
  // Setters never repaint. The bitmaps stay whoever made them; a channel of a
  // state this control does not have is ignored.
  Self& SetImage(HBITMAP bitmap, int channel) {
    background.SetImage(bitmap, channel);
    return Itself();
  }
  // 1 the image alone, 2 image and mask pairs, anything else no background.
  Self& SetImageMode(int mode) {
    background.imageMode = mode;
    return Itself();
  }
  // 1 centred at the bitmap's size, 2 stretched over the control, else none.
  Self& SetPlacement(int mode) {
    background.placement = mode;
    return Itself();
  }
  Self& SetCaptionVisible(BOOL flag) {
    captionVisible = flag;
    return Itself();
  }

 protected:
  SkinnedControl(HINSTANCE instance, HWND hostWindow, int id, UINT states)
      : TouchControl(instance, hostWindow, id), background(states), captionVisible(FALSE) {}

  Self& Itself() { return *static_cast<Self*>(this); }

  // Only when made visible; in the pressed colour while pressed or checked.
  void PaintCaptionIfVisible(HDC dc, const RECT* rect) const {
    if (captionVisible) PaintCaption(dc, rect, pressed);
  }

  // Up, down while pressed (or checked), disabled over both.
  ImageState ButtonState() const {
    if (!enabled) return StateDisabled;
    return pressed ? StateDown : StateUp;
  }

  StateImages background;
  BOOL captionVisible;
};
