#pragma once

#include <memory>

#include <tessel/drawing/XDC.h>

// An off-screen buffer over a target context, used as an XDC while painting.
// It covers only the target's clip box (what is being painted), starts with
// the target's pixels, font and colours there, and copies its content onto
// the target when destroyed, so a scene reaches the screen in one blit.
// The buffer's memory is kept for the next XMemDC of the thread, and the
// target's pixels are fetched only when the first drawing would not cover
// them all (a painter usually starts by filling its background).
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
    void aboutToDraw(const CRect* area) const override;

    XDC& m_target;
    mutable bool m_pristine = false;  // the target's pixels are not fetched yet
    std::unique_ptr<Buffer> m_buffer;
    CRect m_box;  // the target's clip box, logical coordinates
};
