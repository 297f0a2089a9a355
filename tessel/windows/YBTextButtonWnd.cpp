#include "YBTextButtonWnd.h"

#include <tessel/platform/win_events.h>
#include <tessel/windows/YBKeyboardCues.h>
#include <tessel/windows/YBScreenDC.h>
#include <tessel/windows/YBTextButtonLook.h>

YBTextButtonWnd::YBTextButtonWnd(unsigned int id, const kelp::KLString& text, const GFont& font,
                                 int width, int height)
    : YBButtonWnd(id),
      m_text(text),
      m_padding(YBTextButtonLook::defaultPadding, YBTextButtonLook::defaultPadding,
                YBTextButtonLook::defaultPadding, YBTextButtonLook::defaultPadding) {
    CSize size(width, height);
    if (width == 0 || height == 0) {
        const CSize extent = YBScreenDC().textExtent(font, m_text);
        // A constant 2 stands for the border here, whatever the styles say.
        const auto side = [](int given, long long textPixels, long long padding) {
            return given != 0 ? given : YBTextButtonLook::measuredSide(textPixels, padding, 2);
        };
        size = CSize(side(width, extent.cx, 0LL + m_padding.left + m_padding.right),
                     side(height, extent.cy, 0LL + m_padding.top + m_padding.bottom));
    }
    m_size = size;
    YBTextButtonLook::setInitialStyles(m_styles, font);
    YBBaseWnd::setMinSize(size);
}

void YBTextButtonWnd::setText(const kelp::KLString& text) {
    m_text = text;
    if (m_hWnd) ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

YBTextButtonWnd::~YBTextButtonWnd() = default;

void YBTextButtonWnd::setStyle(int index, const YBTextButtonStyle& style) {
    if (YBTextButtonLook::isStyleIndex(index)) m_styles[index] = style;
}

void YBTextButtonWnd::getStyle(int index, YBTextButtonStyle& style) const {
    if (YBTextButtonLook::isStyleIndex(index) && static_cast<std::size_t>(index) < m_styles.size())
        style = m_styles.get(index);
}

void YBTextButtonWnd::deriveStyles(const YBTextButtonStyle& style, int first, int last) {
    for (int index = first; index <= last; ++index)
        m_styles[index] = YBTextButtonLook::derive(style, index);
}

void YBTextButtonWnd::setAllStyles(const YBTextButtonStyle& style, bool) {
    deriveStyles(style, 0, 7);
}

void YBTextButtonWnd::setAllSelectedStyles(const YBTextButtonStyle& style, bool) {
    deriveStyles(style, 4, 7);
}

void YBTextButtonWnd::setAllUnselectedStyles(const YBTextButtonStyle& style, bool) {
    deriveStyles(style, 0, 3);
}

void YBTextButtonWnd::onDraw(XDC& dc) {
    const int index =
        YBTextButtonLook::styleIndex(isDisabled(), isSelected(), isPressed(), isMouseOver());
    drawStyle(dc, m_styles[index]);
}

void YBTextButtonWnd::drawStyle(XDC& dc, YBTextButtonStyle& style) {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    CRect textRect = YBTextButtonLook::drawBox(dc, client, style, m_padding);
    // The text is clipped to its rectangle: where none of that is being
    // painted, it is not laid out at all.
    CRect clip, visible;
    if (::GetClipBox(dc, &clip) == NULLREGION || !::IntersectRect(&visible, &clip, &textRect))
        return;
    style.font.select(dc.cdc());
    dc.setTextColor(style.fgColor);
    dc.draw(m_text, &textRect,
            YBTextButtonLook::textFormat | YBKeyboardCues::prefixFormat(this, m_text));
}

bool YBTextButtonWnd::activateMnemonic(wchar_t letter) {
    if (!YBKeyboardCues::hasMnemonic(m_text, letter)) return false;
    click();
    return true;
}
