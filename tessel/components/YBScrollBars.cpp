#include "YBScrollBars.h"

#include <algorithm>

#include "YBScrollPlan.h"

namespace {
constexpr int kColumnStep = 32;  // a horizontal line scroll, in pixels
constexpr UINT kBarMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// A step is limited by what the bar holds, not by the contents size: the two
// differ after setContentsSize until the next layout.
int lastStepUnits(const SCROLLINFO& bar) {
    return bar.nMax - static_cast<int>(bar.nPage);
}
}  // namespace

YBScrollBars::YBScrollBars(HWND window, int& hScale, int& vScale)
    : m_window(window), m_hScale(hScale), m_vScale(vScale) {}

bool YBScrollBars::read(int bar, SCROLLINFO& info) const {
    info = SCROLLINFO{};
    info.cbSize = sizeof(SCROLLINFO);
    info.fMask = kBarMask;
    return ::GetScrollInfo(m_window, bar, &info) != FALSE;
}

int YBScrollBars::moveTo(int bar, SCROLLINFO& info, int units, int scale) {
    if (units == info.nPos) return 0;
    const int old = info.nPos;
    info.nPos = units;
    // The bar keeps its position within its range; the contents follow what it kept.
    const int kept = ::SetScrollInfo(m_window, bar, &info, TRUE);
    return (old - kept) * scale;
}

CSize YBScrollBars::clientSize() const {
    CRect client;
    ::GetClientRect(m_window, &client);
    return client.Size();
}

void YBScrollBars::update(CSize contentsPixels, bool horizontal, bool vertical) {
    // Both bars are planned for the client as it is now, before either changes it.
    const YBScrollPlan plan = YBScrollPlan::compute(contentsPixels, clientSize());
    const auto apply = [this](int bar, const YBScrollPlan::Bar& planned) {
        SCROLLINFO info;
        read(bar, info);
        info.nMin = 0;
        info.nMax = planned.nMax;
        info.nPage = planned.nPage;
        info.nPos = std::min(info.nPos, info.nMax);
        ::SetScrollInfo(m_window, bar, &info, TRUE);
    };
    if (horizontal) {
        m_hScale = plan.horizontal.scale;
        apply(SB_HORZ, plan.horizontal);
    }
    if (vertical) {
        m_vScale = plan.vertical.scale;
        apply(SB_VERT, plan.vertical);
    }
}

CPoint YBScrollBars::position() const {
    SCROLLINFO horizontal, vertical;
    read(SB_HORZ, horizontal);
    read(SB_VERT, vertical);
    return CPoint(horizontal.nPos * m_hScale, vertical.nPos * m_vScale);
}

CSize YBScrollBars::step(int dxPixels, int dyPixels) {
    CSize move(0, 0);
    SCROLLINFO info;
    if (dxPixels != 0) {
        read(SB_HORZ, info);
        move.cx = moveTo(SB_HORZ, info,
                         YBScrollPlan::stepUnits(info.nPos, dxPixels, lastStepUnits(info), m_hScale),
                         m_hScale);
    }
    if (dyPixels != 0) {
        read(SB_VERT, info);
        move.cy = moveTo(SB_VERT, info,
                         YBScrollPlan::stepUnits(info.nPos, dyPixels, lastStepUnits(info), m_vScale),
                         m_vScale);
    }
    return move;
}

CSize YBScrollBars::scrollTo(CPoint pixels) {
    SCROLLINFO info;
    read(SB_HORZ, info);
    const int moveX = moveTo(SB_HORZ, info, pixels.x / m_hScale, m_hScale);
    read(SB_VERT, info);
    const int moveY = moveTo(SB_VERT, info, pixels.y / m_vScale, m_vScale);
    return CSize(moveX, moveY);
}

CSize YBScrollBars::thumbTo(int bar, int units) {
    SCROLLINFO info;
    read(bar, info);
    const int move = moveTo(bar, info, units, bar == SB_HORZ ? m_hScale : m_vScale);
    return bar == SB_HORZ ? CSize(move, 0) : CSize(0, move);
}

CPoint YBScrollBars::endPosition(CSize contentsPixels) const {
    const CSize client = clientSize();
    return CPoint(YBScrollPlan::endUnits(contentsPixels.cx, client.cx, m_hScale) * m_hScale,
                  YBScrollPlan::endUnits(contentsPixels.cy, client.cy, m_vScale) * m_vScale);
}

CSize YBScrollBars::scroll(Step step, int linePixels, CSize contentsPixels) {
    switch (step) {
    case Step::LineUp: return this->step(0, -linePixels);
    case Step::LineDown: return this->step(0, linePixels);
    case Step::LineLeft: return this->step(-kColumnStep, 0);
    case Step::LineRight: return this->step(kColumnStep, 0);
    case Step::PageUp: return this->step(0, -YBScrollPlan::pageStep(clientSize().cy, linePixels));
    case Step::PageDown: return this->step(0, YBScrollPlan::pageStep(clientSize().cy, linePixels));
    case Step::PageLeft: return this->step(-YBScrollPlan::pageStep(clientSize().cx, kColumnStep), 0);
    case Step::PageRight: return this->step(YBScrollPlan::pageStep(clientSize().cx, kColumnStep), 0);
    case Step::Home: return scrollTo(CPoint(0, position().y));
    case Step::End: return scrollTo(CPoint(endPosition(contentsPixels).x, position().y));
    case Step::PageHome: return scrollTo(CPoint(0, 0));
    case Step::PageEnd: return scrollTo(endPosition(contentsPixels));
    }
    return CSize(0, 0);
}
