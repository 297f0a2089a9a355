#include "gdi/text_cache.h"

#include <algorithm>
#include <functional>

namespace tessel::gdi {

namespace {
// A map node (key, entry, hash, link) and a list node (value, two links).
constexpr std::size_t kNodeBytes = 2 * sizeof(void*) + sizeof(std::size_t) + 3 * sizeof(void*);

std::size_t mixed(std::size_t h, std::uint64_t face, const LayoutOptions& options) {
    auto mix = [&](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    mix(face);
    mix(static_cast<std::size_t>(options.wrapWidth));
    mix((options.singleLine ? 1 : 0) | (options.endEllipsis ? 2 : 0) |
        (static_cast<int>(options.prefix) << 2));
    return h;
}
}  // namespace

std::size_t TextCache::KeyHash::operator()(const Key& key) const {
    return mixed(std::hash<std::wstring>{}(key.text), key.face, key.options);
}

std::size_t TextCache::MeasureKeyHash::operator()(const MeasureKey& key) const {
    return mixed(key.textHash ^ (key.length * 0x9e3779b97f4a7c15ULL), key.face, key.options);
}

std::size_t TextCache::bytesOf(const Key& key, const TextLayout& layout) {
    return sizeof(std::pair<const Key, Entry>) + kNodeBytes +
           key.text.capacity() * sizeof(wchar_t) + layout.bytes();
}

TextCache::Lease TextCache::find(const Key& key) {
    const auto found = m_entries.find(key);
    if (found == m_entries.end()) return {};
    m_ages.splice(m_ages.begin(), m_ages, found->second.age);
    return Lease(this, found->second.layout.get());
}

TextCache::Lease TextCache::keep(Key key, std::unique_ptr<TextLayout> layout) {
    const std::size_t size = bytesOf(key, *layout);
    if (size > m_budget) return Lease(std::move(layout));
    evictDownTo(m_budget - size);
    auto [at, inserted] = m_entries.try_emplace(std::move(key), Entry{std::move(layout), {}, size});
    if (!inserted) return Lease(this, at->second.layout.get());
    m_ages.push_front(&*at);
    at->second.age = m_ages.begin();
    m_bytes += size;
    return Lease(this, at->second.layout.get());
}

void TextCache::clear() {
    m_ages.clear();
    m_entries.clear();
    m_bytes = 0;
    m_measures.clear();
    m_measureAges.clear();
}

const TextCache::Measure* TextCache::findMeasure(const MeasureKey& key) const {
    const auto found = m_measures.find(key);
    return found == m_measures.end() ? nullptr : &found->second;
}

void TextCache::keepMeasure(const MeasureKey& key, const Measure& measure) {
    if (!m_measures.insert_or_assign(key, measure).second) return;
    m_measureAges.push_back(key);
    if (m_measureAges.size() > kMeasuresKept) {
        m_measures.erase(m_measureAges.front());
        m_measureAges.pop_front();
    }
}

int TextCache::maskCount() const {
    int count = 0;
    for (const auto& [key, entry] : m_entries)
        count += entry.layout->maskCount();
    return count;
}

// The newest entry is the one that was leased: its masks may have grown.
void TextCache::settle() {
    if (m_ages.empty()) return;
    auto& [key, entry] = *m_ages.front();
    const std::size_t size = bytesOf(key, *entry.layout);
    m_bytes = m_bytes - entry.bytes + size;
    entry.bytes = size;
    if (size > m_budget) {
        erase(m_ages.begin());
    } else {
        evictDownTo(m_budget);
    }
}

void TextCache::evictDownTo(std::size_t bytes) {
    while (m_bytes > bytes && !m_ages.empty())
        erase(std::prev(m_ages.end()));
}

void TextCache::erase(Ages::iterator age) {
    const auto* node = *age;
    m_bytes -= node->second.bytes;
    m_ages.erase(age);
    m_entries.erase(m_entries.find(node->first));
}

}  // namespace tessel::gdi
