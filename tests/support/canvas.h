// A memory DC over a white bitmap, with direct access to its pixels.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include <tessel/platform/gdi.h>

class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height) {
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateCompatibleBitmap(m_dc, width, height);
        m_old = SelectObject(m_dc, m_bitmap);
        clear(RGB(255, 255, 255));
    }
    ~Canvas() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    void clear(COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        RECT all{0, 0, m_width, m_height};
        FillRect(m_dc, &all, brush);
        DeleteObject(brush);
    }

    // The pixel as COLORREF, read from the bits rather than through GetPixel.
    COLORREF at(int x, int y) const {
        BITMAP bm{};
        GdiFlush();
        if (GetObject(m_bitmap, sizeof(BITMAP), &bm) != sizeof(BITMAP) || !bm.bmBits)
            return CLR_INVALID;
        const auto* row = static_cast<const std::uint8_t*>(bm.bmBits) + y * bm.bmWidthBytes;
        const std::uint8_t* p = row + x * 4;
        return RGB(p[2], p[1], p[0]);
    }

    bool dark(int x, int y) const {
        const COLORREF c = at(x, y);
        return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 160;
    }

    // The bounding box of dark pixels; empty when there are none.
    RECT ink() const {
        RECT box{m_width, m_height, 0, 0};
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (dark(x, y))
                    box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                               std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
        if (box.right == 0) box = RECT{0, 0, 0, 0};
        return box;
    }

    struct Probe {
        int x, y;
        COLORREF color;
    };
    // Each listed pixel has its colour; a failure names the pixel.
    void expectPixels(std::initializer_list<Probe> probes) const {
        for (const Probe& p : probes)
            EXPECT_EQ(at(p.x, p.y), p.color) << "at " << p.x << "," << p.y;
    }

    // Rows [top, bottom) (all by default) show what `other` shows there; a
    // failure counts the differing pixels and names the first.
    ::testing::AssertionResult samePixels(const Canvas& other, int top = 0, int bottom = -1) const {
        int differing = 0, firstX = 0, firstY = 0;
        for (int y = top; y < (bottom < 0 ? m_height : bottom); ++y)
            for (int x = 0; x < m_width; ++x)
                if (at(x, y) != other.at(x, y) && differing++ == 0) firstX = x, firstY = y;
        if (differing == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << differing << " pixels differ, the first at " << firstX
                                             << "," << firstY << ": 0x" << std::hex
                                             << at(firstX, firstY) << " against 0x"
                                             << other.at(firstX, firstY);
    }

    int inkCount() const {
        int n = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                n += dark(x, y);
        return n;
    }

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
