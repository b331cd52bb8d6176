// A push button with a second line of text of its own (font, colours,
// margins, visibility), drawn over the caption and under the icon.
#pragma once

#include <windows.h>

#include "ui/core/ImageButton.h"

class TwoLineButton : public ImageButton {
 public:
  TwoLineButton(HINSTANCE instance, HWND hostWindow, int id);

  // Background, caption, subtitle, then the icon over all of them.
  void Paint(HDC dc) override;

  // An empty or NULL text keeps the subtitle as it was.
  TwoLineButton& SetSubtitle(LPCWSTR text);
  // Into a buffer of kCaptionLength characters; nothing for NULL.
  void GetSubtitle(LPWSTR buffer) const;
  TwoLineButton& SetSubtitleFont(HFONT handle);
  TwoLineButton& SetSubtitleColors(COLORREF normal, COLORREF whilePressed);
  // Device pixels.
  TwoLineButton& SetSubtitleMargins(int marginLeftPx, int marginTopPx, int marginRightPx, int marginBottomPx);
  TwoLineButton& SetSubtitleVisible(BOOL flag);

 private:
  WCHAR subtitle[kCaptionLength];
  TextStyle subtitleStyle;
  BOOL subtitleVisible;
};
