#pragma once

#include <string>

#include <tessel/platform/afx_dc.h>
#include <tessel/platform/afx_gdi.h>

// A font description with the colour its text is drawn in. A description
// (face, size, style and the platform font behind it) is made once per
// process and shared by every GFont that names it: a GFont is a pointer and
// a colour, so the eight styles of a button cost a few bytes each, and
// copying and selecting cost nothing.
//
//   GFont caption("Arial", 7.0, GFont::Bold, RGB(0, 0, 0));
//   CFont* old = caption.select(dc);   // font and text colour
//   dc->SelectObject(old);
class GFont {
public:
    // Style bits.
    static constexpr int Bold = 1;
    static constexpr int Italic = 2;
    static constexpr int Underline = 4;
    static constexpr int StrikeOut = 8;

    GFont();  // "Arial", 10 points, plain, black
    // size in points at 96 DPI; a size of 0 or less is taken as 10.
    GFont(const char* face, double size, int style, COLORREF color);
    GFont(const GFont&) = default;
    GFont& operator=(const GFont&) = default;

    // Selects the font into the context and sets the context's text colour to
    // m_color; returns the font that was selected before.
    CFont* select(CDC* dc) const;

    HFONT handle() const;
    const std::wstring& face() const;
    double size() const;
    int style() const;

private:
    struct Description;
    // Shared, lives as long as the process. First, so that the colour leaves
    // tail padding a containing record can use.
    const Description* m_description;

public:
    COLORREF m_color = RGB(0, 0, 0);  // the text colour; callers read and replace it
};
