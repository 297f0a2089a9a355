// The scroll message a key sends a scrollable window (component host,
// manager) under keyboard operation: the codes a scroll bar's own parts send,
// so the window's existing scroll handlers do the moving.
//
//   if (const YBScrollKey* scroll = YBScrollKey::find(key))
//       ::SendMessageW(window, scroll->message, scroll->code, 0);
#pragma once

#include <algorithm>
#include <iterator>

#include <tessel/platform/win_user.h>

struct YBScrollKey {
    WPARAM key;
    UINT message;  // WM_VSCROLL or WM_HSCROLL
    WPARAM code;

    // The entry for `key`; null for a key that does not scroll.
    static const YBScrollKey* find(WPARAM key) {
        // clang-format off
        static constexpr YBScrollKey keys[] = {
            {VK_UP,    WM_VSCROLL, SB_LINEUP},   {VK_DOWN,  WM_VSCROLL, SB_LINEDOWN},
            {VK_PRIOR, WM_VSCROLL, SB_PAGEUP},   {VK_NEXT,  WM_VSCROLL, SB_PAGEDOWN},
            {VK_HOME,  WM_VSCROLL, SB_TOP},      {VK_END,   WM_VSCROLL, SB_BOTTOM},
            {VK_LEFT,  WM_HSCROLL, SB_LINELEFT}, {VK_RIGHT, WM_HSCROLL, SB_LINERIGHT},
        };
        // clang-format on
        const auto* found = std::ranges::find(keys, key, &YBScrollKey::key);
        return found == std::end(keys) ? nullptr : found;
    }
};
