#include "ui/composite/ControlPanel.h"

#include <stdlib.h>

#include "ui/core/GrowArray.h"

namespace {

const int kFirstCapacity = 8;

}  // namespace

ControlPanel::ControlPanel(HINSTANCE instance, HWND hostWindow, int id)
    : TouchControl(instance, hostWindow, id), children(NULL), childCount(0), childCapacity(0) {}

ControlPanel::~ControlPanel() { free(children); }

void ControlPanel::Paint(HDC dc) {
  if (!visible) return;
  for (int i = 0; i < childCount; ++i) {
    if (children[i] != NULL) children[i]->PaintIfVisible(dc);
  }
}

int ControlPanel::OnPenDown(HWND window, UINT reserved, int x, int y) {
  return Dispatch(&TouchControl::PenDown, window, reserved, x, y, true);
}

int ControlPanel::OnPenUp(HWND window, UINT reserved, int x, int y) {
  return Dispatch(&TouchControl::PenUp, window, reserved, x, y, false);
}

int ControlPanel::OnPenMove(HWND window, UINT reserved, int x, int y) {
  return Dispatch(&TouchControl::PenMove, window, reserved, x, y, false);
}

BOOL ControlPanel::AddChild(TouchControl* child) {
  if (!GrowArray(&children, childCount, &childCapacity, kFirstCapacity)) return FALSE;
  if (child != NULL) child->SetOwner(this);
  children[childCount++] = child;
  return TRUE;
}

TouchControl* ControlPanel::ChildAt(int index) const {
  if (index < 0 || index >= childCount) return NULL;
  return children[index];
}

int ControlPanel::Dispatch(PenEntry entry, HWND window, UINT reserved, int x, int y, bool vibrate) {
  if (!visible) return 0;
  int result = 0;
  for (int i = 0; i < childCount; ++i) {
    TouchControl* child = children[i];
    if (child == NULL || !child->IsVisible() || !child->IsEnabled()) continue;
    result = (child->*entry)(window, reserved, x, y);
    // The pulse comes before the next child sees the pen.
    if (vibrate && result == 1 && child->GetVibrateOnPress()) VibratePulse(kVibratePulseMs);
  }
  return result;
}
