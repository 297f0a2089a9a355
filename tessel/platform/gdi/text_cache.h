// Internal: laid-out text by face, text and options, bounded in bytes (8 MiB
// by default). An entry counts with its layout, its coverage masks and its
// key; the least recently used entries go first, and a layout bigger than the
// whole budget is never kept: its lease owns it and frees it.
//
// Invariant: bytes() <= budget() whenever no lease is out. Only the newest
// entry can change while leased (masks are made as lines are drawn), so the
// end of a lease re-counts it and evicts what no longer fits.
//
// Beside the layouts it keeps what measuring wrapped paragraphs found (their
// line count and widest line) by face, options and a hash of the text, a
// bounded number of them, so text measured again is not laid out again.
//
//   if (TextCache::Lease cached = cache.find(key)) return cached;
//   return cache.keep(std::move(key), build(key));
//   // the caller draws with *lease; one lease at a time, ended before the next
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include "gdi/text_layout.h"

namespace tessel::gdi {

class TextCache {
public:
    static constexpr std::size_t kDefaultBudget = std::size_t{8} << 20;

    struct Key {
        std::uint64_t face;
        std::wstring text;
        LayoutOptions options;
        bool operator==(const Key&) const = default;
    };

    struct MeasureKey {
        std::uint64_t face;
        std::size_t textHash;
        std::size_t length;
        LayoutOptions options;
        bool operator==(const MeasureKey&) const = default;
    };
    struct Measure {
        long long lines;
        int widest;
    };
    static constexpr std::size_t kMeasuresKept = 4096;

    // A layout in use by one drawing or measuring call.
    class Lease {
    public:
        Lease() = default;
        Lease(Lease&& other) noexcept
            : m_cache(std::exchange(other.m_cache, nullptr)),
              m_layout(std::exchange(other.m_layout, nullptr)),
              m_owned(std::move(other.m_owned)) {}
        Lease& operator=(Lease&&) = delete;
        ~Lease() {
            if (m_cache) m_cache->settle();
        }

        explicit operator bool() const { return m_layout != nullptr; }
        TextLayout& operator*() const { return *m_layout; }
        TextLayout* operator->() const { return m_layout; }

    private:
        friend class TextCache;
        Lease(TextCache* cache, TextLayout* layout) : m_cache(cache), m_layout(layout) {}
        explicit Lease(std::unique_ptr<TextLayout> owned)
            : m_layout(owned.get()), m_owned(std::move(owned)) {}

        TextCache* m_cache = nullptr;  // to settle with; null when the layout is not kept
        TextLayout* m_layout = nullptr;
        std::unique_ptr<TextLayout> m_owned;  // too big to keep
    };

    explicit TextCache(std::size_t budget = kDefaultBudget) : m_budget(budget) {}
    TextCache(const TextCache&) = delete;
    TextCache& operator=(const TextCache&) = delete;

    // The cached layout for `key`, made the most recently used; empty when none.
    Lease find(const Key& key);
    // Keeps `layout` under `key` (not cached yet) when it fits the budget.
    Lease keep(Key key, std::unique_ptr<TextLayout> layout);
    // A lease owning `layout`, never kept: text passed through once would
    // only push out what is kept.
    static Lease unkept(std::unique_ptr<TextLayout> layout) { return Lease(std::move(layout)); }
    void clear();

    const Measure* findMeasure(const MeasureKey& key) const;
    // Past kMeasuresKept the oldest measures go.
    void keepMeasure(const MeasureKey& key, const Measure& measure);

    std::size_t budget() const { return m_budget; }
    std::size_t bytes() const { return m_bytes; }
    std::size_t size() const { return m_entries.size(); }
    int maskCount() const;  // rasterised lines over all entries

private:
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    struct MeasureKeyHash {
        std::size_t operator()(const MeasureKey& key) const;
    };
    struct Entry;
    using Ages = std::list<std::pair<const Key, Entry>*>;  // most recently used first
    struct Entry {
        std::unique_ptr<TextLayout> layout;
        Ages::iterator age;
        std::size_t bytes;  // as last counted
    };

    static std::size_t bytesOf(const Key& key, const TextLayout& layout);
    void settle();
    void evictDownTo(std::size_t bytes);
    void erase(Ages::iterator age);

    std::size_t m_budget;
    std::size_t m_bytes = 0;
    std::unordered_map<Key, Entry, KeyHash> m_entries;
    Ages m_ages;
    std::unordered_map<MeasureKey, Measure, MeasureKeyHash> m_measures;
    std::deque<MeasureKey> m_measureAges;  // oldest first
};

}  // namespace tessel::gdi
