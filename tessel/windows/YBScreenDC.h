// The whole screen's device context for as long as the object lives: where
// controls measure their text before (or without) having a window. Safe on
// any thread: the context is attached to a CDC of its own rather than
// wrapped by FromHandle, so a worker that never idles keeps no temporary.
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

    CDC* cdc() { return &m_dc; }
    // One line of `text` in `font` (GetTextExtentPoint32W); (0, 0) for no text.
    CSize textExtent(const GFont& font, const kelp::KLString& text);

private:
    CDC m_dc;
};
