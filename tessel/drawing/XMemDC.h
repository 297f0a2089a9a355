#pragma once

#include <memory>
#include <vector>

#include <tessel/drawing/XDC.h>

// An off-screen buffer over a target context, used as an XDC while painting.
// It covers only the target's clip box (what is being painted), starts with
// the target's pixels, font and colours there, and copies its content onto
// the target when destroyed, so a scene reaches the screen in one blit.
// The buffer's memory is kept for the next XMemDC of the thread. Without
// memory for a buffer, drawing goes straight onto the target.
//
// Invariant: the buffer's pixels are the target's, or drawn, everywhere
// within m_box outside the opaque rectangles in m_painted, unless m_fetched
// is false; the target's pixels are fetched only where a drawing needs them
// (a painter that fills what it draws on never pays for the fetch).
//
//   XMemDC buffer(dc);
//   buffer.FillRect(client, RGB(255, 255, 255));
//   drawEverything(buffer);   // reaches dc at the end of the scope
class XMemDC : public XDC {
public:
    explicit XMemDC(XDC& target);
    ~XMemDC() override;

    struct Buffer;  // memory DC and bitmap, reused

private:
    bool aboutToDraw(const CRect* area, bool opaque) const override;
    // Fetches the target's pixels wherever nothing opaque was painted yet.
    void fetchUnpainted() const;
    void notePainted(const CRect& rect) const;
    bool insidePainted(const CRect& rect) const;

    XDC& m_target;
    std::unique_ptr<Buffer> m_buffer;
    CRect m_box;                           // the target's clip box, logical coordinates
    mutable bool m_drawn = false;          // something was drawn: the buffer goes out
    mutable bool m_fetched = false;        // the target's pixels are in wherever needed
    mutable std::vector<CRect> m_painted;  // opaque fills before the fetch, rows merged
    int m_savedTarget = 0;  // SaveDC level of the target when drawing on it unbuffered
};
