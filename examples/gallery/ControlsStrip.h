// A strip of text controls: a component host with a text label and three
// text buttons (the initial styles, a blue set derived from one style, and
// a toggle that turns green when selected), beside their window twins: a
// text window, a text button window and a bare button window. Commands
// climb to the gallery; the toggle's also flips its selection.
#pragma once

#include <tessel/components/YBComponentWnd.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/windows/YBTextButtonWnd.h>
#include <tessel/windows/YBTextWnd.h>

class ControlsStrip : public YBChildWnd {
public:
    static constexpr int kDefaultId = 601;
    static constexpr int kBlueId = 602;
    static constexpr int kToggleId = 603;
    static constexpr int kWindowButtonId = 610;
    static constexpr int kBareButtonId = 611;

    ControlsStrip();
    ~ControlsStrip() override;

    void onCreate() override;
    void onDraw(XDC& dc) override;
    void onSize(UINT type, int width, int height) override;
    void onCommand(int id) override;

    // Screen centres, for the tour.
    CPoint textButtonCentre(unsigned int id) const;
    CPoint windowButtonCentre() const;

private:
    GFont m_font{"Arial", 9.0, 0, RGB(30, 30, 40)};
    YBComponentWnd m_host{RGB(244, 244, 248)};
    YBTextWnd m_label;
    YBTextButtonWnd m_windowButton;
    YBButtonWnd m_bareButton{kBareButtonId};
    YBTextButton* m_toggle = nullptr;  // owned by m_host
};
