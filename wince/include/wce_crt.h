// The wide-text and file functions of the device's C run-time that glibc lacks.
#pragma once

#include <errno.h>
#include <stdio.h>

#include "windef.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef int errno_t;

// wcsncpy_s count meaning "copy what fits", and its result when it cut.
#define _TRUNCATE ((size_t)-1)
#define STRUNCATE 80
// What the case-insensitive compares return for a null argument.
#define _NLSCMPERROR 2147483647

// Bounds-checked copy and append: on any failure (null pointers, zero size, a
// result that does not fit) the destination becomes empty (when it can be
// written at all) and nothing is written past the bound. Results: 0, EINVAL
// (null pointer, zero size, unterminated destination), ERANGE (does not fit).
// The device's run-time would also call its invalid-parameter handler, which
// by default ends the program; this one only returns the error.
errno_t wcscpy_s(wchar_t* dest, size_t destSize, const wchar_t* src);
errno_t wcscat_s(wchar_t* dest, size_t destSize, const wchar_t* src);
// Copies at most `count` characters of src; count _TRUNCATE copies what fits
// and returns STRUNCATE when it had to cut.
errno_t wcsncpy_s(wchar_t* dest, size_t destSize, const wchar_t* src, size_t count);

// Compare after lowering each code point; <0, 0, >0 like wcscmp.
int _wcsicmp(const wchar_t* a, const wchar_t* b);
int _wcsnicmp(const wchar_t* a, const wchar_t* b, size_t count);
// Leading white space, an optional sign, decimal digits up to the first
// non-digit. Out of range: clamped to the 32-bit limits (long is 32 bits on the
// device) with errno ERANGE. Null: 0.
int _wtoi(const wchar_t* text);
long _wtol(const wchar_t* text);

// Opens a device path (backslashes) on the host's file system. Modes: r, w or a,
// then any of +, b, t. Null path or mode, or another mode: NULL with EINVAL.
FILE* _wfopen(const wchar_t* path, const wchar_t* mode);

#ifdef __cplusplus
}
#endif
