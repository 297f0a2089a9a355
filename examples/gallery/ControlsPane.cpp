#include "ControlsPane.h"

#include <tessel/windows/YBButtonWnd.h>
#include <tessel/windows/YBTextButtonLook.h>
#include <tessel/windows/YBTextWnd.h>

#include "GalleryLook.h"
#include "SpacedImageButton.h"
#include "SpacedTextButton.h"

namespace {

constexpr int kButtonWidth = 150, kButtonHeight = 34;
constexpr int kRing = 4;  // pane-coloured border: flowed windows keep apart

}  // namespace

ControlsPane::ControlsPane(std::string iconDirectory) : m_iconDirectory(std::move(iconDirectory)) {
    setFlag(verticalScrollBar, true);
}

YBTextButtonWnd* ControlsPane::makeButton(int id, const wchar_t* text,
                                          const YBTextButtonStyle& style) {
    auto* button = new YBTextButtonWnd(id, text, style.font, kButtonWidth, kButtonHeight);
    for (int index = 0; index < 8; ++index) {
        YBTextButtonStyle look = YBTextButtonLook::derive(style, index);
        look.bdColor = gallery::kPaneFill;
        look.bdWidth = kRing;
        look.boxParam = 0;
        button->setStyle(index, look);
    }
    createChildWnd(button, 0, 0);
    m_buttons.emplace_back(id, button);
    return button;
}

void ControlsPane::onCreate() {
    const GFont heading("Arial", 10.0, GFont::Bold, RGB(60, 64, 80));
    createChildWnd(new YBTextWnd(L" Window controls ", heading, gallery::kPaneFill), 0, 0);
    m_disableShared = makeButton(kDisableSharedId, L"Disable all 500", gallery::amberStyle());
    makeButton(kAddId, L"Add components", gallery::blueStyle());
    makeButton(kClearId, L"Clear added", gallery::greyStyle());
    auto* plain = new YBTextButtonWnd(kWindowButtonId, L"Window button (310)",
                                      gallery::captionFont(), kButtonWidth, kButtonHeight);
    createChildWnd(plain, 0, 0);
    m_buttons.emplace_back(kWindowButtonId, plain);
    auto* bare = new YBButtonWnd(kBareButtonId);
    bare->setInitialSize(kButtonHeight, kButtonHeight);
    createChildWnd(bare, 0, 0);
    m_buttons.emplace_back(kBareButtonId, bare);
    createChildWnd(new YBTextWnd(L" Added at run time: ", heading, gallery::kPaneFill), 0, 0);
    m_added = new YBComponentWnd(gallery::kHostFill);
    m_added->setFlag(verticalScrollBar, true);
    m_added->setInitialSize(2 * kButtonWidth + 4, 220);
    createChildWnd(m_added, 0, 0);
    onLayoutChildren();
}

void ControlsPane::onDraw(XDC& dc) {
    CRect client;
    getClientRect(client);
    dc.FillRect(client, gallery::kPaneFill);
}

void ControlsPane::showSharedDisabled(bool disabled) {
    if (!m_disableShared) return;
    m_disableShared->setText(disabled ? L"Enable all 500" : L"Disable all 500");
    m_disableShared->Invalidate();
}

void ControlsPane::addComponents() {
    if (!m_added) return;
    const kelp::KLString icons(m_iconDirectory.c_str());
    for (int i = 0; i < kAddedPerClick; ++i, ++m_nextAdded) {
        const std::wstring number = std::to_wstring(m_nextAdded);
        // Every third is one more "shared 500": the registry finds it too.
        if (i % 3 == 0) {
            m_added->addComponent(
                new SpacedImageButton(500, icons, L"square", L"added 500", m_added), false, false);
        } else {
            const std::wstring text = L"Added " + number;
            m_added->addComponent(new SpacedTextButton(m_nextAdded, text.c_str(),
                                                       gallery::greyStyle(), m_added),
                                  false, false);
        }
    }
    m_added->onLayoutComponents();
    m_added->Invalidate();
}

void ControlsPane::clearAdded() {
    if (!m_added) return;
    m_added->clearComponents();
    m_added->onLayoutComponents();
    m_added->Invalidate();
}

CPoint ControlsPane::buttonCentre(int id) const {
    const CWnd* window = button(id);
    if (!window) return CPoint(0, 0);
    CRect rect;
    window->GetWindowRect(&rect);
    return rect.CenterPoint();
}

CWnd* ControlsPane::button(int id) const {
    for (const auto& [command, window] : m_buttons)
        if (command == id) return window;
    return nullptr;
}

CPoint ControlsPane::addedCentre(int index) const {
    const YBComponent* component = m_added ? m_added->getComponent(index) : nullptr;
    if (!component) return CPoint(0, 0);
    CPoint centre = component->rect().CenterPoint();
    m_added->ClientToScreen(&centre);
    return centre;
}
