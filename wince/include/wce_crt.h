// The wide-text and file functions of the device's C run-time that glibc lacks.
#pragma once

#include <stdio.h>

#include "windef.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef int errno_t;

// Bounds-checked copy and append: on any failure (null pointers, zero size, a
// result that does not fit) the destination becomes empty (when it can be
// written at all) and nothing is written past the bound.
errno_t wcscpy_s(wchar_t* dest, size_t destSize, const wchar_t* src);
errno_t wcscat_s(wchar_t* dest, size_t destSize, const wchar_t* src);
errno_t wcsncpy_s(wchar_t* dest, size_t destSize, const wchar_t* src, size_t count);

int _wcsicmp(const wchar_t* a, const wchar_t* b);
int _wcsnicmp(const wchar_t* a, const wchar_t* b, size_t count);
int _wtoi(const wchar_t* text);
long _wtol(const wchar_t* text);

// Opens a device path (backslashes) on the host's file system.
FILE* _wfopen(const wchar_t* path, const wchar_t* mode);

#ifdef __cplusplus
}
#endif
