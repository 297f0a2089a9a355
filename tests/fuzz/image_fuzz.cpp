// libFuzzer target: arbitrary bytes through the image decoder, then every
// pixel operation on whatever decodes.
#include <cstddef>
#include <cstdint>

#include <tessel/drawing/ImageData.h>
#include <tessel/platform/gdi.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tessel::drawing::ImageData image;
    if (!image.loadFromMemory(data, size)) return 0;
    tessel::drawing::ImageData opaque;
    opaque.copy(image, false);
    image.grayscale();
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateCompatibleBitmap(dc, 8, 8);
    HGDIOBJ previous = SelectObject(dc, target);
    const RECT dest{0, 0, 8, 8}, clip{1, 1, 5, 5};
    image.draw(dc, dest, &clip, true, 200);
    opaque.draw(dc, dest, nullptr, false, 255);
    SelectObject(dc, previous);
    DeleteObject(target);
    DeleteDC(dc);
    return 0;
}
