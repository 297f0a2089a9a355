// The user32 rectangle helpers and MulDiv. Rectangles are left/top
// inclusive, right/bottom exclusive; a rectangle with right <= left or
// bottom <= top is empty. Null pointers make the calls fail (FALSE).
#pragma once

#include <tessel/platform/win_types.h>

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT rect);
BOOL CopyRect(LPRECT destination, const RECT* source);
BOOL IsRectEmpty(const RECT* rect);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rect, POINT point);
// The overlap of a and b; an empty result is stored as (0, 0, 0, 0) and gives FALSE.
BOOL IntersectRect(LPRECT destination, const RECT* a, const RECT* b);
// The smallest rectangle holding both; empty sources are ignored.
BOOL UnionRect(LPRECT destination, const RECT* a, const RECT* b);
// a minus b when the result is a rectangle, else a itself.
BOOL SubtractRect(LPRECT destination, const RECT* a, const RECT* b);
BOOL OffsetRect(LPRECT rect, int dx, int dy);
BOOL InflateRect(LPRECT rect, int dx, int dy);
// number * numerator / denominator, rounded half away from zero, in 64 bits; -1 when denominator is
// 0.
int MulDiv(int number, int numerator, int denominator);
