// The kinetic list: two lines of text and an icon per row, dragged with the
// pen, flicked into a glide that slows down and stops, and tapped to select a
// row. The list only computes: the window that owns it runs the glide timer
// in answer to its notifications (code 1: stop the glide; code 3: start it;
// each tick calls GlideStep).
#pragma once

#include <windows.h>

#include "ui/core/TouchControl.h"

const int kListTextLength = 260;  // 259 characters and the terminator

// One row, copied by value into the list.
struct ListItem {
  WCHAR firstLine[kListTextLength];   // the upper line
  WCHAR secondLine[kListTextLength];  // the lower line, usually in a smaller font
  HBITMAP icon;                       // may be NULL; borrowed, never freed by the list
  const void* userData;               // handed back unchanged by GetItem
};

class ScrollList : public TouchControl {
 public:
  enum SeparatorStyle { SeparatorLine = 0, SeparatorImage = 1 };
  enum SelectionStyle { SelectionSolid = 0, SelectionTiled = 3 };

  ScrollList(HINSTANCE instance, HWND hostWindow, int id);
  ~ScrollList();

  void Paint(HDC dc) override;
  int OnPenDown(HWND window, UINT reserved, int x, int y) override;
  int OnPenUp(HWND window, UINT reserved, int x, int y) override;
  int OnPenMove(HWND window, UINT reserved, int x, int y) override;

  // Appends a copy and clears the selection; the scroll offset stays. False
  // when there is no memory for the row.
  BOOL AddItem(const ListItem& item);
  // False, with `item` untouched, for an index outside the rows.
  BOOL GetItem(int index, ListItem* item) const;
  // A negative index clears the selection; false (nothing changed) on an
  // empty list or past the last row. Does not repaint.
  BOOL SetSelection(int index);
  int Selection() const { return selectedIndex; }
  int ItemCount() const { return itemCount; }

  // The glide runs on a timer of the owner's window.
  void StartGlide(HWND window, UINT_PTR timerId, UINT periodMs, TIMERPROC procedure);
  void StopGlide(HWND window, UINT_PTR timerId);
  void GlideStep(HWND window, UINT_PTR timerId);

  // Setters never repaint: the caller invalidates when the change must show.
  ScrollList& SetBackgroundColor(COLORREF color);
  ScrollList& SetFirstLineFont(HFONT handle);
  ScrollList& SetSecondLineFont(HFONT handle);
  ScrollList& SetFirstLineColors(COLORREF normal, COLORREF selected);
  ScrollList& SetSecondLineColors(COLORREF normal, COLORREF selected);
  // A line separator is one pixel of the stock black pen at the foot of each row.
  ScrollList& SetSeparatorStyle(int style);
  ScrollList& SetSeparatorImage(HBITMAP image);  // borrowed
  ScrollList& SetSelectionStyle(int style);
  ScrollList& SetSelectionColor(COLORREF color);
  ScrollList& SetSelectionImage(HBITMAP image);  // borrowed
  ScrollList& SetScrollIndicatorColor(COLORREF color);

  int GetItemHeight() const { return itemHeight; }
  int GetContentHeight() const { return contentHeight; }
  int GetScrollOffset() const { return scrollOffset; }
  // Pixels per millisecond, positive when the pen moved down the screen.
  double GetVelocity() const { return velocity; }
  BOOL IsDragging() const { return dragging; }
  BOOL IsGliding() const { return gliding; }

 private:
  ScrollList(const ScrollList&) = delete;
  ScrollList& operator=(const ScrollList&) = delete;

  enum Bounds { BoundsFits, BoundsTop, BoundsBottom, BoundsInside };

  int RowAt(int localY) const;
  Bounds Classify() const;
  void Clamp(Bounds bounds);
  void PaintRows(HDC dc, const RECT& view);
  void PaintRow(HDC dc, int index, const RECT& row);
  void PaintIndicator(HDC dc, const RECT& view);

  TextStyle firstLineStyle;   // the pressed colour is the selected row's
  TextStyle secondLineStyle;
  int separatorStyle;
  HBITMAP separatorImage;
  int selectionStyle;
  COLORREF selectionColor;
  HBITMAP selectionImage;
  int itemHeight;
  ListItem* items;
  int itemCount;
  int itemCapacity;
  int contentHeight;
  int scrollOffset;
  POINT pressPoint;
  int lastPenY;
  double pressTime;
  double lastTime;
  double velocity;
  BOOL dragging;
  BOOL gliding;
  COLORREF backgroundColor;
  int selectedIndex;
  COLORREF scrollIndicatorColor;
};
