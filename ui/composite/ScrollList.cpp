#include "ui/composite/ScrollList.h"

#include <limits.h>
#include <math.h>
#include <stdlib.h>

#include "ui/core/DisplayScale.h"
#include "ui/core/DrawingPrimitives.h"
#include "ui/core/GrowArray.h"

namespace {

// Design lengths at 96 dpi.
const int kItemHeight = 40;
const int kTouchSlop = 10;  // drag threshold (y only) and tap tolerance (both axes)
const int kTextMarginX = 2;
const int kTextMarginY = 1;
const int kIndicatorInset = 1;
const int kIndicatorWidth = 2;

const UINT kLineFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;

// A pen-down to pen-up longer than this is a slow drag, not a flick.
const double kFlickWindowMs = 500.0;
// Share of the velocity lost per millisecond of glide.
const double kGlideDecayPerMs = 0.0008;

const int kFirstCapacity = 64;

// Out-of-range doubles would not survive the conversion.
int TruncateToInt(double value) {
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

void FillSolid(HDC dc, const RECT* rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  if (brush == NULL) return;
  FillRect(dc, rect, brush);
  DeleteObject(brush);
}

void CopyLine(WCHAR* target, const WCHAR* source) {
  // At most the buffer's worth is read, so an unterminated source is cut, not overrun.
  wcsncpy_s(target, kListTextLength, source, kListTextLength - 1);
}

double TickNow() { return static_cast<double>(GetTickCount()); }

}  // namespace

ScrollList::ScrollList(HINSTANCE instance, HWND hostWindow, int id)
    : TouchControl(instance, hostWindow, id),
      firstLineFont(NULL),
      secondLineFont(NULL),
      firstLineColor(0xFFFFFF),
      firstLineSelectedColor(0x000000),
      secondLineColor(0xCCCCCC),
      secondLineSelectedColor(0x000000),
      firstLineFormat(kLineFormat),
      secondLineFormat(kLineFormat),
      separatorPen(NULL),
      separatorStyle(SeparatorLine),
      separatorImage(NULL),
      selectionStyle(SelectionSolid),
      selectionColor(0xFFFFFF),
      selectionImage(NULL),
      itemHeight(ScaleY(kItemHeight)),
      items(NULL),
      itemCount(0),
      itemCapacity(0),
      contentHeight(0),
      scrollOffset(0),
      lastPenY(-1),
      pressTime(0),
      lastTime(0),
      velocity(0),
      dragging(FALSE),
      gliding(FALSE),
      backgroundColor(0x000000),
      selectedIndex(-1),
      scrollIndicatorColor(0x808080),
      paintedRows(0) {
  SetRect(&firstLineMargins, ScaleX(kTextMarginX), ScaleY(kTextMarginY), ScaleX(kTextMarginX), ScaleY(kTextMarginY));
  secondLineMargins = firstLineMargins;
  pressPoint.x = -1;
  pressPoint.y = -1;
}

ScrollList::~ScrollList() { free(items); }

BOOL ScrollList::AddItem(const ListItem& item) {
  // The content height has to stay an int.
  if (itemHeight > 0 && itemCount >= INT_MAX / itemHeight - 1) return FALSE;
  if (!GrowArray(&items, itemCount, &itemCapacity, kFirstCapacity)) return FALSE;
  ListItem& row = items[itemCount];
  CopyLine(row.firstLine, item.firstLine);
  CopyLine(row.secondLine, item.secondLine);
  row.icon = item.icon;
  row.userData = item.userData;
  ++itemCount;
  selectedIndex = -1;
  contentHeight = itemCount * itemHeight;
  return TRUE;
}

BOOL ScrollList::GetItem(int index, ListItem* item) const {
  if (item == NULL || index < 0 || index >= itemCount) return FALSE;
  const ListItem& row = items[index];
  CopyLine(item->firstLine, row.firstLine);
  CopyLine(item->secondLine, row.secondLine);
  item->icon = row.icon;
  item->userData = row.userData;
  return TRUE;
}

BOOL ScrollList::SetSelection(int index) {
  if (itemCount == 0 || index > itemCount - 1) return FALSE;
  selectedIndex = index < 0 ? -1 : index;
  return TRUE;
}

void ScrollList::StartGlide(HWND window, UINT_PTR timerId, UINT periodMs, TIMERPROC procedure) {
  dragging = FALSE;
  gliding = TRUE;
  SetTimer(window, timerId, periodMs, procedure);
}

void ScrollList::StopGlide(HWND window, UINT_PTR timerId) {
  dragging = FALSE;
  gliding = FALSE;
  KillTimer(window, timerId);
}

int ScrollList::RowAt(int localY) const {
  if (itemHeight <= 0) return -1;
  int index = (localY + scrollOffset) / itemHeight;
  return index >= itemCount ? -1 : index;
}

ScrollList::Bounds ScrollList::Classify() const {
  if (contentHeight < height) return BoundsFits;
  if (scrollOffset <= 0) return BoundsTop;
  if (scrollOffset >= contentHeight - height) return BoundsBottom;
  return BoundsInside;
}

void ScrollList::Clamp(Bounds bounds) {
  if (bounds == BoundsFits || bounds == BoundsTop) scrollOffset = 0;
  if (bounds == BoundsBottom) scrollOffset = contentHeight - height;
}

int ScrollList::OnPenDown(HWND window, UINT, int x, int y) {
  pressed = HitTest(x, y) ? TRUE : FALSE;
  if (!pressed) return 0;
  int localX = x - left;
  int localY = y - top;
  // A pen-down that catches a glide only stops it; it does not pick a row.
  if (!gliding) {
    SetSelection(RowAt(localY));
    Invalidate();
  }
  pressPoint.x = localX;
  pressPoint.y = localY;
  lastPenY = localY;
  pressTime = TickNow();
  Notify(window, NotifyPenDown);
  return 1;
}

int ScrollList::OnPenMove(HWND window, UINT, int, int y) {
  if (!pressed) return 0;
  int localY = y - top;
  if (!dragging && abs(localY - pressPoint.y) <= ScaleY(kTouchSlop)) {
    Notify(window, NotifyPenMove);
    return 1;
  }
  dragging = TRUE;
  gliding = FALSE;
  selectedIndex = -1;
  // Not clamped: the content may be pulled past either end and snaps back on release.
  scrollOffset += lastPenY - localY;
  lastPenY = localY;
  Invalidate();
  Notify(window, NotifyPenMove);
  return 1;
}

int ScrollList::OnPenUp(HWND window, UINT, int x, int y) {
  double now = TickNow();
  lastTime = now;
  // The average over the whole gesture, so a flick that stops before the lift still glides.
  double elapsed = now - pressTime;
  velocity = elapsed == 0 ? 0 : (lastPenY - pressPoint.y) / elapsed;
  if (elapsed > kFlickWindowMs) velocity = 0;
  Clamp(Classify());
  if (!pressed) {
    Invalidate();
    return 0;
  }
  pressed = FALSE;
  Notify(window, NotifyPenUp);
  int tolerance = ScaleY(kTouchSlop);
  if (abs(x - left - pressPoint.x) < tolerance && abs(y - top - pressPoint.y) < tolerance) Notify(window, NotifyClick);
  return 1;
}

void ScrollList::GlideStep(HWND window, UINT_PTR timerId) {
  double now = TickNow();
  // Real time between ticks: a late tick moves further instead of slowing the glide.
  double dt = now - lastTime;
  double decay = velocity * dt * kGlideDecayPerMs;
  if (fabs(decay) > fabs(velocity)) {
    velocity = 0;
  } else {
    velocity -= decay;
  }
  int step = TruncateToInt(velocity * dt);
  scrollOffset = TruncateToInt(static_cast<double>(scrollOffset) - step);
  Bounds bounds = Classify();
  if (step != 0 && bounds == BoundsInside) {
    lastTime = now;
    Invalidate();
    return;
  }
  if (step != 0) Clamp(bounds);
  dragging = FALSE;
  gliding = FALSE;
  KillTimer(window, timerId);
  lastTime = now;
  Invalidate();
}

void ScrollList::Paint(HDC dc) {
  if (width <= 0 || height <= 0) return;
  // One off-screen picture copied once per paint, so a glide never flickers.
  HDC memory = CreateCompatibleDC(dc);
  if (memory == NULL) return;
  HBITMAP canvas = CreateCompatibleBitmap(dc, width, height);
  if (canvas == NULL) {
    DeleteDC(memory);
    return;
  }
  HGDIOBJ previous = SelectObject(memory, canvas);
  RECT view = {0, 0, width, height};
  FillSolid(memory, &view, backgroundColor);
  PaintRows(memory, view);
  if (dragging || gliding) PaintIndicator(memory, view);
  BitBlt(dc, left, top, width, height, memory, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(canvas);
}

void ScrollList::PaintRows(HDC dc, const RECT& view) {
  paintedRows = 0;
  if (itemCount == 0 || itemHeight <= 0) return;
  int first = 0;
  if (scrollOffset >= 0) {
    int reach = scrollOffset < contentHeight - 1 ? scrollOffset : contentHeight - 1;
    if (reach < 0) reach = 0;
    first = reach / itemHeight < itemCount ? reach / itemHeight : itemCount;
  }
  // Only the rows that meet the view: the cost of a paint does not grow with the list.
  for (int i = first; i < itemCount; ++i) {
    int rowTop = i * itemHeight - scrollOffset;
    if (rowTop >= view.bottom) break;
    RECT row = {view.left, rowTop, view.right, rowTop + itemHeight};
    PaintRow(dc, i, row);
    ++paintedRows;
  }
}

void ScrollList::PaintRow(HDC dc, int index, const RECT& row) {
  const ListItem& item = items[index];
  bool selected = index == selectedIndex;
  int h = row.bottom - row.top;
  RECT iconSquare = {row.left, row.top, row.left + h, row.bottom};
  RECT firstLine = {row.left + h, row.top, row.right, row.top + h / 2};
  ShrinkRect(&firstLine, firstLineMargins.left, firstLineMargins.top, firstLineMargins.right, firstLineMargins.bottom);
  RECT secondLine = {row.left + h, row.bottom - h / 2, row.right, row.bottom};
  ShrinkRect(&secondLine, secondLineMargins.left, secondLineMargins.top, secondLineMargins.right,
             secondLineMargins.bottom);

  if (selected) {
    if (selectionStyle == SelectionTiled && selectionImage != NULL) {
      FillPattern(dc, &row, selectionImage, PATCOPY);
    } else {
      FillSolid(dc, &row, selectionColor);
    }
  }
  if (item.icon != NULL) DrawKeyedCentered(dc, &iconSquare, item.icon, kKeyColor);
  DrawTextInRect(dc, item.firstLine, &firstLine, firstLineFormat, selected ? firstLineSelectedColor : firstLineColor,
                 firstLineFont);
  DrawTextInRect(dc, item.secondLine, &secondLine, secondLineFormat,
                 selected ? secondLineSelectedColor : secondLineColor, secondLineFont);

  if (separatorStyle == SeparatorImage) {
    if (separatorImage != NULL) {
      RECT line = {row.left, row.bottom - 1, row.right, row.bottom};
      DrawBitmapStretched(dc, &line, separatorImage);
    }
  } else if (separatorStyle == SeparatorLine) {
    DrawLine(dc, row.left, row.bottom - 1, row.right, row.bottom - 1, separatorPen);
  }
}

void ScrollList::PaintIndicator(HDC dc, const RECT& view) {
  int viewHeight = view.bottom - view.top;
  if (viewHeight <= 0 || contentHeight <= viewHeight) return;
  int insetY = ScaleY(kIndicatorInset);
  int insetX = ScaleX(kIndicatorInset);
  int thickness = ScaleX(kIndicatorWidth);
  float ratio = static_cast<float>(contentHeight) / static_cast<float>(viewHeight);
  if (ratio < 1.0f) ratio = 1.0f;
  int track = viewHeight - 2 * insetY;
  int thumb = static_cast<int>(static_cast<float>(track) / ratio);
  int travel = track - thumb;
  float where = static_cast<float>(scrollOffset) / static_cast<float>(contentHeight - viewHeight) *
                static_cast<float>(travel);
  // Limited before the conversion: a content pulled far past an end gives a huge value.
  if (where < 0.0f) where = 0.0f;
  if (where > static_cast<float>(travel)) where = static_cast<float>(travel);
  int position = static_cast<int>(where);
  RECT thumbRect = {view.right - insetX - thickness, view.top + insetY + position, view.right - insetX,
                    view.top + insetY + position + thumb};
  FillSolid(dc, &thumbRect, scrollIndicatorColor);
}

ScrollList& ScrollList::SetBackgroundColor(COLORREF color) {
  backgroundColor = color;
  return *this;
}

ScrollList& ScrollList::SetFirstLineFont(HFONT handle) {
  firstLineFont = handle;
  return *this;
}

ScrollList& ScrollList::SetSecondLineFont(HFONT handle) {
  secondLineFont = handle;
  return *this;
}

ScrollList& ScrollList::SetFirstLineColors(COLORREF normal, COLORREF selected) {
  firstLineColor = normal;
  firstLineSelectedColor = selected;
  return *this;
}

ScrollList& ScrollList::SetSecondLineColors(COLORREF normal, COLORREF selected) {
  secondLineColor = normal;
  secondLineSelectedColor = selected;
  return *this;
}

ScrollList& ScrollList::SetFirstLineFormat(UINT flags) {
  firstLineFormat = flags;
  return *this;
}

ScrollList& ScrollList::SetSecondLineFormat(UINT flags) {
  secondLineFormat = flags;
  return *this;
}

ScrollList& ScrollList::SetFirstLineMargins(int marginLeftPx, int marginTopPx, int marginRightPx, int marginBottomPx) {
  SetRect(&firstLineMargins, marginLeftPx, marginTopPx, marginRightPx, marginBottomPx);
  return *this;
}

ScrollList& ScrollList::SetSecondLineMargins(int marginLeftPx, int marginTopPx, int marginRightPx,
                                             int marginBottomPx) {
  SetRect(&secondLineMargins, marginLeftPx, marginTopPx, marginRightPx, marginBottomPx);
  return *this;
}

ScrollList& ScrollList::SetSeparatorStyle(int style) {
  separatorStyle = style;
  return *this;
}

ScrollList& ScrollList::SetSeparatorPen(HPEN pen) {
  separatorPen = pen;
  return *this;
}

ScrollList& ScrollList::SetSeparatorImage(HBITMAP image) {
  separatorImage = image;
  return *this;
}

ScrollList& ScrollList::SetSelectionStyle(int style) {
  selectionStyle = style;
  return *this;
}

ScrollList& ScrollList::SetSelectionColor(COLORREF color) {
  selectionColor = color;
  return *this;
}

ScrollList& ScrollList::SetSelectionImage(HBITMAP image) {
  selectionImage = image;
  return *this;
}

ScrollList& ScrollList::SetScrollIndicatorColor(COLORREF color) {
  scrollIndicatorColor = color;
  return *this;
}
