#pragma once
// Calls onPaint whenever the widget it watches is painted, so a probe can tell
// when the user first sees something.

#include <QEvent>
#include <QObject>
#include <functional>

class TPaintWatch : public QObject {
public:
    std::function<void()> onPaint;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && onPaint) {
            onPaint();
        }
        return false;
    }
};
