// Invariant: either empty, or holding one decoded image whose GetType() is the
// format its content was detected as; copies never share pixels.
//
//   CxImage image;
//   if (image.Load(L"/usr/share/pixmaps/logo.png", CXIMAGE_FORMAT_PNG))
//       image.Draw(dc, RECT{0, 0, 48, 48}, nullptr, true);
#pragma once

#include <tessel/drawing/ImageData.h>
#include <tessel/platform/win_types.h>

#define CXIMAGE_FORMAT_UNKNOWN 0
#define CXIMAGE_FORMAT_BMP 1
#define CXIMAGE_FORMAT_GIF 2
#define CXIMAGE_FORMAT_JPG 3
#define CXIMAGE_FORMAT_PNG 4

class CxImage {
public:
    // imageType is what GetType() reports until an image is loaded.
    explicit CxImage(DWORD imageType = CXIMAGE_FORMAT_UNKNOWN);
    CxImage(const CxImage& other) = default;
    CxImage& operator=(const CxImage& other) = default;

    // imageType 0 accepts any decodable content; any other type must match the
    // content's format, else the load fails. A failed load leaves the image empty.
    bool Load(const wchar_t* path, DWORD imageType = CXIMAGE_FORMAT_UNKNOWN);
    bool IsValid() const { return m_data.valid(); }
    // Empties the image; true once it holds nothing.
    bool Destroy();

    DWORD GetWidth() const { return static_cast<DWORD>(m_data.width()); }
    DWORD GetHeight() const { return static_cast<DWORD>(m_data.height()); }
    // Only PNG, JPEG and GIF content loads (ImageData::load); BMP and any
    // other format are refused as corrupt files are.
    DWORD GetType() const { return m_type; }

    // Images have no selection here, so copySelection has nothing to copy.
    // copyPixels false gives a fully transparent image of src's size; copyAlpha false makes the
    // copy opaque.
    bool Copy(const CxImage& src, bool copyPixels = true, bool copySelection = true,
              bool copyAlpha = true);
    bool GrayScale();

    // Scales the image into rect (per-pixel alpha); 1 when drawn, 0 otherwise.
    long Draw(HDC dc, const RECT& rect, RECT* clipRect = nullptr, bool smooth = false);

    const tessel::drawing::ImageData& data() const { return m_data; }

private:
    tessel::drawing::ImageData m_data;
    DWORD m_type;
};
