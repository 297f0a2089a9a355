#include "GalleryWnd.h"

#include <algorithm>
#include <cstdio>

#include <tessel/components/YBImageButton.h>

namespace {
constexpr int kMargin = 16;
constexpr int kHeaderHeight = 48;
constexpr int kStatusHeight = 28;
constexpr int kPanelHeight = 56;
constexpr int kSharedHeight = 64;

const char* const kShapes[] = {"circle", "square", "diamond", "triangle",
                               "star",   "ring",   "cross",   "bars"};

// Caption colours by image state: grey when disabled, blue under the pointer.
kelp::KLIntegerArray captionColours() {
    return kelp::KLIntegerArray{
        static_cast<int>(RGB(150, 150, 150)), static_cast<int>(RGB(40, 40, 48)),
        static_cast<int>(RGB(30, 90, 200)),   static_cast<int>(RGB(20, 50, 130)),
        static_cast<int>(RGB(150, 150, 150)), static_cast<int>(RGB(40, 40, 48)),
        static_cast<int>(RGB(30, 90, 200)),   static_cast<int>(RGB(20, 50, 130))};
}

CPoint centreOnScreen(const CWnd& wnd) {
    CRect rect;
    wnd.GetWindowRect(&rect);
    return rect.CenterPoint();
}
}  // namespace

GalleryWnd::GalleryWnd(std::string iconDirectory)
    : m_iconDirectory(std::move(iconDirectory)), m_controls(m_iconDirectory) {
    setInitialSize(900, 600);
    setMinSize(420, 360);
    m_panels.push_back(std::make_unique<PanelWnd>(101, L"Open (101)", RGB(52, 120, 190)));
    m_panels.push_back(std::make_unique<PanelWnd>(102, L"Save (102)", RGB(46, 150, 100)));
    m_panels.push_back(std::make_unique<PanelWnd>(103, L"Print (103)", RGB(200, 110, 40)));
    m_panels.push_back(std::make_unique<PanelWnd>(kToggleId, L"Toggle all 500", RGB(120, 80, 160)));
    for (YBComponentWnd& host : m_sharedHosts)
        host.setFlag(verticalScrollBar, true);
    m_scrolled.setFlag(verticalScrollBar, true);
}

GalleryWnd::~GalleryWnd() = default;

void GalleryWnd::getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) {
    YBChildWnd::getCreateStyle(style, exStyle, size);
    style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
}

void GalleryWnd::onCreate() {
    SetWindowText(L"Tessel gallery");
    for (auto& panel : m_panels)
        panel->createAt(0, 0, this);
    for (YBComponentWnd& host : m_sharedHosts)
        host.createAt(0, 0, this);
    m_scrolled.createAt(0, 0, this);
    m_controls.createAt(0, 0, this);
    fillHosts();
}

void GalleryWnd::fillHosts() {
    const GFont font("Arial", 7.0, 0, 0);
    const kelp::KLIntegerArray colours = captionColours();
    const kelp::KLString icons(m_iconDirectory.c_str());
    for (int h = 0; h < 2; ++h) {
        YBComponentWnd& host = m_sharedHosts[h];
        host.addComponent(
            new YBImageButton(kSharedId, icons, "star", L"Shared 500", font, colours, &host), false,
            false);
        for (int i = 0; i < 3; ++i) {
            const int id = 501 + h * 10 + i;
            const std::wstring caption = L"Button " + std::to_wstring(id);
            host.addComponent(new YBImageButton(id, icons, kShapes[(h * 3 + i) % 8],
                                                caption.c_str(), font, colours, &host),
                              false, false);
        }
        host.onLayoutComponents();
    }
    for (int i = 0; i < kScrolledButtons; ++i) {
        const char* shape = kShapes[i % 8];
        const std::wstring caption =
            std::wstring(shape, shape + std::char_traits<char>::length(shape)) + L" " +
            std::to_wstring(i);
        m_scrolled.addComponent(new YBImageButton(kFirstScrolledId + i, icons, shape,
                                                  caption.c_str(), font, colours, &m_scrolled),
                                false, false);
    }
    m_scrolled.onLayoutComponents();
    ::InvalidateRect(m_scrolled.m_hWnd, nullptr, TRUE);
}

void GalleryWnd::onSize(UINT, int width, int height) {
    layout(width, height);
}

void GalleryWnd::layout(int width, int height) {
    const int count = static_cast<int>(m_panels.size());
    const int panelWidth = std::max(0, (width - kMargin * (count + 1)) / count);
    for (int i = 0; i < count; ++i)
        m_panels[i]->setPositionAndSize(kMargin + i * (panelWidth + kMargin), kHeaderHeight,
                                        panelWidth, kPanelHeight, true);
    const int sharedTop = kHeaderHeight + kPanelHeight + kMargin;
    const int sharedWidth = std::max(0, (width - 3 * kMargin) / 2);
    for (int h = 0; h < 2; ++h)
        m_sharedHosts[h].setPositionAndSize(kMargin + h * (sharedWidth + kMargin), sharedTop,
                                            sharedWidth, kSharedHeight, true);
    const int scrolledTop = sharedTop + kSharedHeight + kMargin;
    const int controlsTop = std::max(scrolledTop, height - kStatusHeight - ControlsStrip::kHeight);
    m_scrolled.setPositionAndSize(kMargin, scrolledTop, std::max(0, width - 2 * kMargin),
                                  std::max(0, controlsTop - kMargin / 2 - scrolledTop), true);
    m_controls.setPositionAndSize(kMargin, controlsTop, std::max(0, width - 2 * kMargin),
                                  ControlsStrip::kHeight, true);
    Invalidate();
}

void GalleryWnd::onDraw(XDC& dc) {
    CRect client;
    getClientRect(client);
    dc.FillRect(client, RGB(250, 250, 252));
    static const GFont title("Arial", 16, GFont::Bold, RGB(30, 30, 40));
    CRect header(kMargin, 0, client.right - kMargin, kHeaderHeight);
    dc.drawText(L"Tessel gallery", header, DT_LEFT | DT_VCENTER | DT_SINGLELINE, title,
                title.m_color, 4.0, nullptr);
    static const GFont status("Arial", 10, 0, RGB(70, 70, 80));
    CRect statusLine(kMargin, client.bottom - kStatusHeight, client.right - kMargin, client.bottom);
    std::wstring text = m_commands.empty()
                            ? std::wstring(L"Click a panel or a button.")
                            : L"Last command: " + std::to_wstring(m_commands.back()) + L"  (" +
                                  std::to_wstring(m_commands.size()) + L" so far)";
    if (m_sharedDisabled) text += L"   Buttons 500 are disabled.";
    dc.drawText(text.c_str(), statusLine, DT_LEFT | DT_VCENTER | DT_SINGLELINE, status,
                status.m_color, 4.0, nullptr);
}

void GalleryWnd::onCommand(int id) {
    m_commands.push_back(id);
    std::printf("command %d\n", id);
    std::fflush(stdout);
    if (id == kToggleId) {
        m_sharedDisabled = !m_sharedDisabled;
        // Every button 500, in whichever host: the registry finds them.
        YBComponent::disableAllWithID(kSharedId, m_sharedDisabled);
    }
    Invalidate();
}

void GalleryWnd::onClose() {
    // The strip is told first, so its splitter stores the layout the user left.
    m_controls.SendMessage(WM_CLOSE);
    DestroyWindow();
    ::PostQuitMessage(0);
}

CPoint GalleryWnd::panelCentre(size_t index) const {
    return centreOnScreen(*m_panels.at(index));
}

CPoint GalleryWnd::componentCentre(const YBComponentWnd& host, const YBComponent* component) const {
    if (!component) return CPoint(0, 0);
    CPoint centre = component->rect().CenterPoint();
    host.ClientToScreen(&centre);
    return centre;
}

CPoint GalleryWnd::sharedButtonCentre(size_t host) const {
    const YBComponentWnd& h = m_sharedHosts[host];
    return componentCentre(h, h.getComponentByID(kSharedId));
}

CPoint GalleryWnd::scrolledButtonCentre(size_t index) const {
    return componentCentre(m_scrolled, m_scrolled.getComponent(static_cast<int>(index)));
}
