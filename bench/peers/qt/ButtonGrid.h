// The peers' scenes, built the way a Qt application would build them:
// n push buttons labelled "Button N", 64x16, 20 to a row, as children of one
// widget. The same layout as the toolkit's scenes, so a row of the table
// compares like with like.
//
//   QWidget window;
//   tessel::bench::qt::addButtons(window, 1000);
#pragma once

#include <QCoreApplication>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace tessel::bench::qt {

constexpr int kWidth = 1280, kHeight = 800;
constexpr int kButtonWidth = 64, kButtonHeight = 16, kButtonsPerRow = kWidth / kButtonWidth;

inline QPoint buttonPosition(int i) {
    return {(i % kButtonsPerRow) * kButtonWidth, (i / kButtonsPerRow) * kButtonHeight};
}

inline void addButtons(QWidget& parent, int count) {
    for (int i = 0; i < count; ++i) {
        auto* button = new QPushButton(QStringLiteral("Button %1").arg(i + 1), &parent);
        button->setGeometry(QRect(buttonPosition(i), QSize(kButtonWidth, kButtonHeight)));
    }
}

// Every pending event handled, the window system's (exposure) and the posted
// ones (paints) included: what the toolkit's pump does.
inline void pump() {
    QCoreApplication::processEvents();
}

}  // namespace tessel::bench::qt
