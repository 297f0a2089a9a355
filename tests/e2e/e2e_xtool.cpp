// What the end-to-end driver needs beyond xdotool:
//   e2e_xtool pixel X Y     prints the screen's colour there as RRGGBB
//   e2e_xtool close WINDOW  asks the window to close (WM_DELETE_WINDOW), as a
//                           desktop's close button does
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int pixel(Display* display, int x, int y) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes screen{};
    XGetWindowAttributes(display, root, &screen);
    if (x < 0 || y < 0 || x >= screen.width || y >= screen.height)
        return std::fprintf(stderr, "(%d, %d) is off the screen\n", x, y), 1;
    XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return std::fprintf(stderr, "no image of the screen\n"), 1;
    XColor colour{};
    colour.pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    XQueryColor(display, screen.colormap, &colour);
    std::printf("%02x%02x%02x\n", colour.red >> 8, colour.green >> 8, colour.blue >> 8);
    return 0;
}

int close(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool isPixel = argc == 4 && std::strcmp(argv[1], "pixel") == 0;
    if (!isPixel && !(argc == 3 && std::strcmp(argv[1], "close") == 0)) {
        std::fprintf(stderr, "usage: e2e_xtool pixel X Y | close WINDOW\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return std::fprintf(stderr, "no display\n"), 1;
    const int status =
        isPixel ? pixel(display, std::atoi(argv[2]), std::atoi(argv[3]))
                : close(display, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
    XCloseDisplay(display);  // flushes
    return status;
}
