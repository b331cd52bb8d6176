// The rectangle helpers of winuser.h. Right and bottom are exclusive; a
// rectangle with right <= left or bottom <= top is empty. Sums wrap as the
// platform's 32-bit arithmetic does, rather than overflowing.
#include <windows.h>

#include <cstdint>

#include "user/rects.h"

namespace {

LONG Add(LONG a, int64_t b) { return static_cast<LONG>(static_cast<uint32_t>(static_cast<int64_t>(a) + b)); }

}  // namespace

using wce::user::Bounds;
using wce::user::Intersection;
using wce::user::IsEmpty;

extern "C" {

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
  if (!lprc) return FALSE;
  *lprc = RECT{xLeft, yTop, xRight, yBottom};
  return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT lprc) { return SetRect(lprc, 0, 0, 0, 0); }

BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT* lprcSrc) {
  if (!lprcDst || !lprcSrc) return FALSE;
  *lprcDst = *lprcSrc;
  return TRUE;
}

BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  *lprc = RECT{Add(lprc->left, -int64_t{dx}), Add(lprc->top, -int64_t{dy}), Add(lprc->right, dx),
               Add(lprc->bottom, dy)};
  return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  *lprc = RECT{Add(lprc->left, dx), Add(lprc->top, dy), Add(lprc->right, dx), Add(lprc->bottom, dy)};
  return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* lprc) { return !lprc || IsEmpty(*lprc); }

BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
  return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

// No overlap, or an empty input, gives the empty rectangle (0, 0, 0, 0) and FALSE.
BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
  if (!lprcDst || !lprcSrc1 || !lprcSrc2) return FALSE;
  RECT r = IsEmpty(*lprcSrc1) || IsEmpty(*lprcSrc2) ? RECT{0, 0, 0, 0} : Intersection(*lprcSrc1, *lprcSrc2);
  *lprcDst = r;
  return !IsEmpty(r);
}

// Empty inputs add nothing; two empty ones give (0, 0, 0, 0) and FALSE.
BOOL WINAPI UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
  if (!lprcDst || !lprcSrc1 || !lprcSrc2) return FALSE;
  RECT r = Bounds(*lprcSrc1, *lprcSrc2);
  if (IsEmpty(r)) r = RECT{0, 0, 0, 0};
  *lprcDst = r;
  return !IsEmpty(r);
}

BOOL WINAPI EqualRect(const RECT* lprc1, const RECT* lprc2) {
  if (!lprc1 || !lprc2) return FALSE;
  return lprc1->left == lprc2->left && lprc1->top == lprc2->top && lprc1->right == lprc2->right &&
         lprc1->bottom == lprc2->bottom;
}

}  // extern "C"
