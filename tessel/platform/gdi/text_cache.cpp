#include "gdi/text_cache.h"

#include <algorithm>
#include <functional>

namespace tessel::gdi {

namespace {
// A map node (key, entry, hash, link) and a list node (value, two links).
constexpr std::size_t kNodeBytes = 2 * sizeof(void*) + sizeof(std::size_t) + 3 * sizeof(void*);
}  // namespace

std::size_t TextCache::KeyHash::operator()(const Key& key) const {
    std::size_t h = std::hash<std::wstring>{}(key.text);
    auto mix = [&](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    mix(key.face);
    mix(static_cast<std::size_t>(key.options.wrapWidth));
    mix((key.options.singleLine ? 1 : 0) | (key.options.endEllipsis ? 2 : 0) |
        (static_cast<int>(key.options.prefix) << 2));
    return h;
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
