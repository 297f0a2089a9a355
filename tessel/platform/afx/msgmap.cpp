#include <tessel/platform/afx_msgmap.h>

#include <algorithm>

namespace afx {

const AFX_MSGMAP_ENTRY* MessageIndex::walk(const AFX_MSGMAP* map, UINT message) {
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->message; ++entry) {
            if (entry->message == message) return entry;
        }
    }
    return nullptr;
}

MessageIndex::MessageIndex(const AFX_MSGMAP* map) : m_map(map), m_entries{} {
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->message; ++entry) {
            if (entry->message == WM_COMMAND) continue;
            if (m_count == kCapacity) {
                m_count = -1;
                return;
            }
            m_entries[m_count++] = entry;
        }
    }
    // Stable: of two entries for one message, the derived class's stays first.
    std::stable_sort(m_entries, m_entries + m_count,
                     [](const AFX_MSGMAP_ENTRY* a, const AFX_MSGMAP_ENTRY* b) {
                         return a->message < b->message;
                     });
}

const AFX_MSGMAP_ENTRY* MessageIndex::find(UINT message) const {
    if (message == WM_COMMAND) return nullptr;
    if (m_count < 0) return walk(m_map, message);
    const auto* end = m_entries + m_count;
    const auto* at =
        std::lower_bound(m_entries, end, message,
                         [](const AFX_MSGMAP_ENTRY* entry, UINT m) { return entry->message < m; });
    return at != end && (*at)->message == message ? *at : nullptr;
}

}  // namespace afx
