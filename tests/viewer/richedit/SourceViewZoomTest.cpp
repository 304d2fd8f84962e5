// The view zoomed and with line numbers: what is shown scales, the document
// does not; the gutter's numbers sit beside their lines and are never text.

#include "platform/Color.h"
#include "platform/qt/QtColor.h"
#include "viewer/RichEdit.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <string>

namespace {

// LINES numbered lines "line 1" ... as plain text, with a red first word.
std::string Numbered(int lines) {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}"
                      "{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs18 ";
    for (int i = 1; i <= lines; ++i) {
        rtf += "{\\cf1 line} " + std::to_string(i) + (i < lines ? "\\par " : "");
    }
    return rtf + "}";
}

struct Shown {
    TRichEdit view;
    explicit Shown(const std::string& data, QSize size = QSize(400, 300)) {
        view.resize(size);
        view.show();
        view.LoadFromBytes(data);
        QApplication::processEvents();
    }
    QImage GrabAll() { return view.grab().toImage(); }
    void Wheel(int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at(50, 50);
        QWheelEvent event(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &event);
    }
};

bool Near(QRgb p, QColor c, int tolerance = 40) {
    return std::abs(qRed(p) - c.red()) <= tolerance &&
           std::abs(qGreen(p) - c.green()) <= tolerance &&
           std::abs(qBlue(p) - c.blue()) <= tolerance;
}

// ---- zoom ----

TEST(SourceViewZoom, TwoHundredPercentDoublesLinesAndCells) {
    Shown shown(Numbered(40));
    const QRect at100 =
        shown.view.CharacterRect(static_cast<int>(shown.view.Document().Lines.Start(3)) + 2);
    shown.view.SetZoom(200);
    EXPECT_EQ(shown.view.Zoom(), 200);
    shown.view.verticalScrollBar()->setValue(0);
    const QRect at200 =
        shown.view.CharacterRect(static_cast<int>(shown.view.Document().Lines.Start(3)) + 2);
    // 9 pt at 96 dpi is 12 px, at 192 dpi 24 px: every measure about doubles.
    EXPECT_NEAR(at200.height(), 2.0 * at100.height(), 2);
    EXPECT_NEAR(at200.top() - 1, 2.0 * (at100.top() - 1), 4);
    EXPECT_NEAR(at200.left() - 1, 2.0 * (at100.left() - 1), 3);
    // A click on that cell finds the same character at the new size.
    EXPECT_EQ(shown.view.PositionAt(at200.center() - QPoint(at200.width() / 4, 0)),
              static_cast<int>(shown.view.Document().Lines.Start(3)) + 2);
}

TEST(SourceViewZoom, LimitsAndTheDocumentStaysAsItIs) {
    Shown shown(Numbered(5));
    const std::string rtf = shown.view.ToRtf();
    const QString text = shown.view.toPlainText();
    const qreal size = shown.view.CharFormatAt(0).fontPointSize();
    shown.view.SetZoom(1000);
    EXPECT_EQ(shown.view.Zoom(), 400);
    shown.view.SetZoom(10);
    EXPECT_EQ(shown.view.Zoom(), 50);
    shown.view.SetSelStart(0);
    shown.view.SetSelLength(4);
    EXPECT_EQ(shown.view.SelText(), "line");
    EXPECT_EQ(shown.view.ToRtf(), rtf);
    EXPECT_EQ(shown.view.toPlainText(), text);
    EXPECT_EQ(shown.view.CharFormatAt(0).fontPointSize(), size);
    EXPECT_EQ(shown.view.FindText("line 3", 0, -1, true, false), text.indexOf("line 3"));
}

TEST(SourceViewZoom, TheCaretsLineStaysInSight) {
    Shown shown(Numbered(500));
    shown.view.GoToLine(250);
    const int caretLine = 250;
    for (int percent : {150, 300, 400, 75, 50, 100}) {
        shown.view.SetZoom(percent);
        const int top = shown.view.TopLine();
        const int rows = shown.view.viewport()->height() / shown.view.cursorRect().height();
        EXPECT_GE(caretLine, top) << percent;
        EXPECT_LT(caretLine, top + std::max(rows, 1)) << percent;
    }
}

TEST(SourceViewZoom, CtrlWheelZoomsAPlainWheelScrolls) {
    Shown shown(Numbered(300));
    int zoomSignals = 0;
    QObject::connect(&shown.view, &TRichEdit::ZoomChanged, [&](int) { ++zoomSignals; });
    shown.Wheel(120, Qt::ControlModifier);
    EXPECT_EQ(shown.view.Zoom(), 110);
    shown.Wheel(-120, Qt::ControlModifier);
    shown.Wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(shown.view.Zoom(), 90);
    // Half notches add up to one step.
    shown.Wheel(60, Qt::ControlModifier);
    EXPECT_EQ(shown.view.Zoom(), 90);
    shown.Wheel(60, Qt::ControlModifier);
    EXPECT_EQ(shown.view.Zoom(), 100);
    EXPECT_EQ(zoomSignals, 4);
    shown.Wheel(-120, Qt::NoModifier);
    EXPECT_EQ(shown.view.Zoom(), 100);
    EXPECT_GT(shown.view.TopLine(), 0);
}

TEST(SourceViewZoom, TheHorizontalRangeGrowsWithTheZoom) {
    Shown shown("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs18 " +
                std::string(300, 'x') + "}");
    const int at100 = shown.view.horizontalScrollBar()->maximum() + shown.view.viewport()->width();
    shown.view.SetZoom(200);
    const int at200 = shown.view.horizontalScrollBar()->maximum() + shown.view.viewport()->width();
    EXPECT_NEAR(at200, 2.0 * at100, at100 * 0.05);
    // The end of the line can be reached.
    shown.view.SetSelStart(300);
    EXPECT_LE(shown.view.cursorRect().right(), shown.view.viewport()->width());
    EXPECT_GE(shown.view.cursorRect().left(), 0);
}

// ---- go to line ----

TEST(SourceViewGoTo, CaretAtTheLineStartScrolledNearTheMiddle) {
    Shown shown(Numbered(1000));
    shown.view.GoToLine(499); // "line 500"
    // Lines "line 1".."line 9" take 7 characters and a break, 10..99 take 8, 100..499 take 9.
    const int start = 9 * 7 + 90 * 8 + 400 * 9;
    EXPECT_EQ(shown.view.SelStart(), start);
    EXPECT_EQ(shown.view.SelLength(), 0);
    EXPECT_EQ(shown.view.Text(start, start + 8), "line 500");
    const int rows = shown.view.viewport()->height() / shown.view.cursorRect().height();
    EXPECT_NEAR(shown.view.TopLine(), 499 - rows / 2, 1);
    // The first and the last line, and beyond.
    shown.view.GoToLine(0);
    EXPECT_EQ(shown.view.SelStart(), 0);
    EXPECT_EQ(shown.view.TopLine(), 0);
    shown.view.GoToLine(5000);
    EXPECT_EQ(shown.view.Text(shown.view.SelStart(), shown.view.TextLength()), "line 1000");
}

// ---- line numbers ----

TEST(SourceViewGutter, NumbersGreyOnButtonFaceBesideTheirLines) {
    Shown shown(Numbered(150));
    EXPECT_EQ(shown.view.GutterWidth(), 0);
    const QString text = shown.view.toPlainText();
    shown.view.SetLineNumbers(true);
    QApplication::processEvents();
    const int gutter = shown.view.GutterWidth();
    // Three digits and some room: at least three cells of the 12 px font.
    EXPECT_GE(gutter, 3 * 7);
    EXPECT_LE(gutter, 6 * 8);
    // The text moves right by the gutter.
    EXPECT_EQ(shown.view.viewport()->geometry().left() - shown.view.contentsRect().left(), gutter);
    const QImage image = shown.GrabAll();
    const int left = shown.view.contentsRect().left();
    const QColor face = ToQColor(clBtnFace);
    const QColor grey = ToQColor(clGrayText);
    int faces = 0;
    int greys = 0;
    QRect greyBox;
    for (int y = 0; y < shown.view.viewport()->height(); ++y) {
        for (int x = left; x < left + gutter; ++x) {
            const QRgb p = image.pixel(x, y + left);
            faces += p == face.rgb();
            if (Near(p, grey, 30) && !Near(p, face, 10)) {
                ++greys;
                greyBox |= QRect(x, y, 1, 1);
            }
        }
    }
    EXPECT_GT(faces, gutter * 20);
    EXPECT_GT(greys, 20);
    // Numbers are right-aligned: the ink ends near the gutter's right edge,
    // a digit's room before it.
    EXPECT_GT(greyBox.right(), left + gutter - 2 * 8);
    // Nothing red (the text) in the gutter.
    for (int y = 0; y < shown.view.viewport()->height(); ++y) {
        for (int x = left; x < left + gutter; ++x) {
            const QRgb p = image.pixel(x, y + left);
            ASSERT_FALSE(qRed(p) > 200 && qGreen(p) < 80) << x << "," << y;
        }
    }
    // Not text: selecting everything copies no numbers.
    shown.view.SelectAll();
    EXPECT_EQ(shown.view.SelText().size(), text.size());
    EXPECT_EQ(shown.view.toPlainText(), text);
    shown.view.SetLineNumbers(false);
    QApplication::processEvents();
    EXPECT_EQ(shown.view.viewport()->geometry().left(), shown.view.contentsRect().left());
}

TEST(SourceViewGutter, AsWideAsTheLargestNumberAtEveryZoom) {
    Shown small(Numbered(9));
    Shown large(Numbered(12000));
    small.view.SetLineNumbers(true);
    large.view.SetLineNumbers(true);
    // Five digits against one: four digits more, a digit being one 12 px cell.
    const int digits4 = large.view.GutterWidth() - small.view.GutterWidth();
    EXPECT_NEAR(digits4, 4 * 7.2, 2);
    const int at100 = large.view.GutterWidth();
    large.view.SetZoom(200);
    EXPECT_NEAR(large.view.GutterWidth(), 2 * at100, 3);
    // A new document with fewer lines narrows it.
    large.view.SetZoom(100);
    large.view.LoadFromBytes(Numbered(9));
    EXPECT_EQ(large.view.GutterWidth(), small.view.GutterWidth());
}

} // namespace
