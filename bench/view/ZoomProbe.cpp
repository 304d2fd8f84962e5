// Zoom steps and the line-number gutter on a large document: the time from
// the command to the next frame painted, and the frame time with and without
// the gutter, with the view in the middle of the text.
//   lumivane_zoom_probe SOURCE.pas

#include "engine/PascalParser.h"
#include "viewer/RichEdit.h"
#include "viewer/ViewSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct TTimes {
    std::vector<double> Ms;
    void Add(const QElapsedTimer& timer) { Ms.push_back(timer.nsecsElapsed() / 1e6); }
    void Print(const char* what) {
        std::sort(Ms.begin(), Ms.end());
        std::printf("  %-28s median %.2f ms, worst %.2f ms (%zu frames)\n", what, Ms[Ms.size() / 2],
                    Ms.back(), Ms.size());
    }
};

// Paints the view now, as the next frame would.
void Frame(TRichEdit& view) {
    view.repaint();
    view.viewport()->repaint();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SOURCE.pas\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    TRichEdit view;
    view.resize(1000, 700);
    view.show();
    TDocumentBuffer rtf;
    ConvertFileAsPascal(argv[1], rtf);
    view.AdoptDocument(view.BuildDocument(rtf));
    view.GoToLine(view.LineCount() / 2);
    QApplication::processEvents();
    std::printf("%s: %d lines\n", argv[1], view.LineCount());

    TTimes zoom;
    int percent = kNormalZoom;
    for (int i = 0; i < 24; ++i) {
        percent = i % 12 < 6 ? ZoomStepIn(percent) : ZoomStepOut(percent);
        QElapsedTimer timer;
        timer.start();
        view.SetZoom(percent);
        Frame(view);
        zoom.Add(timer);
    }
    view.SetZoom(kNormalZoom);
    TTimes toggle;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer timer;
        timer.start();
        view.SetLineNumbers(!view.LineNumbers());
        Frame(view);
        toggle.Add(timer);
    }
    TTimes plain;
    TTimes numbered;
    for (bool numbers : {false, true}) {
        view.SetLineNumbers(numbers);
        for (int i = 0; i < 30; ++i) {
            view.verticalScrollBar()->setValue(view.verticalScrollBar()->value() + 7);
            QElapsedTimer timer;
            timer.start();
            Frame(view);
            (numbers ? numbered : plain).Add(timer);
        }
    }
    zoom.Print("zoom step to next frame");
    toggle.Print("gutter toggle to next frame");
    plain.Print("scroll frame, no numbers");
    numbered.Print("scroll frame, line numbers");
    return 0;
}
