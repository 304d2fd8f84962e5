#pragma once
// The strip left of the view's text that shows line numbers. It paints what
// the view tells it; the numbers are never part of the text.

#include <QWidget>

class TRichEdit;

namespace viewer {

class TLineNumberGutter : public QWidget {
    Q_OBJECT
public:
    explicit TLineNumberGutter(TRichEdit& view);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TRichEdit& view_;
};

} // namespace viewer
