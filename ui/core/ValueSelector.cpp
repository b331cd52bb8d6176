#include "ui/core/ValueSelector.h"

#include <stdlib.h>

#include "ui/core/DrawingPrimitives.h"
#include "ui/core/GrowArray.h"
#include "ui/core/StateImages.h"  // the image channels

namespace {

const int kFirstCapacity = 10;  // the sensitivities are "1" to "10"

bool InZone(const RECT& zone, int x, int y) {
  POINT point = {x, y};
  return PtInRect(&zone, point) != FALSE;
}

}  // namespace

ValueSelector::ValueSelector(HINSTANCE instance, HWND hostWindow, int id)
    : TouchControl(instance, hostWindow, id),
      entries(NULL),
      entryCount(0),
      entryCapacity(0),
      leftPressed(FALSE),
      rightPressed(FALSE),
      upImage(NULL),
      upMask(NULL),
      leftDownImage(NULL),
      leftDownMask(NULL),
      rightDownImage(NULL),
      rightDownMask(NULL),
      disabledImage(NULL),
      disabledMask(NULL),
      imageMode(1),
      placement(1),
      currentIndex(-1) {}

ValueSelector::~ValueSelector() { free(entries); }

void ValueSelector::GetLeftZone(RECT* zone) const { SetRect(zone, left, top, left + height, top + height); }

void ValueSelector::GetRightZone(RECT* zone) const {
  SetRect(zone, left + width - height, top, left + width, top + height);
}

void ValueSelector::Release() {
  pressed = FALSE;
  leftPressed = FALSE;
  rightPressed = FALSE;
}

void ValueSelector::Paint(HDC dc) {
  RECT rect;
  GetRect(&rect);
  if (!enabled) {
    DrawSkinBackground(dc, &rect, disabledImage, disabledMask, imageMode, placement);
  } else if (!pressed) {
    DrawSkinBackground(dc, &rect, upImage, upMask, imageMode, placement);
  } else if (leftPressed) {
    DrawSkinBackground(dc, &rect, leftDownImage, leftDownMask, imageMode, placement);
  } else if (rightPressed) {
    DrawSkinBackground(dc, &rect, rightDownImage, rightDownMask, imageMode, placement);
  }
  if (currentIndex < 0 || currentIndex >= entryCount) return;
  // The text sits between the two arrow squares.
  InflateRect(&rect, -height, 0);
  ShrinkRect(&rect, marginLeft, marginTop, marginRight, marginBottom);
  DrawTextInRect(dc, entries[currentIndex], &rect, textFormat, textColor, font);
}

int ValueSelector::OnPenDown(HWND window, UINT, int x, int y) {
  RECT leftZone;
  RECT rightZone;
  GetLeftZone(&leftZone);
  GetRightZone(&rightZone);
  // On a selector narrower than two squares the zones overlap; left wins.
  leftPressed = InZone(leftZone, x, y) ? TRUE : FALSE;
  rightPressed = !leftPressed && InZone(rightZone, x, y) ? TRUE : FALSE;
  if (!leftPressed && !rightPressed) {
    Release();
    Invalidate();
    return 0;
  }
  pressed = TRUE;
  Invalidate();
  Notify(window, NotifyPenDown);
  return 1;
}

int ValueSelector::OnPenUp(HWND window, UINT, int x, int y) {
  RECT leftZone;
  RECT rightZone;
  GetLeftZone(&leftZone);
  GetRightZone(&rightZone);
  bool stepLeft = pressed && leftPressed && InZone(leftZone, x, y);
  bool stepRight = pressed && rightPressed && !stepLeft && InZone(rightZone, x, y);
  Release();
  Invalidate();
  // Lifted away from the arrow it went down on: no step.
  if (!stepLeft && !stepRight) return 0;
  // No wrapping; the codes go out even when the selection stays at an end.
  if (stepLeft && currentIndex > 0) Select(currentIndex - 1);
  if (stepRight) SelectNext();
  Notify(window, NotifyPenUp);
  Notify(window, NotifyStepped);
  return 1;
}

int ValueSelector::OnPenMove(HWND, UINT, int, int) { return 0; }

ValueSelector& ValueSelector::SetImage(HBITMAP bitmap, int channel) {
  switch (channel) {
    case ChannelUpImage: upImage = bitmap; break;
    case ChannelUpMask: upMask = bitmap; break;
    case ChannelLeftDownImage: leftDownImage = bitmap; break;
    case ChannelLeftDownMask: leftDownMask = bitmap; break;
    case ChannelRightDownImage: rightDownImage = bitmap; break;
    case ChannelRightDownMask: rightDownMask = bitmap; break;
    default: break;
  }
  return *this;
}

ValueSelector& ValueSelector::SetImageMode(int mode) {
  imageMode = mode;
  return *this;
}

ValueSelector& ValueSelector::SetPlacement(int mode) {
  placement = mode;
  return *this;
}

ValueSelector& ValueSelector::AddEntry(LPCWSTR text) {
  if (text == NULL) return *this;
  if (!GrowArray(&entries, entryCount, &entryCapacity, kFirstCapacity)) return *this;
  wcsncpy_s(entries[entryCount], kCaptionLength, text, _TRUNCATE);
  ++entryCount;
  return *this;
}

ValueSelector& ValueSelector::Select(int index) {
  if (index >= 0 && index < entryCount) currentIndex = index;
  return *this;
}

ValueSelector& ValueSelector::SelectNext() {
  if (currentIndex != entryCount - 1) Select(currentIndex + 1);
  return *this;
}

void ValueSelector::GetCurrentText(LPWSTR buffer) const {
  if (buffer == NULL || currentIndex < 0 || currentIndex >= entryCount) return;
  wcscpy_s(buffer, kCaptionLength, entries[currentIndex]);
}

int ValueSelector::GetCurrentValue() const {
  if (currentIndex < 0 || currentIndex >= entryCount) return 0;
  return _wtoi(entries[currentIndex]);
}
