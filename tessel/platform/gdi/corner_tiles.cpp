#include "gdi/corner_tiles.h"

#include <algorithm>
#include <new>

namespace tessel::gdi {

namespace {

// A zeroed A8 mask and a Cairo context drawing opaque coverage into it, with
// the DCs' own rasterisation settings.
pixman_image_t* createMask(int width, int height) {
    return pixman_image_create_bits(PIXMAN_a8, width, height, nullptr, 0);
}

cairo_surface_t* surfaceFor(pixman_image_t* mask) {
    return cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(pixman_image_get_data(mask)), CAIRO_FORMAT_A8,
        pixman_image_get_width(mask), pixman_image_get_height(mask),
        pixman_image_get_stride(mask));
}

cairo_t* contextFor(cairo_surface_t* surface) {
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    return cr;
}

std::size_t maskBytes(const pixman_image_t* mask) {
    if (!mask) return 0;
    auto* image = const_cast<pixman_image_t*>(mask);
    return static_cast<std::size_t>(pixman_image_get_stride(image)) *
           static_cast<std::size_t>(pixman_image_get_height(image));
}

}  // namespace

CornerTiles::~CornerTiles() { clear(); }

CornerTiles& CornerTiles::shared() {
    // Never destroyed, like the GDI state: shapes may be drawn during exit.
    alignas(CornerTiles) static unsigned char storage[sizeof(CornerTiles)];
    static CornerTiles* const instance = new (storage) CornerTiles;
    return *instance;
}

std::size_t CornerTiles::KeyHash::operator()(const Key& key) const {
    return (static_cast<std::size_t>(key.width) * 131 + static_cast<std::size_t>(key.height)) *
               131 +
           static_cast<std::size_t>(key.pen);
}

bool CornerTiles::cacheable(const Key& key) {
    const bool square = key.width == 0 && key.height == 0;
    const bool round = key.width > 0 && key.height > 0 && key.width <= kMaxDiameter &&
                       key.height <= kMaxDiameter;
    return (square || round) && key.pen >= 0 && key.pen <= kMaxPen;
}

bool CornerTiles::renderTiles(const Key& key, const Render& render, Tiles* tiles) {
    // A quadrant holds the corner's arc (half the diameter, rounded up) and
    // the pen's band: past it every row and column of the box is straight.
    tiles->tileWidth = std::max((key.width + 1) / 2, key.pen);
    tiles->tileHeight = std::max((key.height + 1) / 2, key.pen);
    const int width = 2 * tiles->tileWidth, height = 2 * tiles->tileHeight;
    if (width == 0 || height == 0) return true;
    tiles->fill = createMask(width, height);
    tiles->pen = key.pen > 0 ? createMask(width, height) : nullptr;
    if (!tiles->fill || (key.pen > 0 && !tiles->pen)) return false;
    cairo_surface_t* fillSurface = surfaceFor(tiles->fill);
    cairo_surface_t* penSurface = tiles->pen ? surfaceFor(tiles->pen) : nullptr;
    cairo_t* fill = contextFor(fillSurface);
    cairo_t* pen = penSurface ? contextFor(penSurface) : nullptr;
    render(fill, pen, RECT{0, 0, width, height});
    const bool ok = cairo_status(fill) == CAIRO_STATUS_SUCCESS &&
                    (!pen || cairo_status(pen) == CAIRO_STATUS_SUCCESS);
    cairo_destroy(fill);
    cairo_surface_finish(fillSurface);
    cairo_surface_destroy(fillSurface);
    if (pen) {
        cairo_destroy(pen);
        cairo_surface_finish(penSurface);
        cairo_surface_destroy(penSurface);
    }
    return ok;
}

void CornerTiles::release(Tiles& tiles) {
    if (tiles.fill) pixman_image_unref(tiles.fill);
    if (tiles.pen) pixman_image_unref(tiles.pen);
    tiles.fill = tiles.pen = nullptr;
}

const CornerTiles::Tiles* CornerTiles::find(const Key& key, const Render& render) {
    if (!cacheable(key)) return nullptr;
    if (auto it = m_entries.find(key); it != m_entries.end()) {
        m_ages.splice(m_ages.begin(), m_ages, it->second.age);
        return &it->second.tiles;
    }
    Tiles tiles;
    if (!renderTiles(key, render, &tiles)) {
        release(tiles);
        return nullptr;
    }
    // A map node, a list node and the masks.
    const std::size_t bytes =
        maskBytes(tiles.fill) + maskBytes(tiles.pen) + sizeof(Entry) + sizeof(Key) + 64;
    evictDownTo(m_budget > bytes ? m_budget - bytes : 0);
    m_ages.push_front(key);
    Entry& entry = m_entries[key];
    entry = Entry{tiles, m_ages.begin(), bytes};
    m_bytes += bytes;
    return &entry.tiles;
}

void CornerTiles::evictDownTo(std::size_t bytes) {
    while (m_bytes > bytes && !m_ages.empty()) {
        const auto it = m_entries.find(m_ages.back());
        m_bytes -= it->second.bytes;
        release(it->second.tiles);
        m_entries.erase(it);
        m_ages.pop_back();
    }
}

void CornerTiles::clear() { evictDownTo(0); }

}  // namespace tessel::gdi
