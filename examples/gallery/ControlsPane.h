// The right side of the gallery: a manager window flowing real windows — a
// heading text window, text button windows that act on the whole gallery
// (disable every component numbered 500, add components, clear them), a
// plain text button window, a bare button window — and a small component
// host that receives the added components. Its commands climb to the gallery.
//
//   split.addPane(new ControlsPane(iconDirectory), 320, 4, 1, gallery::kBarLine, XDC::kNoColor, false);
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <tessel/components/YBComponentWnd.h>
#include <tessel/layout/YBManagerWnd.h>
#include <tessel/windows/YBTextButtonWnd.h>

class ControlsPane : public YBManagerWnd {
public:
    static constexpr int kDisableSharedId = 300;
    static constexpr int kAddId = 301;
    static constexpr int kClearId = 302;
    static constexpr int kWindowButtonId = 310;
    static constexpr int kBareButtonId = 311;
    static constexpr unsigned int kFirstAddedId = 2000;
    static constexpr int kAddedPerClick = 6;

    explicit ControlsPane(std::string iconDirectory);

    void onCreate() override;
    void onDraw(XDC& dc) override;

    // What the buttons do, called by the gallery when their commands arrive.
    void showSharedDisabled(bool disabled);
    void addComponents();
    void clearAdded();
    int addedCount() const { return m_added ? m_added->getComponentCount() : 0; }

    // Screen centres and the button windows, for the tour.
    CPoint buttonCentre(int id) const;
    CWnd* button(int id) const;
    CPoint addedCentre(int index) const;

private:
    YBTextButtonWnd* makeButton(int id, const wchar_t* text, const YBTextButtonStyle& style);

    std::string m_iconDirectory;
    unsigned int m_nextAdded = kFirstAddedId;
    // The manager owns its children; these only point at them.
    YBTextButtonWnd* m_disableShared = nullptr;
    YBComponentWnd* m_added = nullptr;
    std::vector<std::pair<int, CWnd*>> m_buttons;  // by command
};
