// What the end-to-end driver needs beyond xdotool and xwd:
//   e2e_xtool pixel FILE.xwd X Y   prints the pixel's colour as RRGGBB
//   e2e_xtool close WINDOW         asks the window to close (WM_DELETE_WINDOW),
//                                  as a desktop's close button does
#include <X11/Xlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// An XWD dump: a header of big-endian 32-bit fields, the window name, the
// colour map, then the image in the server's byte order.
struct XwdHeader {
    enum Field {
        kHeaderSize = 0,
        kWidth = 4,
        kHeight = 5,
        kByteOrder = 7,
        kBitsPerPixel = 11,
        kBytesPerLine = 12,
        kRedMask = 14,
        kGreenMask = 15,
        kBlueMask = 16,
        kColours = 19,
        kCount = 25
    };
    std::uint32_t field[kCount];
};

std::uint32_t bigEndian(const unsigned char* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

unsigned channel(std::uint32_t pixel, std::uint32_t mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!(mask & (1u << shift)))
        ++shift;
    const std::uint32_t value = (pixel & mask) >> shift, maximum = mask >> shift;
    return static_cast<unsigned>(value * 255 / maximum);
}

int pixel(const char* path, long x, long y) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> data{std::istreambuf_iterator<char>(in), {}};
    XwdHeader h{};
    if (data.size() < sizeof h.field) return std::fprintf(stderr, "%s: not an XWD file\n", path), 1;
    for (int i = 0; i < XwdHeader::kCount; ++i)
        h.field[i] = bigEndian(&data[static_cast<std::size_t>(i) * 4]);
    const std::uint32_t bpp = h.field[XwdHeader::kBitsPerPixel];
    if ((bpp != 24 && bpp != 32) || x < 0 || y < 0 || x >= h.field[XwdHeader::kWidth] ||
        y >= h.field[XwdHeader::kHeight])
        return std::fprintf(stderr, "%s: unsupported depth or point outside\n", path), 1;
    const std::size_t start = h.field[XwdHeader::kHeaderSize] + h.field[XwdHeader::kColours] * 12;
    const std::size_t at = start + static_cast<std::size_t>(y) * h.field[XwdHeader::kBytesPerLine] +
                           static_cast<std::size_t>(x) * (bpp / 8);
    if (at + bpp / 8 > data.size()) return std::fprintf(stderr, "%s: truncated\n", path), 1;
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < bpp / 8; ++i) {
        const bool lsbFirst = h.field[XwdHeader::kByteOrder] == 0;
        const std::uint32_t byte = data[at + (lsbFirst ? i : bpp / 8 - 1 - i)];
        value |= byte << (8 * i);
    }
    std::printf("%02x%02x%02x\n", channel(value, h.field[XwdHeader::kRedMask]),
                channel(value, h.field[XwdHeader::kGreenMask]),
                channel(value, h.field[XwdHeader::kBlueMask]));
    return 0;
}

int close(Window window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return std::fprintf(stderr, "no display\n"), 1;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XCloseDisplay(display);  // flushes
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "pixel") == 0)
        return pixel(argv[2], std::strtol(argv[3], nullptr, 10), std::strtol(argv[4], nullptr, 10));
    if (argc == 3 && std::strcmp(argv[1], "close") == 0)
        return close(static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
    std::fprintf(stderr, "usage: e2e_xtool pixel FILE X Y | close WINDOW\n");
    return 2;
}
