// The gallery's main window: a framed top-level toolkit window filled by a
// vertical splitter of three panes — a toolbar (fixed), a horizontal
// splitter of a component host and a manager of window controls, and a
// status line (fixed). Every command climbs here from the hosts and
// windows below; it is printed, shown in the status line and acted on.
// Both splitters remember their layout between runs. Keyboard operation is
// on: the toolbar's buttons send their commands (401 to 406) from the keys.
//
//   GalleryWnd gallery("build/examples/gallery/icons");
//   gallery.createAt(100, 100, nullptr);
#pragma once

#include <string>
#include <vector>

#include <tessel/layout/YBSplitterWnd.h>

#include "ComponentsHost.h"
#include "ControlsPane.h"
#include "StatusLine.h"

class GalleryWnd : public YBChildWnd {
public:
    static constexpr int kToolBarHeight = 74;
    static constexpr unsigned int kFirstToolId = 401;

    explicit GalleryWnd(std::string iconDirectory);
    ~GalleryWnd() override;

    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override;
    void onCreate() override;
    void onSize(UINT type, int width, int height) override;
    void onCommand(int id) override;
    void onClose() override;

    const std::vector<int>& commands() const { return m_commands; }
    ComponentsHost& components() { return *m_components; }
    ControlsPane& controls() { return *m_controls; }
    YBSplitterWnd& middle() { return *m_middle; }
    const StatusLine& status() const { return *m_status; }
    // The screen centre of the bar between the host and the window controls.
    CPoint middleBarCentre() const;

private:
    std::string iconPath(const char* shape) const;

    std::string m_iconDirectory;
    YBSplitterWnd m_main{YBSplitterWnd::verticalSplit, L"gallery-main"};
    // Pane windows belong to the splitters; these only point at them.
    YBSplitterWnd* m_middle = nullptr;
    ComponentsHost* m_components = nullptr;
    ControlsPane* m_controls = nullptr;
    StatusLine* m_status = nullptr;
    bool m_sharedDisabled = false;
    std::vector<int> m_commands;
};
