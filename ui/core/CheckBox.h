// The skinned two-state toggle: it flips the moment the pen goes down on it
// and sends code 5; moves and lifts mean nothing to it. The switches and the
// page tabs are check boxes; the tab on show is checked and locked.
#pragma once

#include <windows.h>

#include "ui/core/StateImages.h"
#include "ui/core/TouchControl.h"

class CheckBox : public TouchControl {
 public:
  CheckBox(HINSTANCE instance, HWND hostWindow, int id);

  void Paint(HDC dc) override;
  int OnPenDown(HWND window, UINT reserved, int x, int y) override;
  int OnPenUp(HWND window, UINT reserved, int x, int y) override;
  int OnPenMove(HWND window, UINT reserved, int x, int y) override;

  // Channels 1 to 4, 9 and 10 (up, down = checked, disabled); others ignored.
  CheckBox& SetImage(HBITMAP bitmap, int channel);
  CheckBox& SetImageMode(int mode);
  CheckBox& SetPlacement(int mode);
  // Locked or not; no notification, no repaint.
  CheckBox& SetChecked(BOOL flag);
  bool IsChecked() const { return pressed != 0; }
  // Only the pen is locked out.
  CheckBox& SetLocked(BOOL flag);
  bool IsLocked() const { return locked != 0; }
  CheckBox& SetCaptionVisible(BOOL flag);

 private:
  StateImages background;
  BOOL locked;
  BOOL captionVisible;
};
