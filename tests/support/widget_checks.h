#pragma once

// What tests and benchmarks look at in a shown widget: its paints, what of it
// reached the screen, and the context menu it opens.

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <functional>

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// What reached the screen over this widget.
inline QImage onScreen(const QWidget& widget) {
    const QWidget& window = *widget.window();
    const QImage frame = window.screen()->grabWindow(window.winId()).toImage();
    return frame.copy(QRect(widget.mapTo(&window, QPoint()), widget.size()));
}

// The screen shows the widget other than a fresh render of it would.
inline bool screenIsStale(QWidget& widget) {
    const QImage shown = onScreen(widget);
    return shown != widget.grab().toImage().convertToFormat(shown.format());
}

inline int darkPixels(const QImage& image, const QRect& area) {
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    return dark;
}

inline int darkPixels(const QImage& image) {
    return darkPixels(image, image.rect());
}

// Looks at the context menu that the next step opens, then closes it.
inline void whenTheMenuShows(std::function<void(QMenu&)> look) {
    QTimer::singleShot(50, [look = std::move(look)] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            look(*menu);
            menu->close();
        }
    });
}
