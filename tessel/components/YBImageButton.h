// A button that shows one picture per visual state with a one-line caption
// under it. State images are found on disk as <dir>/<base><suffix><ext>,
// suffix by state index ("-disabled", "-normal", "-over", "-pressed",
// "-selected-disabled", "-selected-normal", "-selected-over",
// "-selected-pressed"), extension ".png", ".jpg" then ".gif" (the last found
// wins). Images are decoded once at load; drawing only scales them.
//
// Invariant: the button owns every CxImage in its slots, and no other
// button holds the same one (copies duplicate the images).
//
//   auto* button = new YBImageButton(7, L"icons", L"save", L"Save", GFont(), colours, &host);
//   host.addComponent(button, true, true);
#pragma once

#include <tessel/components/YBButton.h>
#include <tessel/drawing/CxImage.h>
#include <tessel/drawing/GFont.h>
#include <tessel/drawing/GPadding.h>
#include <tessel/foundation/KLArray.h>
#include <tessel/foundation/KLIntegerArray.h>
#include <tessel/foundation/KLString.h>

class YBImageButton : public YBButton {
public:
    // Image state indices (also the caption colour indices).
    enum State {
        stateDisabled,
        stateNormal,
        stateOver,
        statePressed,
        stateSelectedDisabled,  // loaded and coloured, never drawn: disabled wins
        stateSelectedNormal,
        stateSelectedOver,
        stateSelectedPressed,
        stateCount
    };

    YBImageButton(unsigned int id, CWnd* owner);
    YBImageButton(unsigned int id, const kelp::KLString& directory, const kelp::KLString& baseName,
                  const kelp::KLString& caption, const GFont& font,
                  const kelp::KLIntegerArray& captionColors, CWnd* owner);
    YBImageButton(const YBImageButton& other);
    YBImageButton& operator=(const YBImageButton& other);
    ~YBImageButton() override;

    void loadImages(const kelp::KLString& directory, const kelp::KLString& baseName);
    // Loads one file into a state's slot; a file that cannot be decoded leaves
    // an invalid image there, which draws nothing for that state.
    void setButtonImage(int state, const kelp::KLString& path);
    void setButtonText(const kelp::KLString& text);
    const kelp::KLString& getButtonText() const { return m_buttonText; }
    void setButtonTextFont(const GFont& font);
    void setButtonTextColor(int state, COLORREF color);
    void setButtonTextColors(const kelp::KLIntegerArray& colors);

    void onDraw(XDC& dc) override;

    // The state whose image and caption colour onDraw shows now.
    int imageState() const;

protected:
    // Minimum and initial size: the widest of image and caption, the image
    // above the caption with one pixel row between.
    void updateSizes();

    CSize m_imageSize{0, 0};  // the largest image slot, padding included
    CSize m_textSize{0, 0};   // the caption's extent in its font
    kelp::KLString m_buttonText;
    kelp::KLArray<CxImage*> m_buttonImages;  // by state index; null: no image
    GPadding m_padding;
    GFont m_buttonTextFont{"Arial", 6.0, 0, 0};
    kelp::KLIntegerArray m_buttonTextColors = kelp::KLIntegerArray(stateCount);  // COLORREFs

private:
    void measureText();
    void recomputeImageSize();
    void deleteImages();
    void copyImagesFrom(const YBImageButton& other);
    CxImage* slot(int state) const;
};
