// Internal: the corners of rounded rectangles as A8 coverage masks, so a
// rounded box is a few mask composites and solid fills rather than a Cairo
// path per call. At whole-pixel positions the corners of a rounded
// rectangle only depend on the corner diameters and the pen width, so each
// distinct corner set is rasterised once, by the caller's own path code,
// as a box just big enough to hold its four corners. Bounded in bytes; the
// least recently used sets go first.
//
// Not thread-safe by itself: every use happens under the GDI lock.
//
//   const CornerTiles::Tiles* tiles = CornerTiles::shared().find(
//       {width, height, pen}, [&](cairo_t* fill, cairo_t* outline, const RECT& box) {
//           // the same path code as the DC's, on `box`
//       });
//   // each quadrant of tiles->fill and tiles->pen is one corner of any box
//   // at least twice the tile size
#pragma once

#include <cairo.h>
#include <pixman.h>

#include <cstddef>
#include <functional>
#include <list>
#include <unordered_map>

#include <tessel/platform/gdi.h>

namespace tessel::gdi {

class CornerTiles {
public:
    static constexpr std::size_t kDefaultBudget = std::size_t{256} << 10;
    // Larger corners or pens are drawn as paths: they are rare and their masks big.
    static constexpr int kMaxDiameter = 128;
    static constexpr int kMaxPen = 32;

    struct Key {
        int width;   // corner diameters, both > 0, or both 0 for square corners
        int height;
        int pen;     // 0: no pen
        bool operator==(const Key&) const = default;
    };

    // Masks of the smallest box holding the four corners, each corner one quadrant.
    struct Tiles {
        int tileWidth = 0, tileHeight = 0;  // one quadrant; box is twice that
        pixman_image_t* fill = nullptr;     // the shape's inside
        pixman_image_t* pen = nullptr;      // the outline band; null without a pen
    };

    // Draws the shape of `box` (surface pixels) into `fill` and its outline
    // into `outline` (null without a pen); both have the source set.
    using Render = std::function<void(cairo_t* fill, cairo_t* outline, const RECT& box)>;

    explicit CornerTiles(std::size_t budget = kDefaultBudget) : m_budget(budget) {}
    ~CornerTiles();
    CornerTiles(const CornerTiles&) = delete;
    CornerTiles& operator=(const CornerTiles&) = delete;

    static bool cacheable(const Key& key);
    // The corner set for `key`, rendered on a miss; null when not cacheable
    // or rasterising failed.
    const Tiles* find(const Key& key, const Render& render);
    void clear();
    std::size_t bytes() const { return m_bytes; }

    // The process's cache. Off: callers draw every rounded box as a path
    // (tests compare both ways).
    static CornerTiles& shared();
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

private:
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    struct Entry {
        Tiles tiles;
        std::list<Key>::iterator age;
        std::size_t bytes;
    };

    static bool renderTiles(const Key& key, const Render& render, Tiles* tiles);
    static void release(Tiles& tiles);
    void evictDownTo(std::size_t bytes);

    std::size_t m_budget;
    std::size_t m_bytes = 0;
    bool m_enabled = true;
    std::unordered_map<Key, Entry, KeyHash> m_entries;
    std::list<Key> m_ages;  // most recently used first
};

}  // namespace tessel::gdi
