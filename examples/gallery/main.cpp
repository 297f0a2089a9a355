// The Tessel gallery: a tour of the toolkit. With a display it is an
// interactive application; without one, or with --tour DIR, it plays a
// scripted tour and writes a screenshot of each step into DIR.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include <tessel/platform/afx_app.h>
#include <tessel/platform/display.h>

#include "GalleryWnd.h"
#include "Tour.h"

int main(int argc, char** argv) {
    std::string tourDirectory;
    bool tour = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--tour") == 0 && i + 1 < argc) {
            tour = true;
            tourDirectory = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--tour DIR]\n", argv[0]);
            return 2;
        }
    }
    if (!tour && !tessel::hasDisplay()) {
        tour = true;
        tourDirectory = "gallery-tour";
    }

    GalleryWnd gallery(GALLERY_ICON_DIR);
    // Centred on the screen, or at its top left when the screen is smaller.
    const CSize size = gallery.getInitialSize();
    const int x = std::max(0, (::GetSystemMetrics(SM_CXSCREEN) - static_cast<int>(size.cx)) / 2);
    const int y = std::max(0, (::GetSystemMetrics(SM_CYSCREEN) - static_cast<int>(size.cy)) / 2);
    if (!gallery.createAt(x, y, nullptr)) {
        std::fprintf(stderr, "gallery: the main window could not be created\n");
        return 1;
    }
    // Active from the start, as a main window shown on Windows is: keys reach it.
    gallery.SetFocus();
    if (tour) return Tour(gallery, tourDirectory).run();

    std::printf("gallery: on the %s display; close the window to quit\n", tessel::displayBackend());
    std::fflush(stdout);
    bool reportedPainted = false;
    while (AfxPumpMessage()) {
        // Said once, when the first full picture is drawn: a script driving
        // the gallery reads the screen only after it.
        MSG paint;
        if (reportedPainted || ::PeekMessageW(&paint, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE))
            continue;
        reportedPainted = true;
        std::printf("gallery: painted\n");
        std::fflush(stdout);
    }
    return 0;
}
