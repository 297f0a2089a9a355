#include "ControlsStrip.h"

#include <tessel/components/YBText.h>

namespace {

constexpr int kGap = 8;
constexpr int kBareSize = 24;

YBTextButtonStyle blueStyle(const GFont& font) {
    YBTextButtonStyle style;
    style.font = font;
    style.fgColor = RGB(255, 255, 255);
    style.bgColor = RGB(52, 120, 190);
    style.bdColor = RGB(30, 70, 120);
    style.bdWidth = 1;
    style.boxParam = 4;
    return style;
}

YBTextButtonStyle greenStyle(const GFont& font) {
    YBTextButtonStyle style = blueStyle(font);
    style.bgColor = RGB(46, 150, 100);
    style.bdColor = RGB(20, 90, 60);
    return style;
}

CPoint screenCentre(const CWnd& wnd) {
    CRect rect;
    wnd.GetWindowRect(&rect);
    return rect.CenterPoint();
}

}  // namespace

ControlsStrip::ControlsStrip()
    : m_label(L"Window controls:", m_font, XDC::kNoColor),
      m_windowButton(kWindowButtonId, L"Window button (610)", m_font, 150, 0) {
    m_bareButton.setInitialSize(kBareSize, kBareSize);
}

ControlsStrip::~ControlsStrip() = default;

void ControlsStrip::onCreate() {
    m_host.createAt(0, 0, this);
    m_host.addComponent(new YBText(L"Text buttons:", m_font, DT_SINGLELINE, 0, &m_host), false,
                        false);
    m_host.addComponent(new YBTextButton(kDefaultId, L"Default (601)", m_font, 0, 0, &m_host),
                        false, false);
    auto* blue = new YBTextButton(kBlueId, L"Blue (602)", m_font, 0, 0, &m_host);
    blue->setAllStyles(blueStyle(m_font), true);
    m_host.addComponent(blue, false, false);
    m_toggle = new YBTextButton(kToggleId, L"Toggle (603)", m_font, 0, 0, &m_host);
    m_toggle->setAllSelectedStyles(greenStyle(m_font), true);
    m_host.addComponent(m_toggle, false, false);
    m_label.createAt(0, 0, this);
    m_windowButton.createAt(0, 0, this);
    m_bareButton.createAt(0, 0, this);
}

void ControlsStrip::onDraw(XDC& dc) {
    CRect client;
    getClientRect(client);
    dc.FillRect(client, RGB(250, 250, 252));
}

void ControlsStrip::onSize(UINT, int width, int height) {
    const CSize label = m_label.getMinSize();
    const CSize button = m_windowButton.getMinSize();
    const int windowsWidth = label.cx + button.cx + kBareSize + 4 * kGap;
    const int hostWidth = std::max(0, width - windowsWidth);
    m_host.setPositionAndSize(0, 0, hostWidth, height, true);
    m_host.onLayoutComponents();
    int x = hostWidth + kGap;
    m_label.setPositionAndSize(x, (height - label.cy) / 2, label.cx, label.cy, true);
    x += label.cx + kGap;
    m_windowButton.setPositionAndSize(x, (height - button.cy) / 2, button.cx, button.cy, true);
    x += button.cx + kGap;
    m_bareButton.setPositionAndSize(x, (height - kBareSize) / 2, kBareSize, kBareSize, true);
}

void ControlsStrip::onCommand(int id) {
    if (id == kToggleId && m_toggle) {
        m_toggle->select(!m_toggle->isSelected(), false);
        m_toggle->invalidate();
    }
    YBChildWnd::onCommand(id);  // on to the gallery
}

CPoint ControlsStrip::textButtonCentre(unsigned int id) const {
    const YBComponent* button = m_host.getComponentByID(static_cast<int>(id));
    if (!button) return CPoint(0, 0);
    CPoint centre = button->rect().CenterPoint();
    m_host.ClientToScreen(&centre);
    return centre;
}

CPoint ControlsStrip::windowButtonCentre() const {
    return screenCentre(m_windowButton);
}
