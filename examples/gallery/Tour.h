// The gallery's scripted tour: a user's session played through SendInput
// (move, press, release, wheel, thumb drag, bar drag, resize, then the same
// kinds of things from the keyboard alone), with a screenshot after each
// step and the commands received printed at the end.
//
//   Tour tour(gallery, "/tmp/tour");
//   return tour.run();
#pragma once

#include <string>

#include "GalleryWnd.h"

class Tour {
public:
    Tour(GalleryWnd& gallery, std::string directory);
    // Plays every step; 0 when every screenshot was written.
    int run();

private:
    void step(const char* name);
    void moveTo(CPoint screenPoint);
    void press();
    void release();
    void click(CPoint screenPoint);
    void wheel(int delta);
    void drag(CPoint from, CSize by);
    // Grabs the component host's thumb and drags it `distance` pixels down.
    void dragThumb(int distance);
    CPoint component(unsigned int id);
    void key(WORD vk);
    // Presses Tab, as a user would, until the focus is in `window`.
    void tabInto(HWND window);

    GalleryWnd& m_gallery;
    std::string m_directory;
    int m_steps = 0;
    int m_failures = 0;
};
