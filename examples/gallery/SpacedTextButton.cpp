#include "SpacedTextButton.h"

SpacedTextButton::SpacedTextButton(unsigned int id, const kelp::KLString& text,
                                   const YBTextButtonStyle& style, CWnd* owner,
                                   std::optional<YBTextButtonStyle> selectedStyle)
    : YBTextButton(id, text, style.font, 0, 0, owner) {
    setPadding(GPadding(10, 10, 4, 4));
    setAllStyles(style, true);
    if (selectedStyle) setAllSelectedStyles(*selectedStyle, true);
    const CSize gaps(2 * kGap, 2 * kGap);
    setMinSize(getMinSize() + gaps);
    setInitialSize(size() + gaps);
}

void SpacedTextButton::onDraw(XDC& dc) {
    const CRect cell = m_rect;
    m_rect.DeflateRect(kGap, kGap);
    YBTextButton::onDraw(dc);
    m_rect = cell;
}
