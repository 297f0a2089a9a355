// libFuzzer target: arbitrary bytes through the image decoder, then every
// pixel operation on whatever decodes, with the invariants each must keep.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <tessel/drawing/ImageData.h>
#include <tessel/platform/gdi.h>

namespace {

using tessel::drawing::ImageData;

// Copying and greying touch every pixel, so a small file declaring a large
// but legal size spent most of its time there rather than in the decoder.
// Their per-pixel code is the same at any size and rows are addressed in
// 64 bits, so images up to this many pixels exercise all of it.
constexpr long long kWholePassPixels = 1LL << 16;
// Pixels checked per image, on a grid over all of it.
constexpr int kGridSide = 48;

void require(bool holds) {
    if (!holds) std::abort();
}

template <class Check>
void forGrid(const ImageData& image, Check check) {
    const int stepX = std::max(1, image.width() / kGridSide);
    const int stepY = std::max(1, image.height() / kGridSide);
    for (int y = 0; y < image.height(); y += stepY) {
        for (int x = 0; x < image.width(); x += stepX)
            check(image.pixel(x, y));
        check(image.pixel(image.width() - 1, y));
    }
    check(image.pixel(image.width() - 1, image.height() - 1));
}

BYTE channel(DWORD pixel, int shift) {
    return static_cast<BYTE>(pixel >> shift);
}

// Premultiplied: no colour channel exceeds alpha.
void requirePremultiplied(DWORD pixel) {
    const BYTE alpha = channel(pixel, 24);
    require(channel(pixel, 0) <= alpha && channel(pixel, 8) <= alpha && channel(pixel, 16) <= alpha);
}

void draw(const ImageData& image, const ImageData& opaque) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateCompatibleBitmap(dc, 8, 8);
    HGDIOBJ previous = SelectObject(dc, target);
    const RECT dest{0, 0, 8, 8}, clip{1, 1, 5, 5};
    image.draw(dc, dest, &clip, true, 200);
    if (opaque.valid()) opaque.draw(dc, dest, nullptr, false, 255);
    SelectObject(dc, previous);
    DeleteObject(target);
    DeleteDC(dc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ImageData image;
    if (!image.loadFromMemory(data, size)) {
        require(!image.valid() && image.width() == 0 && image.height() == 0);
        return 0;
    }
    const long long pixels = static_cast<long long>(image.width()) * image.height();
    require(image.width() > 0 && image.height() > 0 && image.width() <= ImageData::kMaxSide &&
            image.height() <= ImageData::kMaxSide && pixels <= ImageData::kMaxPixels);
    forGrid(image, requirePremultiplied);

    ImageData opaque;
    if (pixels <= kWholePassPixels) {
        require(opaque.copy(image, false) && opaque.width() == image.width() &&
                opaque.height() == image.height());
        forGrid(opaque, [](DWORD pixel) { require(channel(pixel, 24) == 255); });
        require(image.grayscale());
        forGrid(image, [](DWORD pixel) {
            requirePremultiplied(pixel);
            require(channel(pixel, 0) == channel(pixel, 8) && channel(pixel, 8) == channel(pixel, 16));
        });
    }
    draw(image, opaque);
    return 0;
}
