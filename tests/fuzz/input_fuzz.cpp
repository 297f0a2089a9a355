// libFuzzer target: a user's session against a gallery-like window tree. The
// input is a program of steps (an opcode byte and two argument bytes):
// pointer moves, presses, releases, wheel turns, clock advances, and API
// calls — components added and cleared, windows resized, scrolled, shown,
// hidden, enabled, disabled and destroyed, panes added, bars dragged, a host
// or a parent destroyed from inside a handler, a child created inside
// WM_DESTROY. After every step the invariants below must hold; at the end
// every window, GDI object and timer of the session is gone.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <tessel/components/YBComponentWnd.h>
#include <tessel/components/YBText.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/foundation/KLException.h>
#include <tessel/layout/YBManagerWnd.h>
#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>
#include <tessel/windows/YBButtonWnd.h>
#include <tessel/windows/YBTextButtonWnd.h>

#include "toolkit_windows.h"

namespace {

[[noreturn]] void broken(const char* invariant) {
    std::fprintf(stderr, "invariant broken: %s\n", invariant);
    std::abort();
}

constexpr int kFrameWidth = 800, kFrameHeight = 600;

using Frame = test_support::PopupFrame;

// The window list's own calls, open to the session.
class Manager : public YBManagerWnd {
public:
    using YBManagerWnd::createChildWnd;
    using YBManagerWnd::deleteChildWnd;
};

// A button that destroys a window when released: its own host, or its parent.
class Saboteur : public YBTextButton {
public:
    Saboteur(CWnd* owner, HWND victim)
        : YBTextButton(99, L"Saboteur", GFont("Arial", 9.0, 0, 0), 0, 0, owner), m_victim(victim) {}
    void onLeftMouseButton(int action, CPoint point) override {
        YBTextButton::onLeftMouseButton(action, point);
        if (action == 0 && IsWindow(m_victim)) DestroyWindow(m_victim);
    }

private:
    HWND m_victim;
};

class ParentBreaker : public YBButtonWnd {
public:
    ParentBreaker() : YBButtonWnd(98) { setInitialSize(40, 20); }
    void onLeftMouseButton(int action, CPoint point) override {
        YBButtonWnd::onLeftMouseButton(action, point);
        if (action == 0) ::DestroyWindow(::GetParent(m_hWnd));
    }
};

// A plain window that tries to make a sibling while it is being destroyed.
LRESULT CALLBACK siblingMaker(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY)
        CreateWindowExW(0, L"SiblingMaker", L"late", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                        GetParent(window), nullptr, nullptr, nullptr);
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerSiblingMaker() {
    static const bool done = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = siblingMaker;
        c.lpszClassName = L"SiblingMaker";
        return RegisterClassW(&c) != 0;
    }();
    if (!done) std::abort();
}

int countWindows(HWND parent) {
    int count = 0;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        count += 1 + countWindows(w);
    return count;
}

struct Session {
    Frame frame;
    YBSplitterWnd* split = nullptr;  // owned by the frame's lifetime below
    YBComponentWnd* host = nullptr;   // pane windows belong to the splitter
    Manager* manager = nullptr;
    unsigned nextId = 1000;
    bool leftDown = false;
    bool settled = false;
    bool justMoved = false;  // the hover follows the pointer's moves, not scrolling or layout  // a new pane may reach past the client until the next resize

    Session() {
        frame.setInitialSize(kFrameWidth, kFrameHeight);
        frame.createAt(0, 0, nullptr);
        split = new YBSplitterWnd(0, L"");
        split->setInitialSize(kFrameWidth, kFrameHeight);
        split->createAt(0, 0, &frame);
        host = new YBComponentWnd(RGB(255, 255, 255));
        host->setFlag(YBBaseWnd::verticalScrollBar, true);
        split->addPane(host, 450, 6, 2, RGB(150, 150, 150), RGB(230, 230, 230), false);
        manager = new Manager;
        manager->setFlag(YBBaseWnd::verticalScrollBar, true);
        split->addPane(manager, 340, 6, 2, RGB(150, 150, 150), RGB(230, 230, 230), false);
        addComponents(30);
        for (int i = 0; i < 12; ++i)
            manager->createChildWnd(new YBTextButtonWnd(200 + i, L"Window", GFont("Arial", 9.0, 0, 0), 90, 24), 0, 0);
        manager->onLayoutChildren();
    }
    ~Session() {
        if (split->m_hWnd) split->DestroyWindow();
        delete split;
        if (frame.m_hWnd) frame.DestroyWindow();
    }

    void addComponents(int count) {
        if (!host->m_hWnd) return;
        const GFont font("Arial", 9.0, 0, 0);
        for (int i = 0; i < count; ++i, ++nextId) {
            YBComponent* c = nextId % 5 == 0
                                 ? static_cast<YBComponent*>(new YBText(L"Text", font, DT_SINGLELINE, 0, host))
                                 : new YBTextButton(nextId % 7 == 0 ? 500 : nextId, L"Button", font, 0, 0, host);
            host->addComponent(c, false, false);
        }
        host->onLayoutComponents();
    }

    CPoint pointIn(std::uint8_t a, std::uint8_t b) const {
        return CPoint(a * (kFrameWidth + 40) / 256 - 20, b * (kFrameHeight + 40) / 256 - 20);
    }

    void step(std::uint8_t op, std::uint8_t a, std::uint8_t b) {
        justMoved = false;
        switch (op % 20) {
        case 0: case 1: case 2: {
            POINT before;
            GetCursorPos(&before);
            const CPoint p = pointIn(a, b);
            SetCursorPos(p.x, p.y);
            POINT after;
            GetCursorPos(&after);
            justMoved = after.x != before.x || after.y != before.y;
            break;
        }
        case 3: tessel::sendMouseInput(MOUSEEVENTF_LEFTDOWN); leftDown = true; break;
        case 4: tessel::sendMouseInput(MOUSEEVENTF_LEFTUP); leftDown = false; break;
        case 5: tessel::sendMouseInput(MOUSEEVENTF_WHEEL, (a % 5 - 2) * WHEEL_DELTA); break;
        case 6: tessel::testing::advanceClock(a * 8u); break;
        case 7: addComponents(1 + a % 40); break;
        case 8: if (host->m_hWnd) host->clearComponents(); break;
        case 9: {
            CRect before(0, 0, 0, 0);
            if (split->m_hWnd) split->GetWindowRect(&before);
            frame.setPositionAndSize(0, 0, a * 4, b * 4, true);
            if (split->m_hWnd) split->setPositionAndSize(0, 0, a * 4, b * 4, true);
            // A size with a zero side is ignored by the splitter, and the same size
            // is no resize: the panes stay as they were.
            if (before.Size() != CSize(a * 4, b * 4)) settled = a != 0 && b != 0;
            break;
        }
        case 10: {
            HWND target = (a & 1) ? host->m_hWnd : manager->m_hWnd;
            if (target) SendMessageW(target, (a & 2) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(b % 9, b * 3), 0);
            break;
        }
        case 11: {
            YBChildWnd* child = manager->m_hWnd ? manager->getChild(a % 16) : nullptr;
            if (child && child->m_hWnd) (b & 1) ? child->show() : child->hide();
            break;
        }
        case 12: {
            YBChildWnd* child = manager->m_hWnd ? manager->getChild(a % 16) : nullptr;
            if (child && child->m_hWnd) child->enable(b & 1);
            break;
        }
        case 13: YBComponent::enableAllWithID(500, b & 1, true); break;
        case 14:
            if (split->m_hWnd && split->getPaneCount() < 6)
                split->addPane(new YBChildWnd, 40 + a, 4, 1, RGB(0, 0, 0), RGB(200, 200, 200), b & 1);
            settled = false;
            break;
        case 15: {  // a bar dragged
            if (!split->m_hWnd || split->getPaneCount() < 2) break;
            CRect bar = split->getBar(a % (split->getPaneCount() - 1))->m_rect;
            CPoint p = bar.CenterPoint();
            split->ClientToScreen(&p);
            SetCursorPos(p.x, p.y);
            tessel::sendMouseInput(MOUSEEVENTF_LEFTDOWN);
            SetCursorPos(p.x + b - 128, p.y);
            tessel::sendMouseInput(MOUSEEVENTF_LEFTUP);
            break;
        }
        case 16: {
            YBChildWnd* child = manager->m_hWnd ? manager->getChild(a % 16) : nullptr;
            if (child) manager->deleteChildWnd(child);
            break;
        }
        case 17:
            if (host->m_hWnd) {
                host->addComponent(new Saboteur(host, (b & 1) ? host->m_hWnd : split->m_hWnd), false, false);
                host->onLayoutComponents();
            }
            break;
        case 18:
            if (manager->m_hWnd) {
                manager->createChildWnd(new ParentBreaker, 0, 0);
                manager->onLayoutChildren();
            }
            break;
        default:
            if (manager->m_hWnd)
                CreateWindowExW(0, L"SiblingMaker", L"maker", WS_CHILD | WS_VISIBLE, a, b, 20, 20,
                                manager->m_hWnd, nullptr, nullptr, nullptr);
            break;
        }
    }

    void checkMapping(CWnd* wnd) const {
        if (wnd->m_hWnd && (!IsWindow(wnd->m_hWnd) || CWnd::FromHandlePermanent(wnd->m_hWnd) != wnd))
            broken("a live window maps to its CWnd");
    }

    void check() const {
        checkMapping(const_cast<Frame*>(&frame));
        checkMapping(split);
        checkMapping(host);
        checkMapping(manager);
        if (manager->m_hWnd)
            for (int i = 0; i < manager->getChildCount(); ++i)
                checkMapping(manager->getChild(i));
        if (host->m_hWnd) {
            // Components stand where a new layout puts them: they follow the bars.
            std::vector<CRect> before;
            for (int i = 0; i < host->getComponentCount(); ++i)
                before.push_back(host->getComponent(i)->rect());
            host->onLayoutComponents();
            int over = 0;
            POINT cursor;
            GetCursorPos(&cursor);
            CPoint inHost(cursor);
            host->ScreenToClient(&inHost);
            CRect hostClient;
            host->GetClientRect(&hostClient);
            // Over the host's scroll bar the host gets no client move.
            const bool pointerInHost =
                WindowFromPoint(cursor) == host->m_hWnd && hostClient.PtInRect(inHost);
            for (int i = 0; i < host->getComponentCount(); ++i) {
                const YBComponent* c = host->getComponent(i);
                if (c->rect() != before[static_cast<std::size_t>(i)]) broken("components follow the bars");
                if (!c->isMouseOver()) continue;
                ++over;
                // The host keeps a component's hover when the pointer leaves the host
                // itself (it has no leave handling); within the host it must be right.
                if (justMoved && !leftDown && pointerInHost && !c->rect().PtInRect(inHost))
                    broken("a hovered component is under the pointer");
            }
            if (over > 1) broken("one hovered component at most");
        }
        if (split->m_hWnd && split->getPaneCount() > 0) {
            CRect client;
            split->GetClientRect(&client);
            CSize minimum;
            int total = 0, growable = 0, shrinkable = 0;
            split->calcMinSize(minimum, total, growable, shrinkable);
            for (int i = 0; i < split->getPaneCount(); ++i) {
                const YBSplitterPane* pane = split->getPane(i);
                if (pane->currentSize() < pane->minSize()) broken("panes keep their minimum");
            }
            if (settled && client.Width() >= minimum.cx && total != client.Width())
                broken("panes fill the client");
        }
    }
};

struct Baseline {
    DWORD gdiObjects;
    int windows;
};

Baseline measure() {
    return {GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), countWindows(GetDesktopWindow())};
}


void play(const std::uint8_t* data, std::size_t size) {
    {
        Session session;
        for (std::size_t i = 0; i + 2 < size && i < 3 * 200; i += 3) {
            try {
                session.step(data[i], data[i + 1], data[i + 2]);
                tessel::testing::pump();
            } catch (const kelp::KLException&) {
                // The collections' documented exceptions may reach the caller.
            }
            session.check();
        }
        if (session.leftDown) tessel::sendMouseInput(MOUSEEVENTF_LEFTUP);
        tessel::testing::pump();
    }
    tessel::testing::pump();
    tessel::testing::advanceClock(60'000);
    if (tessel::testing::pump() != 0) broken("no timer outlives its window");
}

}  // namespace

// The session is played twice: the first run may make what the process keeps
// for good (fonts, the paint buffer); the second must end exactly where the
// first did, and with no window left.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = [] {
        tessel::testing::useVirtualClock();
        registerSiblingMaker();
        return true;
    }();
    (void)ready;
    const int windowsBefore = countWindows(GetDesktopWindow());
    play(data, size);
    const Baseline first = measure();
    play(data, size);
    const Baseline second = measure();
    if (first.windows != windowsBefore || second.windows != windowsBefore)
        broken("every window is destroyed");
    if (second.gdiObjects != first.gdiObjects) {
        std::fprintf(stderr, "GDI objects: %u, then %u\n", unsigned(first.gdiObjects),
                     unsigned(second.gdiObjects));
        broken("every GDI object is deleted");
    }
    return 0;
}
