// What the end-to-end driver needs beyond xdotool:
//   e2e_xtool pixel X Y     prints the screen's colour there as RRGGBB
//   e2e_xtool close WINDOW  asks the window to close (WM_DELETE_WINDOW), as a
//                           desktop's close button does
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const bool pixel = argc == 4 && std::strcmp(argv[1], "pixel") == 0;
    Display* display = XOpenDisplay(nullptr);
    if (!pixel && !(argc == 3 && std::strcmp(argv[1], "close") == 0))
        return std::fprintf(stderr, "usage: e2e_xtool pixel X Y | close WINDOW\n"), 2;
    if (!display) return std::fprintf(stderr, "no display\n"), 1;
    const Window root = DefaultRootWindow(display);
    XWindowAttributes screen{};
    XGetWindowAttributes(display, root, &screen);
    XColor colour{};
    if (pixel) {
        const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
        XImage* image = x >= 0 && y >= 0 && x < screen.width && y < screen.height
                            ? XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap)
                            : nullptr;
        if (!image) return std::fprintf(stderr, "no image of the screen at (%d, %d)\n", x, y), 1;
        colour.pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        XQueryColor(display, screen.colormap, &colour);
        std::printf("%02x%02x%02x\n", colour.red >> 8, colour.green >> 8, colour.blue >> 8);
    } else {
        XEvent event{.xclient = {ClientMessage,
                                 0,
                                 False,
                                 display,
                                 static_cast<Window>(std::strtoul(argv[2], nullptr, 0)),
                                 XInternAtom(display, "WM_PROTOCOLS", False),
                                 32,
                                 {}}};
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    }
    XCloseDisplay(display);  // flushes
    return 0;
}
