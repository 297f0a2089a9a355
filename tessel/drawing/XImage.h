// Invariant: either empty or holding one decoded image of its own; copies
// never share pixels, and drawing never changes the image.
//
//   XImage icon;
//   if (icon.load(L"/usr/share/icons/save.png", 0))
//       icon.draw(dc, CRect(0, 0, 24, 24), XImage::Smooth | XImage::KeepAspect, 255, nullptr);
#pragma once

#include <tessel/drawing/ImageData.h>
#include <tessel/foundation/KLString.h>
#include <tessel/platform/afx_geometry.h>

class XDC;

class XImage {
public:
    // load flags; other bits are ignored, 0 loads the image as it is.
    static constexpr unsigned LoadGrayscale = 0x1;  // greyed at load, as for disabled icons

    // draw modes; other bits are ignored.
    static constexpr unsigned Smooth = 0x2;      // bilinear scaling instead of nearest pixel
    static constexpr unsigned KeepAspect = 0x8;  // fit inside rect, centred, aspect ratio kept

    XImage() = default;
    XImage(const XImage& other) = default;
    XImage& operator=(const XImage& other) = default;

    // Decodes the file (format from its content); on failure the image is empty.
    bool load(const kelp::KLString& path, unsigned flags);
    bool isValid() const { return m_data.valid(); }
    int width() const { return m_data.width(); }
    int height() const { return m_data.height(); }

    // alpha is the constant opacity, clamped to 0..255 (255 opaque). `second`,
    // when valid, is drawn over this image with the same rect, mode and alpha:
    // an overlay such as a badge.
    void draw(XDC& dc, CRect rect, unsigned mode, short alpha, XImage* second);
    void draw(HDC dc, CRect rect, unsigned mode, short alpha, XImage* second);

    const tessel::drawing::ImageData& data() const { return m_data; }

private:
    void drawOne(HDC dc, const CRect& rect, unsigned mode, BYTE alpha) const;

    tessel::drawing::ImageData m_data;
};
