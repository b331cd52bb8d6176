// The container of the control tree. It draws nothing of its own: it paints
// its visible children in the order they were added (later ones on top) and
// hands every pen event to each visible, enabled child, with no early exit,
// so overlapping controls all see it. Hiding a panel silences its subtree.
#pragma once

#include <windows.h>

#include "ui/core/TouchControl.h"

class ControlPanel : public TouchControl {
 public:
  ControlPanel(HINSTANCE instance, HWND hostWindow, int id);
  ~ControlPanel();

  void Paint(HDC dc) override;
  // The last eligible child's result, 0 when there is none.
  int OnPenDown(HWND window, UINT reserved, int x, int y) override;
  int OnPenUp(HWND window, UINT reserved, int x, int y) override;
  int OnPenMove(HWND window, UINT reserved, int x, int y) override;
  // Appends the child (a NULL one too: it is skipped) and makes this panel
  // its owner. False when there is no memory for it.
  virtual BOOL AddChild(TouchControl* child);

  int ChildCount() const { return childCount; }
  TouchControl* ChildAt(int index) const;

 private:
  ControlPanel(const ControlPanel&) = delete;
  ControlPanel& operator=(const ControlPanel&) = delete;

  // Indexes the three pen slots by their non-virtual entry.
  typedef int (TouchControl::*PenEntry)(HWND, UINT, int, int);
  int Dispatch(PenEntry entry, HWND window, UINT reserved, int x, int y, BOOL vibrate);

  // Borrowed: whoever made the children keeps them alive as long as the panel.
  TouchControl** children;
  int childCount;
  int childCapacity;
};
