// The gallery's scripted tour: a user's session played through SendInput
// (move, press, release, wheel, thumb drag, resize), with a screenshot after each step.
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
    // Grabs the scrolling host's thumb and drags it `distance` pixels down.
    void dragThumb(int distance);

    GalleryWnd& m_gallery;
    std::string m_directory;
    int m_steps = 0;
    int m_failures = 0;
};
