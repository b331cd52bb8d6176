// The program's entry, as the platform's loader calls it.
#pragma once

#include <windows.h>

// Starts the program (or raises the one already running) and runs its message
// loop; returns the quit message's code, or 0 when start-up stops early.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);

// Destroys every object and clears every field, as at process start. For a
// host or test that runs the program more than once in one process.
void ResetAppState();
