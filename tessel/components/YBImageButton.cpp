#include "YBImageButton.h"

#include <algorithm>

#include <tessel/foundation/KLFileInfo.h>
#include <tessel/foundation/KLFilename.h>
#include <tessel/windows/YBKeyboardCues.h>
#include <tessel/windows/YBScreenDC.h>

namespace {
constexpr const char* kSuffixes[YBImageButton::stateCount] = {
    "-disabled",          "-normal",          "-over",          "-pressed",
    "-selected-disabled", "-selected-normal", "-selected-over", "-selected-pressed"};
constexpr const char* kExtensions[] = {".png", ".jpg", ".gif", nullptr};
}  // namespace

YBImageButton::YBImageButton(unsigned int id, CWnd* owner) : YBButton(id, owner) {
    m_buttonImages[stateCount - 1] = nullptr;  // eight empty slots
}

YBImageButton::YBImageButton(unsigned int id, const kelp::KLString& directory,
                             const kelp::KLString& baseName, const kelp::KLString& caption,
                             const GFont& font, const kelp::KLIntegerArray& captionColors,
                             CWnd* owner)
    : YBButton(id, owner), m_buttonTextFont() {
    m_buttonImages[stateCount - 1] = nullptr;
    setButtonTextFont(font);
    for (int i = 0; i < std::min<int>(stateCount, captionColors.size()); ++i)
        m_buttonTextColors[i] = captionColors.get(i);
    setButtonText(caption);
    loadImages(directory, baseName);
}

// Copies duplicate the images, so each button deletes only its own.
YBImageButton::YBImageButton(const YBImageButton& other)
    : YBButton(other),
      m_imageSize(other.m_imageSize),
      m_textSize(other.m_textSize),
      m_buttonText(other.m_buttonText),
      m_padding(other.m_padding),
      m_buttonTextFont(other.m_buttonTextFont),
      m_buttonTextColors(other.m_buttonTextColors) {
    copyImagesFrom(other);
}

YBImageButton& YBImageButton::operator=(const YBImageButton& other) {
    if (this == &other) return *this;
    YBButton::operator=(other);
    m_imageSize = other.m_imageSize;
    m_textSize = other.m_textSize;
    m_buttonText = other.m_buttonText;
    m_padding = other.m_padding;
    m_buttonTextFont = other.m_buttonTextFont;
    m_buttonTextColors = other.m_buttonTextColors;
    deleteImages();
    copyImagesFrom(other);
    return *this;
}

YBImageButton::~YBImageButton() {
    deleteImages();
}

void YBImageButton::deleteImages() {
    for (std::size_t i = 0; i < m_buttonImages.size(); ++i)
        delete m_buttonImages.get(static_cast<int>(i));
    m_buttonImages.clear();
}

void YBImageButton::copyImagesFrom(const YBImageButton& other) {
    m_buttonImages[std::max<int>(stateCount, static_cast<int>(other.m_buttonImages.size())) - 1] =
        nullptr;
    for (std::size_t i = 0; i < other.m_buttonImages.size(); ++i) {
        if (const CxImage* image = other.m_buttonImages.get(static_cast<int>(i)))
            m_buttonImages[static_cast<int>(i)] = new CxImage(*image);
    }
}

CxImage* YBImageButton::slot(int state) const {
    if (state < 0 || static_cast<std::size_t>(state) >= m_buttonImages.size()) return nullptr;
    return m_buttonImages.get(state);
}

void YBImageButton::loadImages(const kelp::KLString& directory, const kelp::KLString& baseName) {
    for (int state = 0; state < stateCount; ++state) {
        kelp::KLString name = baseName;
        name += kSuffixes[state];
        for (const char* const* extension = kExtensions; *extension; ++extension) {
            kelp::KLString path =
                kelp::KLFilename::concatPaths(directory, name, kelp::KLFilename::Native);
            path += *extension;
            // Every existing file is loaded in turn: the last extension found wins.
            if (kelp::KLFileInfo::isFile(path)) setButtonImage(state, path);
        }
    }
}

void YBImageButton::setButtonImage(int state, const kelp::KLString& path) {
    if (state < 0) return;
    // A state above the eight grows the table; the new slots start empty.
    CxImage*& image = m_buttonImages[state];
    if (!image) image = new CxImage(CXIMAGE_FORMAT_UNKNOWN);
    if (image->IsValid()) image->Destroy();
    image->Load(path, CXIMAGE_FORMAT_UNKNOWN);  // the format is read from the file's contents
    recomputeImageSize();
    updateSizes();
}

void YBImageButton::recomputeImageSize() {
    m_imageSize = CSize(0, 0);
    for (std::size_t i = 0; i < m_buttonImages.size(); ++i) {
        const CxImage* image = m_buttonImages.get(static_cast<int>(i));
        if (!image) continue;
        const int width = static_cast<int>(image->GetWidth()) + m_padding.left + m_padding.right;
        const int height = static_cast<int>(image->GetHeight()) + m_padding.top + m_padding.bottom;
        m_imageSize.cx = std::max(static_cast<int>(m_imageSize.cx), width);
        m_imageSize.cy = std::max(static_cast<int>(m_imageSize.cy), height);
    }
}

void YBImageButton::setButtonText(const kelp::KLString& text) {
    m_buttonText = text;
    measureText();
    updateSizes();
    if (host()) notifyAccess(EVENT_OBJECT_NAMECHANGE);  // listed, so on the host's thread
}

void YBImageButton::setButtonTextFont(const GFont& font) {
    m_buttonTextFont = font;
    measureText();
    updateSizes();
}

// Buttons may be built on any thread: YBScreenDC is safe there.
void YBImageButton::measureText() {
    m_textSize = YBScreenDC().textExtent(m_buttonTextFont, m_buttonText);
}

void YBImageButton::setButtonTextColor(int state, COLORREF color) {
    m_buttonTextColors[state] = static_cast<int>(color);
}

void YBImageButton::setButtonTextColors(const kelp::KLIntegerArray& colors) {
    for (int i = 0; i < stateCount && i < colors.size(); ++i)
        m_buttonTextColors[i] = colors.get(i);
}

void YBImageButton::updateSizes() {
    const CSize size(std::max(m_imageSize.cx, m_textSize.cx), m_imageSize.cy + m_textSize.cy + 1);
    setMinSize(size);
    setInitialSize(size);
}

int YBImageButton::imageState() const {
    if (isDisabled()) return stateDisabled;
    const int base = isSelected() ? stateSelectedNormal : stateNormal;
    // The selected states repeat the plain ones in the same order.
    if (isPressed()) return base + (statePressed - stateNormal);
    if (isMouseOver()) return base + (stateOver - stateNormal);
    return base;
}

void YBImageButton::onDraw(XDC& dc) {
    if (m_buttonImages.size() <= stateNormal) m_buttonImages[stateNormal] = nullptr;
    CxImage* normal = m_buttonImages.get(stateNormal);
    CRect r = m_rect;
    r.left += m_padding.left;
    r.right -= m_padding.right;
    r.top += m_padding.top;
    r.bottom -= m_padding.bottom;

    const int state = imageState();
    if (state == stateDisabled && !slot(stateDisabled) && normal) {
        // Made once and kept: later changes of the normal image leave it as it is.
        auto* gray = new CxImage(CXIMAGE_FORMAT_UNKNOWN);
        gray->Copy(*normal, true, true, true);
        gray->GrayScale();
        m_buttonImages[stateDisabled] = gray;
    }
    CxImage* image = slot(state);
    if (!image) image = normal;
    if (image) {
        CRect imageRect;
        imageRect.left = r.left + (r.right - m_imageSize.cx - r.left) / 2;
        imageRect.right = imageRect.left + m_imageSize.cx;
        imageRect.top = r.top;
        imageRect.bottom = r.top + m_imageSize.cy;
        image->Draw(dc, imageRect, nullptr, false);
    }
    CRect caption(r.left, r.bottom - m_textSize.cy, r.right, r.bottom);
    CFont* previous = m_buttonTextFont.select(dc.cdc());
    dc.setTextColor(static_cast<COLORREF>(m_buttonTextColors.get(state)));
    dc.drawText(m_buttonText, caption,
                DT_CENTER | YBKeyboardCues::prefixFormat(m_owner, m_buttonText));
    if (previous) dc.cdc()->SelectObject(previous);
}
