// What each control's notification does: the command table of the main window.
#pragma once

#include <windows.h>

// WM_COMMAND: the control id in the low word of `wParam`, the code in the
// high word, the control in `lParam`. 0 for a handled row; the default
// procedure's result for any other id or code.
LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam);

// The glide timer's procedure: one glide step of the sound browser's list.
void CALLBACK GlideSoundList(HWND window, UINT message, UINT_PTR timerId, DWORD time);

// The slot (1..5) a Sounds-page slot button's id stands for; 0 for any other
// value.
int SlotOfBrowserId(LONG id);
