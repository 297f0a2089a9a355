// The gallery's component host: a few hundred windowless components in
// three sections (text buttons in four styles, image buttons, text
// components), each under a heading as wide as the host, scrolling
// vertically. Its buttons' commands climb to the gallery.
//
//   auto* host = new ComponentsHost(iconDirectory);
//   split.addPane(host, 560, 4, 1, gallery::kBarLine, XDC::kNoColor, false);
#pragma once

#include <string>
#include <vector>

#include <tessel/components/YBComponentWnd.h>
#include <tessel/components/YBText.h>

class ComponentsHost : public YBComponentWnd {
public:
    static constexpr unsigned int kSharedId = 500;
    static constexpr unsigned int kFirstGreyId = 601;
    static constexpr unsigned int kFirstBlueId = 611;
    static constexpr unsigned int kFirstToggleId = 621;
    static constexpr unsigned int kFirstAmberId = 631;
    static constexpr int kButtonsPerStyle = 8;
    static constexpr unsigned int kFirstImageId = 1000;
    static constexpr int kImageButtons = 240;
    static constexpr int kSharedEvery = 12;  // every twelfth image button is a "shared 500"
    static constexpr int kTexts = 24;

    explicit ComponentsHost(std::string iconDirectory);

    void onCreate() override;
    void onLayoutComponents() override;

    static bool isToggle(unsigned int id) {
        return id >= kFirstToggleId && id < kFirstToggleId + kButtonsPerStyle;
    }
    // Selects a toggle if it is not selected, and the other way round.
    void flipToggle(unsigned int id);
    // The centre of the component, in screen coordinates; (0, 0) if there is none.
    CPoint screenCentre(const YBComponent* component) const;

private:
    void addHeading(const wchar_t* text);
    void addTextButtons();
    void addImageButtons();
    void addTexts();

    std::string m_iconDirectory;
    std::vector<YBText*> m_headings;  // owned by the host, like every component
};
