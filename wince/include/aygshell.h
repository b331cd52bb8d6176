// Windows Mobile shell.
#pragma once

#include "windows.h"

#ifdef __cplusplus
extern "C" {
#endif

// Loads a PNG (or BMP) file into a bitmap; the caller frees it with DeleteObject.
HBITMAP WINAPI SHLoadImageFile(LPCWSTR pszFileName);

#ifdef __cplusplus
}
#endif
