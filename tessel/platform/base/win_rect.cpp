#include <tessel/platform/win_rect.h>

#include <algorithm>
#include <cstdlib>

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (!rect) return FALSE;
    *rect = {left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT rect) {
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL CopyRect(LPRECT destination, const RECT* source) {
    if (!destination || !source) return FALSE;
    *destination = *source;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* rect) {
    return !rect || rect->right <= rect->left || rect->bottom <= rect->top;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
    if (!a || !b) return FALSE;
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* rect, POINT point) {
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top &&
           point.y < rect->bottom;
}

BOOL IntersectRect(LPRECT destination, const RECT* a, const RECT* b) {
    if (!destination || !a || !b) return FALSE;
    const RECT overlap{std::max(a->left, b->left), std::max(a->top, b->top),
                       std::min(a->right, b->right), std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&overlap)) {
        SetRectEmpty(destination);
        return FALSE;
    }
    *destination = overlap;
    return TRUE;
}

BOOL UnionRect(LPRECT destination, const RECT* a, const RECT* b) {
    if (!destination || !a || !b) return FALSE;
    if (IsRectEmpty(a)) {
        if (IsRectEmpty(b)) return SetRectEmpty(destination), FALSE;
        *destination = *b;
    } else if (IsRectEmpty(b)) {
        *destination = *a;
    } else {
        *destination = {std::min(a->left, b->left), std::min(a->top, b->top),
                        std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
    }
    return TRUE;
}

BOOL SubtractRect(LPRECT destination, const RECT* a, const RECT* b) {
    if (!destination || !a || !b) return FALSE;
    RECT result = *a;
    RECT overlap;
    if (IntersectRect(&overlap, a, b)) {
        const bool fullWidth = overlap.left == a->left && overlap.right == a->right;
        const bool fullHeight = overlap.top == a->top && overlap.bottom == a->bottom;
        if (fullWidth && fullHeight) return SetRectEmpty(destination), FALSE;
        if (fullWidth && overlap.top == a->top)
            result.top = overlap.bottom;
        else if (fullWidth && overlap.bottom == a->bottom)
            result.bottom = overlap.top;
        else if (fullHeight && overlap.left == a->left)
            result.left = overlap.right;
        else if (fullHeight && overlap.right == a->right)
            result.right = overlap.left;
    }
    *destination = result;
    return !IsRectEmpty(&result);
}

BOOL OffsetRect(LPRECT rect, int dx, int dy) {
    if (!rect) return FALSE;
    rect->left += dx, rect->right += dx, rect->top += dy, rect->bottom += dy;
    return TRUE;
}

BOOL InflateRect(LPRECT rect, int dx, int dy) {
    if (!rect) return FALSE;
    rect->left -= dx, rect->right += dx, rect->top -= dy, rect->bottom += dy;
    return TRUE;
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    long long product = static_cast<long long>(number) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const long long magnitude =
        (std::llabs(product) + std::llabs(denominator) / 2) / std::llabs(denominator);
    const long long result = negative ? -magnitude : magnitude;
    if (result > 0x7FFFFFFF || result < -0x7FFFFFFFLL - 1) return -1;
    return static_cast<int>(result);
}
