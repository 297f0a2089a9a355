// A splitter of three panes across the gallery: a component host with a
// text label and three text buttons (the initial styles, a blue set derived
// from one style, and a toggle that turns green when selected); a manager
// window flowing the window controls (a text window, a text button window
// and a bare button window); and a toolbar of three icons, fixed in width.
// Drag the bars to share the width out; the gallery's splitter remembers
// its layout between runs. Commands climb to the gallery; the toggle's also
// flips its selection.
#pragma once

#include <string>

#include <tessel/components/YBComponentWnd.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/layout/YBToolBarWnd.h>
#include <tessel/windows/YBTextButtonWnd.h>

class ControlsStrip : public YBSplitterWnd {
public:
    static constexpr int kDefaultId = 601;
    static constexpr int kBlueId = 602;
    static constexpr int kToggleId = 603;
    static constexpr int kWindowButtonId = 610;
    static constexpr int kBareButtonId = 611;
    static constexpr int kHeight = 80;  // a toolbar button and its frame

    explicit ControlsStrip(std::string iconDirectory);
    ~ControlsStrip() override;

    void onCreate() override;
    void onCommand(int id) override;

    // Screen centres, for the tour.
    CPoint textButtonCentre(unsigned int id) const;
    CPoint windowButtonCentre() const;
    CPoint barCentre(int index) const;

private:
    std::string m_iconDirectory;
    GFont m_font{"Arial", 9.0, 0, RGB(30, 30, 40)};
    // The panes' windows belong to the splitter once added.
    YBComponentWnd* m_host = nullptr;
    YBTextButtonWnd* m_windowButton = nullptr;
    YBTextButton* m_toggle = nullptr;  // owned by m_host
};
