// The gallery's main window: a framed top-level toolkit window holding a
// row of panels, two component hosts whose image buttons share identifier
// 500 with a panel that disables and enables them all through the
// registry, a scrolling host of a few hundred image buttons and a strip of
// text buttons, text and window controls. Every
// command that reaches it (they climb from the hosts) is printed and shown
// in its status line.
//
//   GalleryWnd gallery("build/examples/gallery/icons");
//   gallery.createAt(100, 100, nullptr);
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <tessel/components/YBComponentWnd.h>

#include "ControlsStrip.h"
#include "PanelWnd.h"

class GalleryWnd : public YBChildWnd {
public:
    static constexpr int kSharedId = 500;
    static constexpr int kToggleId = 300;
    static constexpr int kFirstScrolledId = 1000;
    static constexpr int kScrolledButtons = 320;

    explicit GalleryWnd(std::string iconDirectory);
    ~GalleryWnd() override;

    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override;
    void onCreate() override;
    void onDraw(XDC& dc) override;
    void onSize(UINT type, int width, int height) override;
    void onCommand(int id) override;
    void onClose() override;

    const std::vector<int>& commands() const { return m_commands; }
    // Where the tour points, in screen coordinates.
    CPoint panelCentre(size_t index) const;
    CPoint sharedButtonCentre(size_t host) const;
    CPoint scrolledButtonCentre(size_t index) const;  // null point when scrolled out of view
    YBComponentWnd& scrolledHost() { return m_scrolled; }
    const ControlsStrip& controls() const { return m_controls; }

private:
    void layout(int width, int height);
    void fillHosts();
    CPoint componentCentre(const YBComponentWnd& host, const YBComponent* component) const;

    std::string m_iconDirectory;
    std::vector<std::unique_ptr<PanelWnd>> m_panels;
    YBComponentWnd m_sharedHosts[2] = {YBComponentWnd(RGB(236, 240, 246)),
                                       YBComponentWnd(RGB(242, 238, 230))};
    YBComponentWnd m_scrolled{RGB(255, 255, 255)};
    ControlsStrip m_controls;  // made in the constructor's list with the icons
    bool m_sharedDisabled = false;
    std::vector<int> m_commands;
};
