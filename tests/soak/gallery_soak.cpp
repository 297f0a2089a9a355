// The headless gallery under a long stream of random user input: pointer
// moves, presses, releases and wheel turns anywhere over its client area, the
// clock moving 40 ms between events. Prints the heap in use and the GDI
// objects after a tenth of the stream and at its end, and the median time of
// an event (input and repaint) over the same thousand pointer moves played
// at both points. Components the stream added and the text layouts kept for
// speed are cleared before each measure, and before each timing the window
// takes back its first size, scroll positions and bars, with the button up,
// no capture and the pointer outside, so the two times compare like with
// like. Fails when the heap grew by more than the limit given (bytes) or the
// GDI objects grew at all.
//
//   gallery_soak EVENTS HEAP_LIMIT_BYTES
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>

#include "GalleryWnd.h"
#include "gdi/state.h"

namespace {

long long heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

DWORD gdiObjects() {
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

// Added components and kept text layouts are state, not a leak: both
// measures start without them.
void dropState(GalleryWnd& gallery) {
    gallery.controls().clearAdded();
    tessel::testing::pump();
    tessel::gdi::state().text.clearCache();
}

// What the random stream may have changed that a sweep's cost depends on:
// how far each pane is scrolled, where the bars stand, the window's size.
class GalleryPlaces {
public:
    explicit GalleryPlaces(GalleryWnd& gallery) : m_gallery(gallery) {
        gallery.GetWindowRect(&m_window);
        for (YBSplitterWnd* splitter : splitters())
            m_paneSizes.push_back(paneSizes(*splitter));
    }

    // Leaves the pointer outside the window with the button up and nothing
    // captured, then puts every place back.
    void restore(bool& down) {
        if (down) {
            tessel::sendMouseInput(MOUSEEVENTF_LEFTUP);
            down = false;
        }
        ::SetCursorPos(m_window.right + 50, m_window.bottom + 50);
        tessel::testing::pump();
        if (::GetCapture()) ::ReleaseCapture();
        m_gallery.MoveWindow(&m_window);
        const std::vector<YBSplitterWnd*> all = splitters();
        for (std::size_t s = 0; s < all.size(); ++s) {
            for (std::size_t pane = 0; pane + 1 < m_paneSizes[s].size(); ++pane)
                all[s]->setPaneSize(static_cast<int>(pane), m_paneSizes[s][pane]);
        }
        scrollHome(m_gallery.m_hWnd);
        tessel::testing::pump();
    }

private:
    std::vector<YBSplitterWnd*> splitters() const {
        auto* main = dynamic_cast<YBSplitterWnd*>(
            CWnd::FromHandlePermanent(::GetWindow(m_gallery.m_hWnd, GW_CHILD)));
        std::vector<YBSplitterWnd*> all{&m_gallery.middle()};
        if (main) all.insert(all.begin(), main);
        return all;
    }
    static std::vector<int> paneSizes(YBSplitterWnd& splitter) {
        std::vector<int> sizes;
        for (int i = 0; i < splitter.getPaneCount(); ++i)
            sizes.push_back(splitter.getPane(i)->currentSize());
        return sizes;
    }
    // Both bars of every window in the tree to their start.
    static void scrollHome(HWND window) {
        for (HWND child = ::GetWindow(window, GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT))
            scrollHome(child);
        ::SendMessage(window, WM_VSCROLL, SB_TOP, 0);
        ::SendMessage(window, WM_HSCROLL, SB_LEFT, 0);
    }

    GalleryWnd& m_gallery;
    CRect m_window;
    std::vector<std::vector<int>> m_paneSizes;
};

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The same thousand pointer moves each time from the same places: a sweep
// over the window with the button up. Returns the median time of a move
// (input and repaint).
double probeMedian(GalleryPlaces& places, const CRect& window, bool& down) {
    places.restore(down);
    std::vector<double> times;
    for (int i = 0; i < 1000; ++i) {
        const auto start = std::chrono::steady_clock::now();
        ::SetCursorPos(window.left + (i * 37) % window.Width(), window.top + (i * 53) % window.Height());
        tessel::testing::advanceClock(40);
        tessel::testing::pump();
        times.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    return median(std::move(times));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s EVENTS HEAP_LIMIT_BYTES\n", argv[0]);
        return 2;
    }
    const long events = std::atol(argv[1]);
    const long long heapLimit = std::atoll(argv[2]);
    tessel::testing::useVirtualClock();
    GalleryWnd gallery(GALLERY_ICON_DIR);
    if (events < 10'000 || !gallery.createAt(0, 0, nullptr)) return 2;
    // The client area only: a random click on the caption's buttons would
    // minimise the window and leave the rest of the stream nothing to hit.
    CRect window;
    gallery.GetClientRect(&window);
    gallery.ClientToScreen(&window);
    GalleryPlaces places(gallery);

    std::mt19937 random(2026);
    bool down = false;
    const long settled = events / 10;
    long long heapSettled = 0;
    DWORD gdiSettled = 0;
    double first = 0;
    for (long i = 0; i < events; ++i) {
        const unsigned pick = random() % 16;
        if (pick < 10) {
            ::SetCursorPos(window.left + static_cast<int>(random() % window.Width()),
                           window.top + static_cast<int>(random() % window.Height()));
        } else if (pick < 14) {
            tessel::sendMouseInput(down ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN);
            down = !down;
        } else {
            tessel::sendMouseInput(MOUSEEVENTF_WHEEL, pick == 14 ? WHEEL_DELTA : -WHEEL_DELTA);
        }
        tessel::testing::advanceClock(40);
        tessel::testing::pump();
        if (i == settled) {
            dropState(gallery);
            heapSettled = heapInUse();
            gdiSettled = gdiObjects();
            first = probeMedian(places, window, down);
        }
    }
    dropState(gallery);
    const long long heapEnd = heapInUse();
    const DWORD gdiEnd = gdiObjects();
    const double last = probeMedian(places, window, down);
    std::printf("events: %ld, commands: %zu\n", events, gallery.commands().size());
    std::printf("heap in use: %lld bytes after %ld events, %lld at the end (%+lld)\n", heapSettled,
                settled, heapEnd, heapEnd - heapSettled);
    std::printf("GDI objects: %lu, then %lu\n", static_cast<unsigned long>(gdiSettled),
                static_cast<unsigned long>(gdiEnd));
    std::printf("median pointer move: %.1f us after settling, %.1f us at the end\n", first, last);
    return heapEnd - heapSettled <= heapLimit && gdiEnd <= gdiSettled ? 0 : 1;
}
