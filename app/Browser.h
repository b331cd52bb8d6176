// Starting the device's default web browser on an address.
#pragma once

#include <windows.h>

// Reads the browser's command line from the registry and starts its program
// with `address` as the whole command line. Nothing is reported either way.
void OpenInDefaultBrowser(LPCWSTR address);
