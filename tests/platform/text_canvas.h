// A canvas with a 13-pixel Arial selected, black text on a transparent background.
#pragma once

#include <cwchar>

#include "canvas.h"

inline HFONT makeFont(const wchar_t* face, int height = -13) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

class TextCanvas : public Canvas {
public:
    TextCanvas(int width, int height) : Canvas(width, height), m_font(makeFont(L"Arial")) {
        m_old = SelectObject(dc(), m_font);
        SetBkMode(dc(), TRANSPARENT);
        SetTextColor(dc(), RGB(0, 0, 0));
        GetTextMetricsW(dc(), &m_tm);
    }
    ~TextCanvas() {
        SelectObject(dc(), m_old);
        DeleteObject(m_font);
    }
    const TEXTMETRICW& tm() const { return m_tm; }
    SIZE extent(const wchar_t* text) const {
        SIZE s{};
        GetTextExtentPoint32W(dc(), text, static_cast<int>(std::wcslen(text)), &s);
        return s;
    }
    // Dark pixels in the rows [top, bottom) and columns [left, right).
    int inkIn(int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += dark(x, y);
        return n;
    }

private:
    HFONT m_font;
    HGDIOBJ m_old;
    TEXTMETRICW m_tm{};
};
