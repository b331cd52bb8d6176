// The skinned two-state check box: it flips the moment the pen goes down on
// it and sends code 5; moves and lifts mean nothing to it. Locked, it keeps
// its state whatever the pen does (a row of them used as tabs locks the one
// on show).
#pragma once

#include <windows.h>

#include "ui/core/SkinnedControl.h"

class CheckBox : public SkinnedControl<CheckBox> {
 public:
  CheckBox(HINSTANCE instance, HWND hostWindow, int id);

  // The background of its state (channels 1 to 4, 9 and 10: up, down =
  // checked, disabled); the caption, when visible, takes the pressed colour
  // while checked.
  void Paint(HDC dc) override;
  int OnPenDown(HWND window, UINT reserved, int x, int y) override;
  int OnPenUp(HWND window, UINT reserved, int x, int y) override;
  int OnPenMove(HWND window, UINT reserved, int x, int y) override;

  // Locked or not; no notification, no repaint.
  CheckBox& SetChecked(BOOL flag);
  BOOL IsChecked() const { return pressed; }
  // Only the pen is locked out.
  CheckBox& SetLocked(BOOL flag);
  BOOL IsLocked() const { return locked; }

 private:
  BOOL locked;
};
