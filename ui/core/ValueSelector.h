// One entry of a fixed list of texts between a left and a right arrow; a tap
// on an arrow steps through the list without wrapping. The arrows are part of
// the one background picture, swapped while an arrow is held. The arrow zones
// are squares as tall as the control at either end.
#pragma once

#include <windows.h>

#include "ui/core/SkinnedControl.h"

class ValueSelector : public SkinnedControl<ValueSelector> {
 public:
  ValueSelector(HINSTANCE instance, HWND hostWindow, int id);
  ~ValueSelector();

  // Its pictures are channels 1, 2 (up), 5, 6 (left held) and 7, 8 (right
  // held): a disabled selector has no background. The current entry shows
  // between the arrows, never the caption.
  void Paint(HDC dc) override;
  int OnPenDown(HWND window, UINT reserved, int x, int y) override;
  int OnPenUp(HWND window, UINT reserved, int x, int y) override;
  int OnPenMove(HWND window, UINT reserved, int x, int y) override;

  // Appends a copy (at most 259 characters); NULL is ignored, "" is kept.
  // The selection stays where it was. Without memory the entry is dropped.
  ValueSelector& AddEntry(LPCWSTR text);
  // An index outside the entries is ignored; no repaint, no notification.
  ValueSelector& Select(int index);
  // One step right; from none it selects the first, at the last nothing.
  ValueSelector& SelectNext();
  // Into a buffer of kCaptionLength characters; untouched when none is current.
  void GetCurrentText(LPWSTR buffer) const;
  // The current entry as a decimal integer (C library rules), 0 when none.
  int GetCurrentValue() const;
  int GetCurrentIndex() const { return currentIndex; }
  int GetEntryCount() const { return entryCount; }

 private:
  ValueSelector(const ValueSelector&) = delete;
  ValueSelector& operator=(const ValueSelector&) = delete;

  typedef WCHAR Entry[kCaptionLength];

  // The picture to show: up, an arrow held, or disabled.
  ImageState HeldState() const;
  void GetLeftZone(RECT* zone) const;
  void GetRightZone(RECT* zone) const;
  void Release();

  Entry* entries;
  int entryCount;
  int entryCapacity;
  BOOL leftPressed;
  BOOL rightPressed;
  int currentIndex;  // -1: none
};
