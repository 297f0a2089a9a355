// The whole screen's device context for as long as the object lives: where
// controls measure their text before (or without) having a window.
//
//   YBScreenDC screen;
//   CSize extent = screen.textExtent(font, text);
#pragma once

#include <tessel/drawing/GFont.h>
#include <tessel/foundation/KLString.h>
#include <tessel/platform/afx_dc.h>

class YBScreenDC {
public:
    YBScreenDC();
    ~YBScreenDC();
    YBScreenDC(const YBScreenDC&) = delete;
    YBScreenDC& operator=(const YBScreenDC&) = delete;

    CDC* cdc() { return m_dc; }
    // One line of `text` in `font` (GetTextExtentPoint32W); (0, 0) for no text.
    CSize textExtent(const GFont& font, const kelp::KLString& text);

private:
    HDC m_handle;
    CDC* m_dc;  // a temporary wrapper of m_handle
};
