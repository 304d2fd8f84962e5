// The view's own painting, caret and selection by keyboard and mouse, whole-word
// find at the edges of runs and lines, and documents at the limits.

#include "viewer/RichEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

const std::string kTable = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern Courier New;}}"
                           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;"
                           "\\red255\\green255\\blue0;\\red0\\green160\\blue0;}\\f0\\fs18 ";

std::string Rtf(const std::string& body) {
    return kTable + body + "}";
}

// The advance of one cell of the code font at 96 dpi (9 pt = 12 px), as Qt
// measures it.
double Cell() {
    QFont font("Courier New");
    font.setPixelSize(12);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return QFontMetricsF(font).horizontalAdvance(QString(10, u'M')) / 10.0;
}

bool Reddish(QRgb p) {
    return qRed(p) > 160 && qGreen(p) < 110 && qBlue(p) < 110;
}
bool Bluish(QRgb p) {
    return qBlue(p) > 160 && qRed(p) < 110 && qGreen(p) < 110;
}

// The bounding box of the pixels inside AREA that satisfy TEST.
QRect BoxOf(const QImage& image, const std::function<bool(QRgb)>& test,
            QRect area = QRect(0, 0, 100000, 100000)) {
    area &= image.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (test(image.pixel(x, y))) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

struct ShownView {
    TRichEdit view;
    explicit ShownView(const std::string& data, QSize size = QSize(400, 200)) {
        view.resize(size);
        view.show();
        view.LoadFromBytes(data);
        view.setFocus();
        QApplication::processEvents();
    }
    QImage Grab() { return view.viewport()->grab().toImage(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&view, key, modifiers);
    }
    // The middle of the cell of COLUMN in LINE, by the cell rule.
    QPoint CellPoint(int line, double column) {
        const int lineStart = static_cast<int>(view.Document().Lines.Start(line));
        const int y = view.CharacterRect(lineStart).center().y();
        return QPoint(static_cast<int>(1 + (column + 0.5) * Cell()), y);
    }
    void Mouse(QEvent::Type type, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, view.viewport()->mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(view.viewport(), &event);
    }
};

// ---- painting ----

TEST(SourceViewPaint, RunsAtTheirCellsAndTabStops) {
    // Line 0: "ab" red, "cd" blue. Line 1: a tab, then "ef" red at the first
    // stop (720 twips = 48 px). Line 2: "gh" on a yellow background.
    ShownView shown(Rtf("{\\cf1 ab}{\\cf2\\b cd}\\par \\tab {\\cf1 ef}\\par {\\cb3 gh}\\par x"));
    shown.view.SetBackgroundColor(QColor(0, 160, 0)); // green behind the text
    QApplication::processEvents();
    const QImage image = shown.Grab();
    const double cell = Cell();
    const QRect red = BoxOf(image, Reddish);
    const QRect blue = BoxOf(image, Bluish);
    ASSERT_FALSE(red.isEmpty());
    ASSERT_FALSE(blue.isEmpty());
    // Blue: cells 2 and 3 of line 0.
    EXPECT_GE(blue.left(), 1 + 2 * cell - 1);
    EXPECT_LE(blue.right(), 1 + 4 * cell + 1);
    // Red: cells 0 and 1 of line 0, and the two cells after the tab stop of line 1.
    EXPECT_GE(red.left(), 1);
    EXPECT_LE(red.left(), 1 + cell);
    EXPECT_LE(red.right(), 1 + 48 + 2 * cell + 1);
    EXPECT_GE(red.right(), 1 + 48 + cell);
    const QRect redOfLineOne =
        BoxOf(image, Reddish, QRect(static_cast<int>(1 + 48 - 1), 0, 100, image.height()));
    EXPECT_NEAR(redOfLineOne.left(), 1 + 48, 2);
    EXPECT_GT(redOfLineOne.top(), blue.bottom() - 2); // below line 0
    // Nothing red between the first line's "ab" and the tab stop on line 1.
    for (int y = redOfLineOne.top(); y <= redOfLineOne.bottom(); ++y) {
        for (int x = static_cast<int>(1 + 2 * cell + 1); x < 1 + 48 - 1; ++x) {
            ASSERT_FALSE(Reddish(image.pixel(x, y))) << x << "," << y;
        }
    }
    // The yellow background covers exactly the cells of "gh", below line 1.
    const QRect yellow = BoxOf(image, [](QRgb p) { return p == qRgb(255, 255, 0); });
    ASSERT_FALSE(yellow.isEmpty());
    EXPECT_NEAR(yellow.left(), 1, 1);
    EXPECT_NEAR(yellow.right() + 1, 1 + 2 * cell, 1);
    EXPECT_GT(yellow.top(), redOfLineOne.top());
    // The document background everywhere else, the one-pixel inset included.
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 160, 0));
    EXPECT_EQ(image.pixel(image.width() - 1, image.height() - 1), qRgb(0, 160, 0));
    for (int y = 0; y < image.height(); ++y) {
        ASSERT_EQ(image.pixel(0, y), qRgb(0, 160, 0)) << y;
    }
}

TEST(SourceViewPaint, TabStopsAreTheDocumentsOwn) {
    // Stops every 360 twips: 24 px at 96 dpi.
    ShownView shown("{\\rtf1\\deftab360{\\colortbl;\\red255\\green0\\blue0;}"
                    "\\tab {\\cf1 x}}");
    const QRect red = BoxOf(shown.Grab(), Reddish);
    ASSERT_FALSE(red.isEmpty());
    EXPECT_NEAR(red.left(), 1 + 24, 2);
    EXPECT_LT(red.right(), 1 + 24 + Cell() + 1);
}

TEST(SourceViewPaint, SelectionIsPaintedOverTheRunsItCovers) {
    ShownView shown(Rtf("{\\cf1 abcd}{\\cf2 efgh}\\par ijkl"));
    shown.view.SetSelStart(2);
    shown.view.SetSelLength(4); // "cdef", across the two runs
    QApplication::processEvents();
    const QImage image = shown.Grab();
    const QRgb highlight = shown.view.palette().color(QPalette::Active, QPalette::Highlight).rgb();
    const QRect selected = BoxOf(image, [&](QRgb p) { return p == highlight; });
    const double cell = Cell();
    EXPECT_NEAR(selected.left(), 1 + 2 * cell, 1);
    EXPECT_NEAR(selected.right() + 1, 1 + 6 * cell, 1);
    // Only on the first line.
    EXPECT_LT(selected.bottom(), shown.view.CharacterRect(10).top());
}

TEST(SourceViewPaint, ProportionalFontsAreLaidOutAndMeasured) {
    // 24 pt Liberation Sans = 32 px at 96 dpi; the horizontal range grows to
    // the long line once it has been laid out for painting.
    const std::string line(200, 'W');
    ShownView shown("{\\rtf1{\\fonttbl{\\f0\\fswiss Liberation Sans;}}"
                    "{\\colortbl;\\red0\\green0\\blue255;}\\f0\\fs48 short\\par {\\cf1 " +
                    line + "}}");
    TRichEdit& view = shown.view;
    QApplication::processEvents();
    QApplication::processEvents();
    QFont font("Liberation Sans");
    font.setPixelSize(32);
    const double width = QFontMetricsF(font).horizontalAdvance(QString::fromStdString(line));
    EXPECT_GE(view.horizontalScrollBar()->maximum(), width - view.viewport()->width());
    const QRect blue = BoxOf(shown.Grab(), Bluish);
    ASSERT_FALSE(blue.isEmpty());
    EXPECT_GT(blue.top(), 20); // the second line, under the 32 px first one
    // Hit-testing agrees with the layout, whatever the glyph widths.
    for (int position : {7, 20, 40}) {
        EXPECT_EQ(view.PositionAt(view.CharacterRect(position).center() - QPoint(2, 0)), position);
    }
    shown.Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_TRUE(view.viewport()->rect().contains(view.cursorRect()));
    EXPECT_GT(view.horizontalScrollBar()->value(), 0);
}

// ---- keyboard ----

TEST(SourceViewKeyboard, MovesAndSelectsAcrossLinesAndRuns) {
    ShownView shown(Rtf("{\\cf1 alpha} {\\cf2 beta}\\par gamma delta\\par epsilon"));
    TRichEdit& view = shown.view;
    // Text: "alpha beta\ngamma delta\nepsilon"; lines start at 0, 11, 23.
    view.SetSelStart(2);
    shown.Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(view.SelText(), "pha beta\nga");
    shown.Key(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(view.SelText(), "pha beta\ngamma delta");
    shown.Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(view.SelText(), "pha beta\ngamma delta\n");
    shown.Key(Qt::Key_Left); // collapses to the start of the selection
    EXPECT_EQ(view.SelLength(), 0);
    EXPECT_EQ(view.CaretPosition(), 2);
    shown.Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(view.CaretPosition(), 6); // start of "beta", in the next run
    shown.Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(view.SelText(), "beta");
    shown.Key(Qt::Key_Home);
    EXPECT_EQ(view.CaretPosition(), 0);
    shown.Key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(view.SelLength(), view.TextLength());
    shown.Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view.CaretPosition(), 0);
    EXPECT_EQ(view.SelLength(), 0);
    // Down keeps the column through a shorter line.
    view.SetSelStart(9); // "alpha bet|a" column 9
    shown.Key(Qt::Key_Down);
    EXPECT_EQ(view.CaretPosition(), 20);
    shown.Key(Qt::Key_Down);
    EXPECT_EQ(view.CaretPosition(), 30); // end of "epsilon" (column 7)
    shown.Key(Qt::Key_Up);
    EXPECT_EQ(view.CaretPosition(), 20); // back to column 9
    shown.Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(view.SelText(), "a\ngamma del");
    // A move to the side starts a new column.
    shown.Key(Qt::Key_Left);
    shown.Key(Qt::Key_Left);
    shown.Key(Qt::Key_Down);
    EXPECT_EQ(view.CaretPosition(), 11 + 8); // collapsed at 9, then one left
    shown.Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view.SelText(), "alpha beta\ngamma delta\nepsilon");
    // At the ends nothing moves further.
    shown.Key(Qt::Key_End, Qt::ControlModifier);
    shown.Key(Qt::Key_Right);
    shown.Key(Qt::Key_Down);
    EXPECT_EQ(view.CaretPosition(), view.TextLength());
}

TEST(SourceViewKeyboard, PageKeysAndCtrlEndScrollTheCaretIntoView) {
    std::string body;
    for (int i = 0; i < 500; ++i) {
        body += "line " + std::to_string(i) + "\\par ";
    }
    ShownView shown(Rtf(body + "last"));
    TRichEdit& view = shown.view;
    QScrollBar* bar = view.verticalScrollBar();
    shown.Key(Qt::Key_PageDown);
    const int line = static_cast<int>(view.Document().Lines.LineOf(view.CaretPosition()));
    EXPECT_GT(line, 3);
    EXPECT_GT(bar->value(), 0);
    shown.Key(Qt::Key_PageUp);
    EXPECT_EQ(view.CaretPosition(), 0);
    shown.Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view.CaretPosition(), view.TextLength());
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(view.viewport()->rect().contains(view.cursorRect()));
    shown.Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(bar->value(), 0);
}

TEST(SourceViewKeyboard, CtrlInsertCopiesTheSelection) {
    ShownView shown(Rtf("{\\cf1 alpha} beta"));
    shown.view.SetSelStart(0);
    shown.view.SetSelLength(5);
    QApplication::clipboard()->setText("before");
    shown.Key(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "alpha");
}

// ---- mouse ----

TEST(SourceViewMouse, ClickDragShiftClickAndDoubleClick) {
    ShownView shown(Rtf("{\\cf1 be}{\\cf2 gin} x\\par second line\\par third"));
    TRichEdit& view = shown.view;
    // Text: "begin x\nsecond line\nthird".
    shown.Mouse(QEvent::MouseButtonPress, shown.CellPoint(0, 1));
    EXPECT_EQ(view.CaretPosition(), 1);
    shown.Mouse(QEvent::MouseMove, shown.CellPoint(1, 3));
    shown.Mouse(QEvent::MouseButtonRelease, shown.CellPoint(1, 3));
    EXPECT_EQ(view.SelText(), "egin x\nsec");
    shown.Mouse(QEvent::MouseButtonPress, shown.CellPoint(2, 2), Qt::ShiftModifier);
    shown.Mouse(QEvent::MouseButtonRelease, shown.CellPoint(2, 2), Qt::ShiftModifier);
    EXPECT_EQ(view.SelText(), "egin x\nsecond line\nth");
    // A click past a line's end puts the caret at the end of that line.
    shown.Mouse(QEvent::MouseButtonPress, shown.CellPoint(0, 30));
    shown.Mouse(QEvent::MouseButtonRelease, shown.CellPoint(0, 30));
    EXPECT_EQ(view.CaretPosition(), 7);
    EXPECT_EQ(view.SelLength(), 0);
    // A double click takes the whole word, across the two runs it spans.
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, shown.CellPoint(0, 3));
    EXPECT_EQ(view.SelText(), "begin");
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, shown.CellPoint(1, 8));
    EXPECT_EQ(view.SelText(), "line");
}

TEST(SourceViewMouse, DraggingBelowTheViewScrollsAndSelects) {
    std::string body;
    for (int i = 0; i < 200; ++i) {
        body += "row " + std::to_string(i) + "\\par ";
    }
    ShownView shown(Rtf(body));
    TRichEdit& view = shown.view;
    shown.Mouse(QEvent::MouseButtonPress, shown.CellPoint(0, 0));
    const QPoint below(20, view.viewport()->height() + 30);
    shown.Mouse(QEvent::MouseMove, below);
    QTest::qWait(400);
    EXPECT_GT(view.verticalScrollBar()->value(), 0);
    const int selected = view.SelLength();
    EXPECT_GT(selected, 0);
    QTest::qWait(200);
    EXPECT_GT(view.SelLength(), selected); // still going
    shown.Mouse(QEvent::MouseButtonRelease, below);
    const int value = view.verticalScrollBar()->value();
    QTest::qWait(200);
    EXPECT_EQ(view.verticalScrollBar()->value(), value); // and stops with the button
    EXPECT_EQ(view.SelStart(), 0);
}

TEST(SourceViewMouse, TheWheelScrollsLinesAndTheCaretStays) {
    std::string body;
    for (int i = 0; i < 100; ++i) {
        body += "row " + std::to_string(i) + "\\par ";
    }
    ShownView shown(Rtf(body));
    TRichEdit& view = shown.view;
    const QPoint at(20, 20);
    QWheelEvent down(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &down);
    EXPECT_EQ(view.TopLine(), QApplication::wheelScrollLines());
    EXPECT_EQ(view.CaretPosition(), 0);
    QWheelEvent up(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &up);
    EXPECT_EQ(view.TopLine(), 0);
}

// ---- find ----

TEST(SourceViewFind, WholeWordAtRunAndLineBoundaries) {
    TRichEdit view;
    // "in" as a run of its own, inside a word made of two runs, at a line's
    // start and end, and at the text's end.
    view.LoadFromBytes(Rtf("{\\cf1 in}{\\cf2 to} {\\cf1 in}\\par in\\par x in\\line in"));
    // Text: "into in\nin\nx in\u2028in".
    ASSERT_EQ(view.Text(0, view.TextLength()), QString::fromUtf16(u"into in\nin\nx in\u2028in"));
    EXPECT_EQ(view.FindText("in", 0, -1, true, true), 5);     // not the start of "into"
    EXPECT_EQ(view.FindText("in", 6, -1, true, true), 8);     // a line to itself
    EXPECT_EQ(view.FindText("in", 9, -1, true, true), 13);    // at a line's end
    EXPECT_EQ(view.FindText("in", 14, -1, true, true), 16);   // after a line break, at the end
    EXPECT_EQ(view.FindText("into", 0, -1, true, true), 0);   // across runs
    EXPECT_EQ(view.FindText("to in", 0, -1, true, true), -1); // "to" ends a word, starts none
    EXPECT_EQ(view.FindText("to in", 0, -1, true, false), 2);
    EXPECT_EQ(view.FindText("nt", 0, -1, true, true), -1);
    EXPECT_EQ(view.FindText("in\nin", 0, -1, true, true), 5); // across a paragraph end
    EXPECT_EQ(view.FindText("IN", 0, -1, true, false), -1);
    EXPECT_EQ(view.FindText("IN", 0, -1, false, true), 5);
}

// ---- documents at the limits ----

TEST(SourceViewLimits, AnEmptyDocument) {
    ShownView shown("");
    TRichEdit& view = shown.view;
    EXPECT_EQ(view.TextLength(), 0);
    EXPECT_EQ(view.Document().Lines.Count(), 1u);
    for (Qt::Key key : {Qt::Key_End, Qt::Key_Down, Qt::Key_Right, Qt::Key_PageDown}) {
        shown.Key(key, Qt::ShiftModifier);
    }
    shown.Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view.SelLength(), 0);
    EXPECT_EQ(view.FindText("x", 0, -1, false, false), -1);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_TRUE(view.SelText().isEmpty());
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
    const QImage image = shown.Grab();
    EXPECT_EQ(image.pixel(10, 10), view.palette().color(QPalette::Base).rgb());
}

TEST(SourceViewLimits, ADocumentOfOnlyLineEnds) {
    ShownView shown("\r\n\r\n\r\n");
    TRichEdit& view = shown.view;
    ASSERT_EQ(view.TextLength(), 3);
    EXPECT_EQ(view.Document().Lines.Count(), 4u);
    shown.Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view.CaretPosition(), 3);
    shown.Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(view.SelText(), "\n");
    shown.Key(Qt::Key_Right);
    shown.Key(Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(view.SelText(), "\n\n\n");
    // Selected line ends show as marks at the start of each line.
    QApplication::processEvents();
    const QImage image = shown.Grab();
    const QRgb highlight = view.palette().color(QPalette::Active, QPalette::Highlight).rgb();
    const QRect marks = BoxOf(image, [&](QRgb p) { return p == highlight; });
    EXPECT_EQ(marks.left(), 1);
    EXPECT_LT(marks.width(), 20);
    EXPECT_GE(marks.height(), 3 * 12);
    // A double click on an empty line selects nothing.
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, shown.CellPoint(1, 2));
    EXPECT_EQ(view.SelLength(), 0);
    EXPECT_EQ(view.CaretPosition(), 1);
}

TEST(SourceViewLimits, ALineOfAMillionCharacters) {
    std::string text(1'000'000, 'x');
    text += "END\r\nnext";
    ShownView shown(text);
    TRichEdit& view = shown.view;
    EXPECT_EQ(view.Document().Lines.Count(), 2u);
    // The horizontal range reaches the end of the long line.
    const double cell = Cell();
    EXPECT_GE(view.horizontalScrollBar()->maximum(), 1'000'003 * cell - view.width());
    shown.Key(Qt::Key_End);
    EXPECT_EQ(view.CaretPosition(), 1'000'003);
    EXPECT_TRUE(view.viewport()->rect().contains(view.cursorRect()));
    shown.Key(Qt::Key_Left, Qt::ShiftModifier);
    shown.Key(Qt::Key_Left, Qt::ShiftModifier);
    shown.Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(view.SelText(), "END");
    QApplication::processEvents();
    // Drawn where it is: the selected "END" in sight.
    const QImage image = shown.Grab();
    const QRgb highlight = view.palette().color(QPalette::Active, QPalette::Highlight).rgb();
    const QRect selected = BoxOf(image, [&](QRgb p) { return p == highlight; });
    EXPECT_NEAR(selected.width(), 3 * cell, 2);
    EXPECT_EQ(view.FindText("END", 0, -1, true, false), 1'000'000);
    EXPECT_EQ(view.FindText("END", 0, -1, true, true), -1); // part of the one long word
    shown.Key(Qt::Key_Down);
    EXPECT_EQ(view.CaretPosition(), view.TextLength()); // "next" is shorter
    // A short document that follows needs no horizontal scrolling.
    view.LoadFromBytes("short");
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(view.horizontalScrollBar()->value(), 0);
}

} // namespace
