// A text button whose box stands a few pixels inside its cell, so buttons
// flowed side by side by a host keep apart; the whole cell still takes the
// mouse. Styles are given at construction because the cell is sized after them.
//
//   host.addComponent(new SpacedTextButton(601, L"Open", gallery::blueStyle(), &host), false, false);
#pragma once

#include <optional>

#include <tessel/components/YBTextButton.h>

class SpacedTextButton : public YBTextButton {
public:
    static constexpr int kGap = 4;  // pixels around the box

    SpacedTextButton(unsigned int id, const kelp::KLString& text, const YBTextButtonStyle& style,
                     CWnd* owner, std::optional<YBTextButtonStyle> selectedStyle = std::nullopt);

    void onDraw(XDC& dc) override;
};
