#include "ComponentsHost.h"

#include <algorithm>
#include <iterator>

#include "GalleryLook.h"
#include "SpacedImageButton.h"
#include "SpacedTextButton.h"

namespace {

const wchar_t* const kShapes[] = {L"circle", L"square", L"diamond", L"triangle",
                                  L"star",   L"ring",   L"cross",   L"bars"};

std::wstring numbered(const wchar_t* word, unsigned int number) {
    return std::wstring(word) + L" " + std::to_wstring(number);
}

}  // namespace

ComponentsHost::ComponentsHost(std::string iconDirectory)
    : YBComponentWnd(gallery::kHostFill), m_iconDirectory(std::move(iconDirectory)) {
    setFlag(verticalScrollBar, true);
}

void ComponentsHost::onCreate() {
    YBComponentWnd::onCreate();
    addHeading(L"Text buttons: each sends its number; the toggles turn green while selected");
    addTextButtons();
    addHeading(L"Image buttons: the \"shared 500\" ones are disabled with the added ones");
    addImageButtons();
    addHeading(L"Text components: a fill, a frame, or both");
    addTexts();
    onLayoutComponents();
}

void ComponentsHost::addHeading(const wchar_t* text) {
    const std::wstring indented = L"  " + std::wstring(text);
    auto* heading = new YBText(indented.c_str(), GFont("Arial", 9.0, GFont::Bold, RGB(60, 64, 80)),
                               DT_LEFT | DT_SINGLELINE, 0, this);
    heading->bgColor(RGB(232, 236, 244));
    m_headings.push_back(heading);
    addComponent(heading, false, false);
}

void ComponentsHost::addTextButtons() {
    struct Row {
        unsigned int firstId;
        const wchar_t* word;
        YBTextButtonStyle style;
        bool toggles;
    };
    const Row rows[] = {{kFirstGreyId, L"Grey", gallery::greyStyle(), false},
                        {kFirstBlueId, L"Blue", gallery::blueStyle(), false},
                        {kFirstToggleId, L"Toggle", gallery::greyStyle(), true},
                        {kFirstAmberId, L"Amber", gallery::amberStyle(), false}};
    for (const Row& row : rows) {
        for (int i = 0; i < kButtonsPerStyle; ++i) {
            const unsigned int id = row.firstId + i;
            addComponent(new SpacedTextButton(id, numbered(row.word, id).c_str(), row.style, this,
                                              row.toggles ? std::optional(gallery::greenStyle())
                                                          : std::nullopt),
                         false, false);
        }
    }
}

void ComponentsHost::addImageButtons() {
    const kelp::KLString directory(m_iconDirectory.c_str());
    for (int i = 0; i < kImageButtons; ++i) {
        const wchar_t* shape = kShapes[i % std::size(kShapes)];
        const bool shared = i % kSharedEvery == kSharedEvery - 1;
        const unsigned int id = shared ? kSharedId : kFirstImageId + i;
        const std::wstring caption = shared ? L"shared 500" : numbered(shape, id);
        addComponent(new SpacedImageButton(id, directory, shape, caption.c_str(), this), false,
                     false);
    }
}

void ComponentsHost::addTexts() {
    const COLORREF fills[] = {RGB(255, 248, 220), RGB(226, 242, 255), RGB(232, 250, 232),
                              XDC::kNoColor};
    const COLORREF frames[] = {XDC::kNoColor, RGB(120, 140, 190), RGB(90, 160, 110),
                               RGB(200, 120, 60)};
    const GFont font("Arial", 9.0, 0, gallery::kInk);
    for (int i = 0; i < kTexts; ++i) {
        const std::wstring caption = L"  " + numbered(L"Text", static_cast<unsigned int>(i + 1)) + L"  ";
        auto* text = new YBText(caption.c_str(), font, DT_CENTER | DT_SINGLELINE, 0, this);
        text->bgColor(fills[i % 4]);
        text->bdColor(frames[(i / 4) % 4]);
        addComponent(text, false, false);
    }
}

void ComponentsHost::onLayoutComponents() {
    // Each heading takes a whole row, so each section starts on a new one.
    CRect client;
    GetClientRect(&client);
    // Less the bar's width until it shows, so the bar appearing does not make them too wide.
    const int bar = (GetStyle() & WS_VSCROLL) ? 0 : ::GetSystemMetrics(SM_CXVSCROLL);
    const int width = std::max(0, static_cast<int>(client.Width()) - bar);
    for (YBText* heading : m_headings) {
        const CSize size(width, heading->getMinSize().cy + 12);
        heading->setInitialSize(size);
    }
    YBComponentWnd::onLayoutComponents();
}

void ComponentsHost::flipToggle(unsigned int id) {
    if (YBComponent* toggle = getComponentByID(id)) {
        toggle->select(!toggle->isSelected(), true);
    }
}

CPoint ComponentsHost::screenCentre(const YBComponent* component) const {
    if (!component) return CPoint(0, 0);
    CPoint centre = component->rect().CenterPoint();
    ClientToScreen(&centre);
    return centre;
}
