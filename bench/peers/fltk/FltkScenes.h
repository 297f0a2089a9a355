// The FLTK peer's scenes, built the way an FLTK application would build
// them: buttons labelled "Button N", 64x16, 20 to a row, in a double-buffered
// window of 1280x800 shown on the X display. Drawing happens in the X
// server, so every repaint ends with a round trip that waits for it.
//
//   Fl_Double_Window window(0, 0, kWidth, kHeight);
//   tessel::bench::fltk::addButtons(0, 1000);   // into the current group
//   window.end(); window.show(); tessel::bench::fltk::repaint();
#pragma once

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/x.H>

#include <string>

namespace tessel::bench::fltk {

constexpr int kWidth = 1280, kHeight = 800;
constexpr int kButtonWidth = 64, kButtonHeight = 16, kButtonsPerRow = kWidth / kButtonWidth;

inline int buttonX(int i) {
    return (i % kButtonsPerRow) * kButtonWidth;
}
inline int buttonY(int i) {
    return (i / kButtonsPerRow) * kButtonHeight;
}

// Buttons first .. first + count - 1, each owning its label, added to the
// group being built (Fl_Group::current()).
inline void addButtons(int first, int count, int top = 0) {
    for (int i = first; i < first + count; ++i) {
        auto* button = new Fl_Button(buttonX(i), top + buttonY(i), kButtonWidth, kButtonHeight);
        button->copy_label(("Button " + std::to_string(i + 1)).c_str());
    }
}

// Every damaged window drawn, and the X server done drawing it.
inline void repaint() {
    Fl::flush();
    XSync(fl_display, False);
}

// Events the display sent (exposure of a newly shown window) handled, then painted.
inline void settle() {
    while (Fl::check() && Fl::ready()) {
    }
    repaint();
}

}  // namespace tessel::bench::fltk
