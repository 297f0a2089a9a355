// MFC's value classes over POINT, SIZE and RECT, with their usual members and
// operators. They add no data, so a CRect is a RECT wherever one is wanted.
#pragma once

#include <utility>

#include <tessel/platform/win_rect.h>
#include <tessel/platform/win_types.h>

class CSize;

class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int initX, int initY) : POINT{initX, initY} {}
    CPoint(POINT p) : POINT(p) {}  // NOLINT: as in MFC
    explicit CPoint(SIZE s) : POINT{s.cx, s.cy} {}
    // From a message's lParam: signed low and high words.
    explicit CPoint(LPARAM packed)
        : POINT{static_cast<SHORT>(LOWORD(packed)), static_cast<SHORT>(HIWORD(packed))} {}

    void SetPoint(int newX, int newY) { x = newX, y = newY; }
    void Offset(int dx, int dy) { x += dx, y += dy; }
    void Offset(POINT p) { Offset(p.x, p.y); }
    void Offset(SIZE s) { Offset(s.cx, s.cy); }

    // The same-type overloads keep C++20's reversed candidates from making
    // CPoint == CPoint ambiguous; != is rewritten from ==.
    bool operator==(POINT p) const { return x == p.x && y == p.y; }
    bool operator==(const CPoint& p) const { return x == p.x && y == p.y; }
    CPoint& operator+=(SIZE s) { return Offset(s), *this; }
    CPoint& operator-=(SIZE s) { return Offset(-s.cx, -s.cy), *this; }
    CPoint& operator+=(POINT p) { return Offset(p), *this; }
    CPoint& operator-=(POINT p) { return Offset(-p.x, -p.y), *this; }
    CPoint operator+(SIZE s) const { return {x + s.cx, y + s.cy}; }
    CPoint operator-(SIZE s) const { return {x - s.cx, y - s.cy}; }
    CPoint operator+(POINT p) const { return {x + p.x, y + p.y}; }
    CSize operator-(POINT p) const;
    CPoint operator-() const { return {-x, -y}; }
};

class CSize : public SIZE {
public:
    CSize() : SIZE{0, 0} {}
    CSize(int initCX, int initCY) : SIZE{initCX, initCY} {}
    CSize(SIZE s) : SIZE(s) {}  // NOLINT: as in MFC
    explicit CSize(POINT p) : SIZE{p.x, p.y} {}

    void SetSize(int newCX, int newCY) { cx = newCX, cy = newCY; }
    bool operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
    bool operator==(const CSize& s) const { return cx == s.cx && cy == s.cy; }
    CSize& operator+=(SIZE s) { return cx += s.cx, cy += s.cy, *this; }
    CSize& operator-=(SIZE s) { return cx -= s.cx, cy -= s.cy, *this; }
    CSize operator+(SIZE s) const { return {cx + s.cx, cy + s.cy}; }
    CSize operator-(SIZE s) const { return {cx - s.cx, cy - s.cy}; }
    CSize operator-() const { return {-cx, -cy}; }
    CPoint operator+(POINT p) const { return {cx + p.x, cy + p.y}; }
};

inline CSize CPoint::operator-(POINT p) const {
    return {x - p.x, y - p.y};
}

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& r) : RECT(r) {}  // NOLINT: as in MFC
    explicit CRect(LPCRECT r) : RECT(r ? *r : RECT{0, 0, 0, 0}) {}
    CRect(POINT topLeft, SIZE size)
        : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}
    CRect(POINT topLeft, POINT bottomRight)
        : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return {Width(), Height()}; }
    // References into the rectangle, as MFC gives them (ScreenToClient(&r.TopLeft())).
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
    CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
    const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(&left); }
    const CPoint& BottomRight() const { return *reinterpret_cast<const CPoint*>(&right); }
    CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }

    operator LPRECT() { return this; }         // NOLINT: as in MFC
    operator LPCRECT() const { return this; }  // NOLINT

    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }
    BOOL EqualRect(LPCRECT r) const { return ::EqualRect(this, r); }

    void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
    void SetRect(POINT topLeft, POINT bottomRight) {
        SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    }
    void SetRectEmpty() { ::SetRectEmpty(this); }
    void CopyRect(LPCRECT source) { ::CopyRect(this, source); }

    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    void InflateRect(SIZE s) { InflateRect(s.cx, s.cy); }
    void InflateRect(int l, int t, int r, int b) { left -= l, top -= t, right += r, bottom += b; }
    void InflateRect(LPCRECT r) { InflateRect(r->left, r->top, r->right, r->bottom); }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void DeflateRect(SIZE s) { InflateRect(-s.cx, -s.cy); }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    void DeflateRect(LPCRECT r) { DeflateRect(r->left, r->top, r->right, r->bottom); }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
    void MoveToX(int x) { right += x - left, left = x; }
    void MoveToY(int y) { bottom += y - top, top = y; }
    void MoveToXY(int x, int y) { MoveToX(x), MoveToY(y); }
    void MoveToXY(POINT p) { MoveToXY(p.x, p.y); }
    // Swaps sides so that left <= right and top <= bottom.
    void NormalizeRect() {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }

    BOOL IntersectRect(LPCRECT a, LPCRECT b) { return ::IntersectRect(this, a, b); }
    BOOL UnionRect(LPCRECT a, LPCRECT b) { return ::UnionRect(this, a, b); }
    BOOL SubtractRect(LPCRECT a, LPCRECT b) { return ::SubtractRect(this, a, b); }

    bool operator==(const RECT& r) const { return ::EqualRect(this, &r); }
    bool operator==(const CRect& r) const { return ::EqualRect(this, &r); }
    CRect& operator+=(POINT p) { return OffsetRect(p), *this; }
    CRect& operator+=(SIZE s) { return OffsetRect(s), *this; }
    CRect& operator+=(LPCRECT r) { return InflateRect(r), *this; }
    CRect& operator-=(POINT p) { return OffsetRect(-p.x, -p.y), *this; }
    CRect& operator-=(SIZE s) { return OffsetRect(-s.cx, -s.cy), *this; }
    CRect& operator-=(LPCRECT r) { return DeflateRect(r), *this; }
    CRect& operator&=(const RECT& r) { return ::IntersectRect(this, this, &r), *this; }
    CRect& operator|=(const RECT& r) { return ::UnionRect(this, this, &r), *this; }
    CRect operator+(POINT p) const {
        CRect r(*this);
        return r += p;
    }
    CRect operator+(SIZE s) const {
        CRect r(*this);
        return r += s;
    }
    CRect operator-(POINT p) const {
        CRect r(*this);
        return r -= p;
    }
    CRect operator-(SIZE s) const {
        CRect r(*this);
        return r -= s;
    }
    CRect operator&(const RECT& other) const {
        CRect r(*this);
        return r &= other;
    }
    CRect operator|(const RECT& other) const {
        CRect r(*this);
        return r |= other;
    }
};
