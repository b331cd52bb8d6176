// The control tree: every control of every page, placed, skinned and hung
// under the root panel once at start-up. Pages change later only by showing
// and hiding panels.
#pragma once

#include <windows.h>

// Creates the 62 controls into their AppState fields from the screen's size
// and dpi at this moment, the skin and the resource pictures, each hung in its
// panel as it is made. A control that cannot be made stays NULL and its panel
// skips it. Returns 1.
int BuildScreen();
// Deletes every control BuildScreen made and clears every control field; for
// a host or test that runs the program again in the same process.
void DeleteControls();

// The About page's texts and the page the donation button opens.
extern const WCHAR kWebAddress[];
extern const WCHAR kMailAddress[];
extern const WCHAR kNoticeText[];
extern const WCHAR kDonationPage[];
