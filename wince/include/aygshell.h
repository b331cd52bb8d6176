// Windows Mobile shell.
#pragma once

#include "windows.h"

#ifdef __cplusplus
extern "C" {
#endif

// Loads a PNG file into a bitmap (32 bits a pixel, opaque: any alpha channel is
// ignored); NULL when the file is missing or not a valid PNG. The caller frees
// it with DeleteObject. (The phone also reads BMP; nothing here needs it.)
HBITMAP WINAPI SHLoadImageFile(LPCWSTR pszFileName);

#ifdef __cplusplus
}
#endif
