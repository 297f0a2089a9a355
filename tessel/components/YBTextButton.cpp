#include "YBTextButton.h"

#include <algorithm>

#include <tessel/windows/YBKeyboardCues.h>
#include <tessel/windows/YBScreenDC.h>
#include <tessel/windows/YBTextButtonLook.h>

YBTextButton::YBTextButton(unsigned int id, const kelp::KLString& text, const GFont& font,
                           int width, int height, CWnd* owner)
    : YBButton(id, owner),
      m_text(text),
      m_padding(YBTextButtonLook::defaultPadding, YBTextButtonLook::defaultPadding,
                YBTextButtonLook::defaultPadding, YBTextButtonLook::defaultPadding),
      m_fixedWidth(width),
      m_fixedHeight(height) {
    YBTextButtonLook::setInitialStyles(m_styles, font);
    calcSize();
}

YBTextButton::~YBTextButton() = default;

void YBTextButton::setText(const kelp::KLString& text) {
    m_text = text;
    calcSize();
    if (host()) notifyAccess(EVENT_OBJECT_NAMECHANGE);  // listed, so on the host's thread
}

void YBTextButton::setPadding(const GPadding& padding) {
    m_padding = padding;
    calcSize();
}

void YBTextButton::setStyle(int index, const YBTextButtonStyle& style) {
    if (!YBTextButtonLook::isStyleIndex(index)) return;
    m_styles[index] = style;
    calcSize();
}

void YBTextButton::getStyle(int index, YBTextButtonStyle& style) const {
    if (YBTextButtonLook::isStyleIndex(index) && static_cast<std::size_t>(index) < m_styles.size())
        style = m_styles.get(index);
}

void YBTextButton::deriveStyles(const YBTextButtonStyle& style, int first, int last, bool shade) {
    for (int index = first; index <= last; ++index) {
        const bool keep = !shade && (index == 2 || index == 3);
        m_styles[index] = keep ? style : YBTextButtonLook::derive(style, index);
        calcSize();
    }
    calcSize();
}

void YBTextButton::setAllStyles(const YBTextButtonStyle& style, bool) {
    deriveStyles(style, 0, 7, true);
}

void YBTextButton::setAllSelectedStyles(const YBTextButtonStyle& style, bool) {
    deriveStyles(style, 4, 7, true);
}

void YBTextButton::setAllUnselectedStyles(const YBTextButtonStyle& style, bool shade) {
    deriveStyles(style, 0, 3, shade);
}

void YBTextButton::calcSize() {
    if (m_fixedWidth != 0 && m_fixedHeight != 0) {
        const CSize size(m_fixedWidth, m_fixedHeight);
        setInitialSize(size);
        setMinSize(size);
        return;
    }
    YBScreenDC screen;
    long long widest = 0, tallest = 0, border = 0;
    for (int index = 0; index < YBTextButtonLook::styleCount; ++index) {
        const YBTextButtonStyle& style = m_styles[index];
        border = std::max<long long>(border, style.bdWidth);
        const CSize extent = screen.textExtent(style.font, m_text);
        widest = std::max<long long>(widest, extent.cx);
        tallest = std::max<long long>(tallest, extent.cy);
    }
    const auto side = [border](int fixed, long long text, long long padding) {
        return fixed != 0 ? fixed : YBTextButtonLook::measuredSide(text, padding, 2 * border);
    };
    const CSize size(side(m_fixedWidth, widest, 0LL + m_padding.left + m_padding.right),
                     side(m_fixedHeight, tallest, 0LL + m_padding.top + m_padding.bottom));
    setInitialSize(size);
    setMinSize(size);
}

void YBTextButton::onDraw(XDC& dc) {
    const int index =
        YBTextButtonLook::styleIndex(isDisabled(), isSelected(), isPressed(), isMouseOver());
    drawStyle(dc, m_styles[index]);
}

void YBTextButton::drawStyle(XDC& dc, YBTextButtonStyle& style) {
    CRect rect;
    getClientRect(rect);
    CRect textRect = YBTextButtonLook::drawBox(dc, rect, style, m_padding);
    dc.drawText(m_text, textRect,
                YBTextButtonLook::textFormat | YBKeyboardCues::prefixFormat(m_owner, m_text),
                style.font, style.fgColor, 4.0, nullptr);
}
