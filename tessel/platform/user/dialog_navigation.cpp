// Dialog navigation on any window: the tab order, WS_GROUP groups, and
// IsDialogMessage's handling of Tab, the arrows, Enter, Escape and mnemonics.
//
// The tab order is the order of creation. Here a new child goes on top of
// its siblings, so that order is the z-order read from the bottom (Win32
// adds children at the bottom and reads from the top: the same order).
//
//   key (unless WM_GETDLGCODE keeps it)   IsDialogMessage
//   Tab, Shift+Tab                        cues shown, SetFocus(GetNextDlgTabItem)
//   arrows                                cues shown, SetFocus(GetNextDlgGroupItem)
//   Enter                                 BM_CLICK to a focused push button, else IDOK
//   Escape                                IDCANCEL
//   Alt+letter, or letter where the       BM_CLICK to a button, focus after a static,
//   focus takes no characters             focus to anything else with "&letter"
//   Alt                                   cues shown
//   anything else                         TranslateMessage and DispatchMessage
#include <algorithm>
#include <cwctype>
#include <string_view>
#include <vector>

#include "user/window_system.h"

namespace tessel::ws {

namespace {

bool shownAndEnabled(const Window* w) {
    return (w->style & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
}

// A container whose children take part in the tab order in its place.
bool controlParent(const Window* w) {
    return (w->exStyle & WS_EX_CONTROLPARENT) && shownAndEnabled(w);
}

bool tabStop(const Window* w) {
    return (w->style & WS_TABSTOP) && shownAndEnabled(w);
}

bool inside(const Window* w, const Window* ancestor) {
    for (const Window* p = w->parent; p; p = p->parent) {
        if (p == ancestor) return true;
    }
    return false;
}

std::ptrdiff_t childCount(const Window* parent) {
    return static_cast<std::ptrdiff_t>(parent->children.size());
}

Window* childInTabOrder(const Window* parent, std::ptrdiff_t index) {
    return parent->children[static_cast<std::size_t>(childCount(parent) - 1 - index)];
}

std::ptrdiff_t tabIndexOf(const Window* w) {
    const auto& siblings = w->parent->children;
    const auto at = std::find(siblings.begin(), siblings.end(), w);
    return static_cast<std::ptrdiff_t>(siblings.end() - at) - 1;
}

// The first tab item among the parent's children from `from` on (backwards
// when `previous`), looking into control parents as it meets them.
Window* firstTabItem(const Window* parent, std::ptrdiff_t from, bool previous) {
    const std::ptrdiff_t step = previous ? -1 : 1;
    for (std::ptrdiff_t i = from; i >= 0 && i < childCount(parent); i += step) {
        Window* child = childInTabOrder(parent, i);
        if (controlParent(child)) {
            if (Window* found = firstTabItem(child, previous ? childCount(child) - 1 : 0, previous))
                return found;
        } else if (tabStop(child)) {
            return child;
        }
    }
    return nullptr;
}

// The tab item after (before) the control, climbing out of its containers
// up to the dialog; null at the dialog's end.
Window* tabItemAfter(const Window* dialog, const Window* control, bool previous) {
    for (const Window* at = control; at != dialog; at = at->parent) {
        const std::ptrdiff_t next = tabIndexOf(at) + (previous ? -1 : 1);
        if (Window* found = firstTabItem(at->parent, next, previous)) return found;
    }
    return nullptr;
}

// Every window below `root` in tab order, depth first. `descend` says whose
// children are listed; with `leavesOnly` the windows descended into are not.
template <class Descend>
void listInTabOrder(const Window* root, bool leavesOnly, const Descend& descend,
                    std::vector<Window*>& out) {
    for (std::ptrdiff_t i = 0; i < childCount(root); ++i) {
        Window* child = childInTabOrder(root, i);
        const bool down = descend(child);
        if (!down || !leavesOnly) out.push_back(child);
        if (down) listInTabOrder(child, leavesOnly, descend, out);
    }
}

// The windows of the control's group, in the order after it (wrapping),
// without the control itself. A group runs from a WS_GROUP window to the
// next; the windows are the leaves of the tab order, through the control's
// own containers even where they are not control parents.
std::vector<Window*> groupAfter(const Window* dialog, const Window* control) {
    std::vector<Window*> leaves;
    listInTabOrder(
        dialog, true,
        [&](const Window* w) {
            if (w == control) return false;
            return inside(control, w) || (controlParent(w) && !w->children.empty());
        },
        leaves);
    const auto n = static_cast<std::ptrdiff_t>(leaves.size());
    const std::ptrdiff_t at = std::find(leaves.begin(), leaves.end(), control) - leaves.begin();
    std::vector<Window*> group;
    if (at == n) return group;
    auto grouped = [&](std::ptrdiff_t i) { return (leaves[i % n]->style & WS_GROUP) != 0; };
    std::ptrdiff_t i = at + 1;
    for (; i < at + n && !grouped(i); ++i)
        group.push_back(leaves[i % n]);
    if (i == at + n) return group;  // no other group begins: everything else is in it
    // The group began at the last WS_GROUP window up to the control.
    std::ptrdiff_t start = at + n;
    while (start > at && !grouped(start))
        --start;
    for (std::ptrdiff_t j = start; j < at + n; ++j)
        group.push_back(leaves[j % n]);
    return group;
}

// The letter after the first single '&' ("&&" is an ampersand), or 0.
wchar_t mnemonicOf(std::wstring_view text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] != L'&') return text[i + 1];
        ++i;
    }
    return 0;
}

constexpr UINT kButtonCodes = DLGC_BUTTON | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON;
constexpr int kMnemonicTextLimit = 256;  // a caption longer than this is not searched further

// A window of the dialog whose text has the mnemonic, searched from the one
// after `from` round to `from` itself, takes it: a button is clicked, a
// static passes the focus to the tab item after it, anything else takes the
// focus. False when none has it.
bool activateMnemonic(HWND dialogHandle, HWND from, wchar_t letter) {
    const Window* dialog = windowOf(dialogHandle);
    if (!dialog || !letter) return false;
    std::vector<Window*> all;
    listInTabOrder(dialog, false, shownAndEnabled, all);
    std::vector<HWND> order;  // handles: a handler may destroy windows as we go
    order.reserve(all.size());
    for (const Window* w : all)
        order.push_back(w->handle);
    const auto at = std::find(order.begin(), order.end(), from);
    if (at != order.end()) std::rotate(order.begin(), at + 1, order.end());
    const wchar_t wanted = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(letter)));
    for (const HWND handle : order) {
        const Window* w = windowOf(handle);
        if (!w || !shownAndEnabled(w)) continue;
        wchar_t text[kMnemonicTextLimit] = {};
        const int length =
            std::clamp(GetWindowTextW(handle, text, kMnemonicTextLimit), 0, kMnemonicTextLimit - 1);
        const wchar_t mnemonic = mnemonicOf(std::wstring_view(text, length));
        if (!mnemonic ||
            static_cast<wchar_t>(std::towupper(static_cast<wint_t>(mnemonic))) != wanted)
            continue;
        const auto code = static_cast<UINT>(SendMessageW(handle, WM_GETDLGCODE, 0, 0));
        if (code & DLGC_STATIC) {
            if (const HWND next = GetNextDlgTabItem(dialogHandle, handle, FALSE)) SetFocus(next);
        } else if (code & kButtonCodes) {
            SendMessageW(handle, BM_CLICK, 0, 0);
        } else {
            SetFocus(handle);
        }
        return true;
    }
    return false;
}

void showCues(HWND dialog, WORD bits) {
    SendMessageW(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, bits), 0);
}

// The dialog's direct child with that identifier, as the command's control.
LPARAM childWithId(HWND dialogHandle, int id) {
    const Window* dialog = windowOf(dialogHandle);
    if (!dialog) return 0;
    for (const Window* child : dialog->children) {
        if ((child->style & WS_CHILD) && child->id == id)
            return reinterpret_cast<LPARAM>(child->handle);
    }
    return 0;
}

bool shiftDown() {
    return (GetKeyState(VK_SHIFT) & 0x8000) != 0;
}

enum class KeyOutcome { NotNavigation, Handled, LeftToCaller };

// WM_KEYDOWN: the navigation keys the focus does not keep.
KeyOutcome navigationKey(HWND dialogHandle, const MSG* msg) {
    const auto code = static_cast<UINT>(
        SendMessageW(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)));
    if (code & DLGC_WANTMESSAGE) return KeyOutcome::NotNavigation;
    switch (msg->wParam) {
        case VK_TAB: {
            if (code & DLGC_WANTTAB) return KeyOutcome::NotNavigation;
            showCues(dialogHandle, UISF_HIDEFOCUS);
            const HWND focus = GetFocus();
            const HWND next = GetNextDlgTabItem(
                dialogHandle, focus == dialogHandle ? nullptr : focus, shiftDown());
            if (!next) return KeyOutcome::LeftToCaller;  // as Windows: no tab item at all
            SetFocus(next);
            return KeyOutcome::Handled;
        }
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if (code & DLGC_WANTARROWS) return KeyOutcome::NotNavigation;
            showCues(dialogHandle, UISF_HIDEFOCUS);
            const bool previous = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
            if (const HWND next = GetNextDlgGroupItem(dialogHandle, msg->hwnd, previous))
                SetFocus(next);
            return KeyOutcome::Handled;
        }
        case VK_ESCAPE:
            SendMessageW(dialogHandle, WM_COMMAND, IDCANCEL, childWithId(dialogHandle, IDCANCEL));
            return KeyOutcome::Handled;
        case VK_RETURN: {
            const HWND focus = GetFocus();
            if (IsChild(dialogHandle, focus) && (SendMessageW(focus, WM_GETDLGCODE, 0, 0) &
                                                 (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
                SendMessageW(focus, BM_CLICK, 0, 0);
            } else {
                SendMessageW(dialogHandle, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                             childWithId(dialogHandle, IDOK));
            }
            return KeyOutcome::Handled;
        }
        default:
            return KeyOutcome::NotNavigation;
    }
}

}  // namespace

}  // namespace tessel::ws

using namespace tessel::ws;

HWND GetNextDlgTabItem(HWND dialogHandle, HWND controlHandle, BOOL previous) {
    const Window* dialog = windowOf(dialogHandle);
    const Window* control = controlHandle ? windowOf(controlHandle) : nullptr;
    if (!dialog || (controlHandle && !control)) return nullptr;
    if (control == dialog) control = nullptr;
    const Window* found =
        control && inside(control, dialog) ? tabItemAfter(dialog, control, previous) : nullptr;
    // From the start (end) of the dialog: also for a control that is not in it.
    if (!found) found = firstTabItem(dialog, previous ? childCount(dialog) - 1 : 0, previous);
    if (found) return found->handle;
    return control ? control->handle : nullptr;  // no tab item: the control itself
}

HWND GetNextDlgGroupItem(HWND dialogHandle, HWND controlHandle, BOOL previous) {
    const Window* dialog = windowOf(dialogHandle);
    const Window* control = controlHandle ? windowOf(controlHandle) : nullptr;
    if (!dialog || (controlHandle && !control)) return nullptr;
    if (control == dialog) control = nullptr;
    if (!control) {
        // Without a control the search starts at the first child, forwards only.
        if (previous || dialog->children.empty()) return nullptr;
        control = childInTabOrder(dialog, 0);
        if (shownAndEnabled(control)) return control->handle;
    } else if (!inside(control, dialog)) {
        return nullptr;
    }
    const std::vector<Window*> group = groupAfter(dialog, control);
    if (previous) {
        const auto found = std::find_if(group.rbegin(), group.rend(), shownAndEnabled);
        return found != group.rend() ? (*found)->handle : control->handle;
    }
    const auto found = std::find_if(group.begin(), group.end(), shownAndEnabled);
    return found != group.end() ? (*found)->handle : control->handle;
}

BOOL IsDialogMessageW(HWND dialogHandle, LPMSG msg) {
    if (!windowOf(dialogHandle) || !msg) return FALSE;
    if (msg->hwnd != dialogHandle && !IsChild(dialogHandle, msg->hwnd)) return FALSE;
    switch (msg->message) {
        case WM_KEYDOWN:
            switch (navigationKey(dialogHandle, msg)) {
                case KeyOutcome::Handled:
                    return TRUE;
                case KeyOutcome::LeftToCaller:
                    return FALSE;
                case KeyOutcome::NotNavigation:
                    break;
            }
            break;
        case WM_CHAR: {
            const auto code = static_cast<UINT>(
                SendMessageW(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)));
            if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) break;
            if (msg->wParam == L'\t' && (code & DLGC_WANTTAB)) break;
            [[fallthrough]];
        }
        case WM_SYSCHAR:
            if (activateMnemonic(dialogHandle, msg->hwnd, static_cast<wchar_t>(msg->wParam)))
                return TRUE;
            break;
        case WM_SYSKEYDOWN:
            if (msg->wParam == VK_MENU && !(HIWORD(msg->lParam) & KF_REPEAT))
                showCues(dialogHandle, UISF_HIDEACCEL | UISF_HIDEFOCUS);
            break;
        default:
            break;
    }
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return TRUE;
}
