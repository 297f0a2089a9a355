#include "ControlsStrip.h"

#include <tessel/components/YBText.h>
#include <tessel/layout/YBManagerWnd.h>
#include <tessel/windows/YBTextWnd.h>

namespace {

constexpr COLORREF kBarLine = RGB(150, 150, 160);
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

// The window controls, flowed by the manager.
class WindowControls : public YBManagerWnd {
public:
    WindowControls(const GFont& font, YBTextButtonWnd*& windowButton)
        : m_font(font), m_windowButton(windowButton) {}

    void onCreate() override {
        createChildWnd(new YBTextWnd(L" Window controls: ", m_font, RGB(250, 250, 252)), 0, 0);
        m_windowButton = new YBTextButtonWnd(ControlsStrip::kWindowButtonId,
                                             L"Window button (610)", m_font, 150, 0);
        createChildWnd(m_windowButton, 0, 0);
        auto* bare = new YBButtonWnd(ControlsStrip::kBareButtonId);
        bare->setInitialSize(kBareSize, kBareSize);
        createChildWnd(bare, 0, 0);
        onLayoutChildren();
    }
    void onDraw(XDC& dc) override {
        CRect client;
        getClientRect(client);
        dc.FillRect(client, RGB(250, 250, 252));
    }

private:
    GFont m_font;
    YBTextButtonWnd*& m_windowButton;
};

CPoint screenCentre(const CWnd* wnd) {
    if (!wnd) return CPoint(0, 0);
    CRect rect;
    wnd->GetWindowRect(&rect);
    return rect.CenterPoint();
}

}  // namespace

ControlsStrip::ControlsStrip(std::string iconDirectory)
    : YBSplitterWnd(0, L"gallery-controls"), m_iconDirectory(std::move(iconDirectory)) {
    // Wide enough for every pane's preferred size, so they start at it.
    setInitialSize(900, kHeight);
}

ControlsStrip::~ControlsStrip() = default;

void ControlsStrip::onCreate() {
    m_host = new YBComponentWnd(RGB(244, 244, 248));
    addPane(m_host, 420, 2, 2, kBarLine, XDC::kNoColor, false);
    m_host->addComponent(new YBText(L"Text buttons:", m_font, DT_SINGLELINE, 0, m_host), false,
                         false);
    m_host->addComponent(new YBTextButton(kDefaultId, L"Default (601)", m_font, 0, 0, m_host),
                         false, false);
    auto* blue = new YBTextButton(kBlueId, L"Blue (602)", m_font, 0, 0, m_host);
    blue->setAllStyles(blueStyle(m_font), true);
    m_host->addComponent(blue, false, false);
    m_toggle = new YBTextButton(kToggleId, L"Toggle (603)", m_font, 0, 0, m_host);
    m_toggle->setAllSelectedStyles(greenStyle(m_font), true);
    m_host->addComponent(m_toggle, false, false);
    m_host->onLayoutComponents();

    addPane(new WindowControls(m_font, m_windowButton), 290, 2, 2, kBarLine, XDC::kNoColor,
            false);

    auto* toolbar = new YBToolBarWnd;
    for (const char* shape : {"circle", "triangle", "cross"}) {
        const std::string path = m_iconDirectory + "/" + shape + "-normal.png";
        const std::wstring caption(shape, shape + std::char_traits<char>::length(shape));
        toolbar->addButton(0, path.c_str(), caption.c_str());
    }
    addPane(toolbar, 3 * 50 + 2 + 6, 2, 2, kBarLine, XDC::kNoColor, true);
    restoreLayout();  // as the user left it last time
}

void ControlsStrip::onCommand(int id) {
    if (id == kToggleId && m_toggle) {
        m_toggle->select(!m_toggle->isSelected(), false);
        m_toggle->invalidate();
    }
    YBSplitterWnd::onCommand(id);  // on to the gallery
}

CPoint ControlsStrip::textButtonCentre(unsigned int id) const {
    const YBComponent* button = m_host ? m_host->getComponentByID(id) : nullptr;
    if (!button) return CPoint(0, 0);
    CPoint centre = button->rect().CenterPoint();
    m_host->ClientToScreen(&centre);
    return centre;
}

CPoint ControlsStrip::windowButtonCentre() const {
    return screenCentre(m_windowButton);
}

CPoint ControlsStrip::barCentre(int index) const {
    if (index < 0 || index + 1 >= getPaneCount()) return CPoint(0, 0);
    CPoint centre = m_bars.get(index).m_rect.CenterPoint();
    ClientToScreen(&centre);
    return centre;
}
