// The loader thread: builds every subsystem object behind the splash screen.
#pragma once

#include <windows.h>

// Runs the eleven start-up steps, keeps the splash up for at least 2000 ms,
// then clears `loading`. The parameter is ignored; returns 1.
DWORD WINAPI LoaderThread(LPVOID parameter);
