// Qt: the whole 1280x800 window of n labelled buttons in a scroll area
// rendered into an image (the toolkit's host and its manager of windows
// are the same thing here: Qt's children are all windowless), and the list
// scrolled by one pixel, which Qt does by blitting and painting the strip
// that comes into view.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>

#include <memory>

#include "../../support/table.h"
#include "ButtonGrid.h"

namespace {

using namespace tessel::bench::qt;

// A scroll area of 1280x800 with a vertical bar, as the toolkit's scenes
// have; the contents are opaque so that Qt may scroll them by blitting.
struct ScrollScene {
    QScrollArea area;
    QWidget* contents = new QWidget;
    explicit ScrollScene(int height) {
        area.setFrameShape(QFrame::NoFrame);
        area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        area.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area.resize(kWidth, kHeight);
        contents->setAutoFillBackground(true);
        contents->resize(kWidth - area.verticalScrollBar()->sizeHint().width(), height);
    }
    void show() {
        area.setWidget(contents);
        area.show();
        pump();
    }
};

long g_rowPaints = 0;

// A list row that counts its paints, to tell a blit and a strip from a full repaint.
class Row : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++g_rowPaints;
        QPushButton::paintEvent(event);
    }
};

// A frame, a face and a label: more than two colours in the first button.
bool showsAButton(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < kButtonHeight; ++y)
        for (int x = 0; x < kButtonWidth; ++x)
            colours.insert(image.pixel(x, y));
    return colours.size() > 2;
}

void fullRepaint(benchmark::State& state) {
    const int n = tessel::bench::elements(state);
    ScrollScene scene((n + kButtonsPerRow - 1) / kButtonsPerRow * kButtonHeight);
    addButtons(*scene.contents, n);
    scene.show();
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        scene.area.render(&image);
    if (!showsAButton(image)) state.SkipWithError("the image shows no button");
}
BENCHMARK(fullRepaint)->Name("scene:full_repaint_buttons_host")->Apply(tessel::bench::scaled<100>);
BENCHMARK(fullRepaint)
    ->Name("scene:full_repaint_buttons_windows")
    ->Apply(tessel::bench::scaled<100>);

// A list of n labelled rows of 16 pixels, scrolled down and back by one pixel.
void scrollPixel(benchmark::State& state) {
    const int n = tessel::bench::elements(state);
    ScrollScene scene(n * kButtonHeight);
    for (int i = 0; i < n; ++i) {
        auto* row = new Row(QStringLiteral("Item %1").arg(i + 1), scene.contents);
        row->setGeometry(0, i * kButtonHeight, scene.contents->width(), kButtonHeight);
    }
    scene.show();
    QScrollBar* bar = scene.area.verticalScrollBar();
    const int top = bar->maximum() / 2;
    bar->setValue(top);
    pump();
    bool down = true;
    const long before = g_rowPaints;
    for (auto _ : state) {
        bar->setValue(down ? top + 1 : top);
        down = !down;
        pump();
    }
    state.counters["rows_painted"] =
        static_cast<double>(g_rowPaints - before) / static_cast<double>(state.iterations());
    if (bar->maximum() < 1) state.SkipWithError("the list does not scroll");
}
BENCHMARK(scrollPixel)->Name("scene:scroll_pixel")->Apply(tessel::bench::scaled<100>);

}  // namespace
