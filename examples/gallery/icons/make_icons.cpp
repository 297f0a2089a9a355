// Makes the gallery's button icons: eight shapes, each with "-normal",
// "-over" and "-pressed" images and, except for two shapes, "-disabled";
// the shapes alternate between PNG, JPEG and GIF files.
//
//   make_icons OUTDIR
#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "GifWriter.h"

namespace {

constexpr int kSize = 32;

struct Shape {
    const char* name;
    double r, g, b;
    bool hasDisabled;
};
constexpr Shape kShapes[] = {
    {"circle", 0.20, 0.47, 0.75, true},  {"square", 0.18, 0.59, 0.39, true},
    {"diamond", 0.78, 0.43, 0.16, true}, {"triangle", 0.51, 0.31, 0.67, true},
    {"star", 0.85, 0.65, 0.10, false},   {"ring", 0.67, 0.24, 0.35, false},
    {"cross", 0.25, 0.55, 0.60, true},   {"bars", 0.40, 0.40, 0.48, true},
};

enum class Look { normal, over, pressed, disabled };

void outline(cairo_t* cr, const char* name) {
    const double c = kSize / 2.0, r = kSize * 0.40;
    const std::string shape = name;
    if (shape == "circle" || shape == "ring") {
        cairo_arc(cr, c, c, r, 0, 2 * M_PI);
    } else if (shape == "square") {
        cairo_rectangle(cr, c - r * 0.85, c - r * 0.85, r * 1.7, r * 1.7);
    } else if (shape == "diamond") {
        cairo_move_to(cr, c, c - r);
        cairo_line_to(cr, c + r, c);
        cairo_line_to(cr, c, c + r);
        cairo_line_to(cr, c - r, c);
        cairo_close_path(cr);
    } else if (shape == "triangle") {
        cairo_move_to(cr, c, c - r);
        cairo_line_to(cr, c + r, c + r * 0.8);
        cairo_line_to(cr, c - r, c + r * 0.8);
        cairo_close_path(cr);
    } else if (shape == "star") {
        for (int i = 0; i < 10; ++i) {
            const double angle = -M_PI / 2 + i * M_PI / 5, radius = i % 2 ? r * 0.45 : r;
            cairo_line_to(cr, c + radius * std::cos(angle), c + radius * std::sin(angle));
        }
        cairo_close_path(cr);
    } else if (shape == "cross") {
        cairo_rectangle(cr, c - r * 0.3, c - r, r * 0.6, r * 2);
        cairo_rectangle(cr, c - r, c - r * 0.3, r * 2, r * 0.6);
    } else {  // bars
        for (int i = 0; i < 3; ++i)
            cairo_rectangle(cr, c - r + i * r * 0.7, c + r - (i + 1) * r * 0.6, r * 0.5,
                            (i + 1) * r * 0.6);
    }
}

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

Surface draw(const Shape& shape, Look look, bool opaqueBackground) {
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize),
                    &cairo_surface_destroy);
    cairo_t* cr = cairo_create(surface.get());
    if (opaqueBackground) {
        cairo_set_source_rgb(cr, 0.97, 0.97, 0.98);
        cairo_paint(cr);
    }
    double r = shape.r, g = shape.g, b = shape.b;
    if (look == Look::over) r += (1 - r) * 0.35, g += (1 - g) * 0.35, b += (1 - b) * 0.35;
    if (look == Look::pressed) r *= 0.65, g *= 0.65, b *= 0.65;
    if (look == Look::disabled) r = g = b = 0.3 * r + 0.59 * g + 0.11 * b + 0.2;
    const double shift = look == Look::pressed ? 1.5 : 0;
    cairo_translate(cr, shift, shift);
    outline(cr, shape.name);
    cairo_set_source_rgb(cr, r, g, b);
    if (std::string(shape.name) == "ring") {
        cairo_set_line_width(cr, 6);
        cairo_stroke(cr);
    } else {
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface.get());
    return surface;
}

// Cairo keeps premultiplied BGRA words; files want straight RGBA.
std::vector<std::uint8_t> straightRgba(cairo_surface_t* surface) {
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < kSize; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        for (int x = 0; x < kSize; ++x) {
            const std::uint32_t p = row[x];
            const unsigned a = p >> 24;
            auto channel = [&](int shiftBits) {
                const unsigned v = (p >> shiftBits) & 0xFF;
                return static_cast<std::uint8_t>(a ? (v * 255 + a / 2) / a : 0);
            };
            rgba.insert(rgba.end(),
                        {channel(16), channel(8), channel(0), static_cast<std::uint8_t>(a)});
        }
    }
    return rgba;
}

bool writeJpeg(const std::string& path, const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> rgb;
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_data(rgb.data(), GDK_COLORSPACE_RGB, FALSE, 8, kSize,
                                                 kSize, kSize * 3, nullptr, nullptr);
    GError* error = nullptr;
    const bool saved =
        gdk_pixbuf_save(pixbuf, path.c_str(), "jpeg", &error, "quality", "92", nullptr);
    if (error) g_error_free(error);
    g_object_unref(pixbuf);
    return saved;
}

bool writeIcon(const std::filesystem::path& directory, const Shape& shape, int format, Look look,
               const char* suffix) {
    const char* extensions[] = {".png", ".jpg", ".gif"};
    const std::string path =
        (directory / (std::string(shape.name) + suffix + extensions[format])).string();
    const Surface surface = draw(shape, look, format == 1);
    switch (format) {
        case 0:
            return cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
        case 1:
            return writeJpeg(path, straightRgba(surface.get()));
        default:
            return GifWriter::write(path, kSize, kSize, straightRgba(surface.get()));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);
    int format = 0;
    for (const Shape& shape : kShapes) {
        bool ok = writeIcon(directory, shape, format, Look::normal, "-normal") &&
                  writeIcon(directory, shape, format, Look::over, "-over") &&
                  writeIcon(directory, shape, format, Look::pressed, "-pressed");
        if (shape.hasDisabled)
            ok = ok && writeIcon(directory, shape, format, Look::disabled, "-disabled");
        if (!ok) {
            std::fprintf(stderr, "make_icons: could not write the %s icons\n", shape.name);
            return 1;
        }
        format = (format + 1) % 3;
    }
    return 0;
}
