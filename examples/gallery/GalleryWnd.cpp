#include "GalleryWnd.h"

#include <cstdio>
#include <filesystem>

#include <tessel/layout/YBToolBarWnd.h>

#include "GalleryLook.h"

GalleryWnd::GalleryWnd(std::string iconDirectory) : m_iconDirectory(std::move(iconDirectory)) {
    setInitialSize(1000, 700);
    setMinSize(480, 360);
    // Everything works from the keyboard too: Tab, Space, Enter, F6, F8, arrows.
    enableKeyboard();
}

GalleryWnd::~GalleryWnd() = default;

// The icons come as PNG, JPEG or GIF files, whichever the shape was made in.
std::string GalleryWnd::iconPath(const char* shape) const {
    for (const char* extension : {".png", ".jpg", ".gif"}) {
        const std::string path = m_iconDirectory + "/" + shape + "-normal" + extension;
        if (std::filesystem::exists(path)) return path;
    }
    return m_iconDirectory + "/" + shape + "-normal.png";
}

void GalleryWnd::getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) {
    YBChildWnd::getCreateStyle(style, exStyle, size);
    style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
}

void GalleryWnd::onCreate() {
    SetWindowText(L"Tessel gallery");
    CRect client;
    GetClientRect(&client);
    m_main.setInitialSize(client.Width(), client.Height());
    m_main.createAt(0, 0, this);

    auto* toolbar = new YBToolBarWnd;
    unsigned int id = kFirstToolId;
    for (const char* shape : {"circle", "square", "diamond", "triangle", "star", "ring"}) {
        const std::wstring caption(shape, shape + std::char_traits<char>::length(shape));
        toolbar->addButton(id++, iconPath(shape).c_str(), caption.c_str());
    }
    m_main.addPane(toolbar, kToolBarHeight, 0, 0, gallery::kBarLine, gallery::kBarFill, true);

    // The middle takes what the fixed panes and the two one-pixel bars leave.
    m_middle = new YBSplitterWnd(0, L"gallery-middle");
    m_main.addPane(m_middle, client.Height() - kToolBarHeight - StatusLine::kHeight - 2, 1, 0,
                   gallery::kBarLine, gallery::kBarFill, false);
    m_components = new ComponentsHost(m_iconDirectory);
    const int barWidth = 6, barMargin = 2, controlsWidth = 334;
    m_middle->addPane(m_components, client.Width() - controlsWidth - barWidth - 2 * barMargin, 0,
                      0, 0, XDC::kNoColor, false);
    m_controls = new ControlsPane(m_iconDirectory);
    m_middle->addPane(m_controls, controlsWidth, barWidth, barMargin, gallery::kBarLine,
                      gallery::kBarFill, false);
    m_middle->getPane(0)->minSize(200);
    m_middle->getPane(1)->minSize(160);

    m_status = new StatusLine;
    m_main.addPane(m_status, StatusLine::kHeight, 1, 0, gallery::kBarLine, gallery::kBarFill, true);

    // As the user left them last time.
    m_main.restoreLayout();
    m_middle->restoreLayout();
}

void GalleryWnd::onSize(UINT, int width, int height) {
    if (m_main.m_hWnd) m_main.setPositionAndSize(0, 0, width, height, true);
}

void GalleryWnd::onCommand(int id) {
    m_commands.push_back(id);
    std::printf("command %d\n", id);
    std::fflush(stdout);
    std::wstring said = L"Command " + std::to_wstring(id);
    if (ComponentsHost::isToggle(static_cast<unsigned int>(id))) {
        m_components->flipToggle(static_cast<unsigned int>(id));
        said += L": a toggle flipped";
    } else if (id == ControlsPane::kDisableSharedId) {
        m_sharedDisabled = !m_sharedDisabled;
        // Every component numbered 500, in whichever host: the registry finds them.
        YBComponent::disableAllWithID(static_cast<int>(ComponentsHost::kSharedId),
                                      m_sharedDisabled);
        m_controls->showSharedDisabled(m_sharedDisabled);
        said += m_sharedDisabled ? L": every component 500 disabled" : L": every component 500 enabled";
    } else if (id == ControlsPane::kAddId) {
        m_controls->addComponents();
        said += L": " + std::to_wstring(m_controls->addedCount()) + L" components added";
    } else if (id == ControlsPane::kClearId) {
        m_controls->clearAdded();
        said += L": the added components cleared";
    }
    m_status->show(said + L"   (" + std::to_wstring(m_commands.size()) + L" so far)");
}

void GalleryWnd::onClose() {
    // The splitters store the layout the user left when they close.
    m_main.SendMessage(WM_CLOSE);
    DestroyWindow();
    ::PostQuitMessage(0);
}

CPoint GalleryWnd::middleBarCentre() const {
    CRect components, controls;
    m_components->GetWindowRect(&components);
    m_controls->GetWindowRect(&controls);
    return CPoint((components.right + controls.left) / 2, (controls.top + controls.bottom) / 2);
}
