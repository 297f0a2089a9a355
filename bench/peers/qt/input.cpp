// Qt: synthetic pointer moves delivered to the top-level window, which
// routes them to the child under the pointer with enter and leave, and the
// hover repaints they cause; and n labelled buttons moved by one pixel, with
// and without the repaint that follows.
#include <benchmark/benchmark.h>

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <random>
#include <vector>

#include "../../support/table.h"
#include "ButtonGrid.h"

namespace {

using namespace tessel::bench::qt;

constexpr int kColumns = 100, kCellWidth = 12, kCellHeight = 8;
long g_paints = 0;

// A cell that shows whether the pointer is over it.
class Cell : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void enterEvent(QEvent*) override {
        m_hovered = true;
        update();
    }
    void leaveEvent(QEvent*) override {
        m_hovered = false;
        update();
    }
    void paintEvent(QPaintEvent*) override {
        ++g_paints;
        QPainter(this).fillRect(rect(), m_hovered ? QColor(220, 230, 250) : QColor(245, 245, 248));
    }

private:
    bool m_hovered = false;
};

void pointerMove(benchmark::State& state) {
    const int n = tessel::bench::elements(state);
    const int rows = (n + kColumns - 1) / kColumns;
    QWidget top;
    top.resize(kColumns * kCellWidth, rows * kCellHeight);
    for (int i = 0; i < n; ++i)
        (new Cell(&top))
            ->setGeometry((i % kColumns) * kCellWidth, (i / kColumns) * kCellHeight, kCellWidth,
                          kCellHeight);
    top.show();
    pump();
    QWindow* window = top.windowHandle();
    std::mt19937 random(42);
    std::uniform_int_distribution<int> x(0, kColumns * kCellWidth - 1),
        y(0, rows * kCellHeight - 1);
    std::vector<QPointF> points(4096);
    for (QPointF& p : points)
        p = QPointF(x(random), y(random));
    std::size_t next = 0;
    const long before = g_paints;
    for (auto _ : state) {
        const QPointF& p = points[next++ % points.size()];
        QMouseEvent move(QEvent::MouseMove, p, p, top.mapToGlobal(p.toPoint()), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &move);
        pump();
    }
    state.counters["paints_per_move"] =
        static_cast<double>(g_paints - before) / static_cast<double>(state.iterations());
}
BENCHMARK(pointerMove)->Name("scene:pointer_move_windows")->Apply(tessel::bench::scaled<100>);

struct MoveScene {
    QWidget top;
    QList<QPushButton*> buttons;
    explicit MoveScene(int n) {
        top.resize(kWidth, kHeight);
        addButtons(top, n);
        buttons = top.findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
        top.show();
        pump();
    }
    void moveAll(int shift) {
        for (int i = 0; i < buttons.size(); ++i)
            buttons[i]->move(buttonPosition(i) + QPoint(shift, 0));
    }
};

void moveWindows(benchmark::State& state) {
    MoveScene scene(tessel::bench::elements(state));
    int shift = 1;
    for (auto _ : state) {
        scene.moveAll(shift);
        shift = 1 - shift;
        state.PauseTiming();
        pump();  // painting is not part of the move
        state.ResumeTiming();
    }
}
BENCHMARK(moveWindows)->Name("scene:move_windows")->Apply(tessel::bench::scaled<100>);

void moveRepaintWindows(benchmark::State& state) {
    MoveScene scene(tessel::bench::elements(state));
    int shift = 1;
    for (auto _ : state) {
        scene.moveAll(shift);
        shift = 1 - shift;
        pump();
    }
}
BENCHMARK(moveRepaintWindows)
    ->Name("scene:move_repaint_windows")
    ->Apply(tessel::bench::scaled<100>);

}  // namespace
