#include <tessel/drawing/CxImage.h>

#include <tessel/platform/text_encoding.h>

namespace {

DWORD typeOf(tessel::drawing::ImageData::Format format) {
    using Format = tessel::drawing::ImageData::Format;
    switch (format) {
        case Format::Bmp:
            return CXIMAGE_FORMAT_BMP;
        case Format::Gif:
            return CXIMAGE_FORMAT_GIF;
        case Format::Jpeg:
            return CXIMAGE_FORMAT_JPG;
        case Format::Png:
            return CXIMAGE_FORMAT_PNG;
        default:
            return CXIMAGE_FORMAT_UNKNOWN;
    }
}

}  // namespace

CxImage::CxImage(DWORD imageType) : m_type(imageType) {}

bool CxImage::Load(const wchar_t* path, DWORD imageType) {
    Destroy();
    if (!path || !m_data.load(tessel::encodeUtf8(path))) return false;
    const DWORD detected = typeOf(m_data.format());
    if (imageType != CXIMAGE_FORMAT_UNKNOWN && imageType != detected) {
        m_data.clear();
        return false;
    }
    m_type = detected;
    return true;
}

bool CxImage::Destroy() {
    m_data.clear();
    return true;
}

bool CxImage::Copy(const CxImage& src, bool copyPixels, bool /*copySelection*/, bool copyAlpha) {
    if (this == &src && !copyPixels) return false;
    const bool copied = copyPixels ? m_data.copy(src.m_data, copyAlpha)
                                   : m_data.create(src.m_data.width(), src.m_data.height());
    if (!copied) return false;
    m_type = src.m_type;
    return true;
}

bool CxImage::GrayScale() {
    return m_data.grayscale();
}

long CxImage::Draw(HDC dc, const RECT& rect, RECT* clipRect, bool smooth) {
    return m_data.draw(dc, rect, clipRect, smooth, 255) ? 1 : 0;
}
