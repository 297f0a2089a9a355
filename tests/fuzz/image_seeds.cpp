// Writes the seed corpus of the image fuzzer into the directory given (made
// if missing): a valid PNG, JPEG and GIF, and damaged variants of each.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "image_files.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    using image_files::Rgba;
    const std::vector<Rgba> pixels = {
        {255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 0}, {9, 9, 9, 255}};
    if (!image_files::writeImage(dir + "/seed.png", "png", 2, 2, pixels) ||
        !image_files::writeImage(dir + "/seed.jpg", "jpeg", 2, 2, pixels) ||
        !image_files::writeBytes(dir + "/seed.gif", image_files::kGif) ||
        !image_files::writeBytes(dir + "/huge.png", image_files::pngHeader(100000, 100000)))
        return 1;
    for (const char* name : {"seed.png", "seed.jpg", "seed.gif"}) {
        const std::vector<std::uint8_t> bytes = image_files::readBytes(dir + "/" + name);
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + bytes.size() / 2);
        std::vector<std::uint8_t> flipped = bytes;
        for (std::size_t i = 8; i < flipped.size(); i += 7)
            flipped[i] ^= 0x5A;
        if (!image_files::writeBytes(dir + "/cut-" + name, cut) ||
            !image_files::writeBytes(dir + "/flipped-" + name, flipped))
            return 1;
    }
    return 0;
}
