// The view: loading, saving, selection, copy, find, and the settings the main
// window relies on.

#include "viewer/RichEdit.h"

#include "viewer/text/RtfReader.h"

#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace {

const std::string kHeader =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern Courier New;}}{\\colortbl"
    "\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red255\\green0\\blue0;"
    "\\red0\\green0\\blue128;\\red255\\green0\\blue255;\\red0\\green128\\blue0;"
    "\\red0\\green0\\blue0;}\\deflang1031\\pard\\plain\\f0\\fs18\\cf0";
const std::string kTrailer = "\\par }{\r\n";

std::string EngineDocument(const std::string& body) {
    return kHeader + body + kTrailer;
}

const std::string kProgram = EngineDocument(
    "{\\cf6\\b program} p;\r\\par {\\cf6\\b begin}\r\\par   s := {\\cf2 'caf\xe9'}; "
    "{\\cf3\\i \\{ in integer \\}}\r\\par   x := {\\cf4 42}\r\\par {\\cf6\\b end}.\r\\par ");
const QString kProgramText =
    QString::fromUtf8("program p;\nbegin\n  s := 'café'; { in integer }\n  x := 42\nend.\n");

QTextCharFormat FormatAt(const TRichEdit& view, int position) {
    return view.CharFormatAt(position);
}

std::string ReadFile(const QString& name) {
    std::ifstream in(name.toStdString(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(RichEditSettings, ReadOnlyNoWrapBothScrollBars) {
    TRichEdit view;
    EXPECT_TRUE(view.isReadOnly());
    EXPECT_FALSE(view.WordWrap());
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(view.focusPolicy(), Qt::StrongFocus); // the keyboard moves and selects too
    view.SetBackgroundColor(QColor(1, 2, 3));
    EXPECT_EQ(view.palette().color(QPalette::Base), QColor(1, 2, 3));
    EXPECT_EQ(view.palette().color(QPalette::Inactive, QPalette::Base), QColor(1, 2, 3));
}

TEST(RichEditLoad, EngineDocumentShowsTextColoursAndFont) {
    TRichEdit view;
    view.LoadFromBytes(kProgram);
    EXPECT_EQ(view.toPlainText(), kProgramText);
    EXPECT_EQ(view.TextLength(), kProgramText.size());
    const QTextCharFormat keyword = FormatAt(view, 0);
    EXPECT_EQ(keyword.fontWeight(), QFont::Bold);
    EXPECT_EQ(keyword.foreground().color(), QColor(0, 0, 0));
    EXPECT_EQ(keyword.fontFamilies().toStringList().value(0), "Courier New");
    EXPECT_TRUE(keyword.fontFixedPitch());
    EXPECT_DOUBLE_EQ(keyword.fontPointSize(), 9.0);
    const int string = static_cast<int>(kProgramText.indexOf(u'\''));
    EXPECT_EQ(FormatAt(view, string).foreground().color(), QColor(255, 0, 0));
    EXPECT_NE(FormatAt(view, string).fontWeight(), QFont::Bold);
    const int comment = static_cast<int>(kProgramText.indexOf(u'{'));
    EXPECT_TRUE(FormatAt(view, comment).fontItalic());
    EXPECT_EQ(FormatAt(view, comment).foreground().color(), QColor(0, 0, 128));
    EXPECT_EQ(FormatAt(view, static_cast<int>(kProgramText.indexOf(u'4'))).foreground().color(),
              QColor(255, 0, 255));
    EXPECT_EQ(view.Document().Lines.Count(), 6u);
}

TEST(RichEditLoad, NotRtfIsPlainText) {
    TRichEdit view;
    view.LoadFromBytes("caf\xe9\r\nline two\r\n");
    EXPECT_EQ(view.toPlainText(), QString::fromUtf8("café\nline two\n"));
    view.LoadFromBytes("\xe2\x82\xac {\\rtf1 not at the start}");
    EXPECT_EQ(view.toPlainText(), QString::fromUtf8("€ {\\rtf1 not at the start}"));
    view.LoadFromBytes("");
    EXPECT_EQ(view.TextLength(), 0);
    // Plain text shows in the code font whatever the view's own font is.
    view.setFont(QFont("Liberation Sans", 14));
    view.LoadFromBytes("text");
    view.setFont(QFont("Liberation Serif", 16));
    EXPECT_EQ(FormatAt(view, 0).fontFamilies().toStringList().value(0), "Courier New");
    EXPECT_DOUBLE_EQ(FormatAt(view, 0).fontPointSize(), 9.0);
    EXPECT_TRUE(FormatAt(view, 0).fontFixedPitch());
}

TEST(RichEditLoad, ModelTextAndViewTextAgree) {
    // A line break shows as a line of its own; a stray CR ends a paragraph.
    const std::string rtf = "{\\rtf1 a\\line b\\'0dc\\u-560?d\\tab e\\par f}";
    TRichEdit view;
    view.LoadFromBytes(rtf);
    EXPECT_EQ(view.Text(0, view.TextLength()),
              QString::fromStdU16String(ReadRtf(rtf).Text.ToU16String()));
    EXPECT_EQ(view.Document().Lines.Count(), 4u);
    EXPECT_EQ(view.toPlainText(), QString::fromUtf16(u"a\nb\nc\uFFFDd\te\nf"));
}

TEST(RichEditLoad, FailuresKeepThePreviousContent) {
    TRichEdit view;
    view.LoadFromBytes(kProgram);
    QTemporaryDir dir;
    const std::string missing = (dir.path() + "/missing.rtf").toStdString();
    try {
        view.LoadFromFile(missing);
        FAIL() << "no error for a missing file";
    } catch (const ERichEditError& error) {
        EXPECT_NE(std::string(error.what()).find(missing), std::string::npos);
    }
    EXPECT_THROW(view.LoadFromFile(dir.path().toStdString()), ERichEditError);
    EXPECT_EQ(view.toPlainText(), kProgramText);
}

TEST(RichEditLoad, FromFileReadsRtfAndPlainText) {
    QTemporaryDir dir;
    const QString rtfName = dir.path() + "/a.rtf";
    std::ofstream(rtfName.toStdString(), std::ios::binary) << kProgram;
    TRichEdit view;
    view.LoadFromFile(rtfName.toStdString());
    EXPECT_EQ(view.toPlainText(), kProgramText);
    const QString textName = dir.path() + "/a.txt";
    std::ofstream(textName.toStdString(), std::ios::binary) << "plain {\\b text}";
    view.LoadFromFile(textName.toStdString());
    EXPECT_EQ(view.toPlainText(), "plain {\\b text}");
}

TEST(RichEditLoad, DocumentBuiltOnAWorkerThread) {
    TRichEdit view;
    std::shared_ptr<const TViewDocument> built;
    std::thread worker([&] { built = view.BuildDocument(kProgram); });
    worker.join();
    ASSERT_TRUE(built);
    const TViewDocument* adopted = built.get();
    view.AdoptDocument(std::move(built));
    EXPECT_EQ(&view.Document(), adopted);
    EXPECT_EQ(view.toPlainText(), kProgramText);
    view.LoadFromBytes("next");
    EXPECT_EQ(view.toPlainText(), "next");
}

// A double click right after a load finds the new document's word.
TEST(RichEditLoad, ADoubleClickAfterALoadFindsTheNewWord) {
    TRichEdit view;
    view.show();
    for (int i = 0; i < 3; ++i) {
        view.LoadFromBytes(kProgram);
        QApplication::processEvents();
    }
    view.LoadFromBytes("last");
    EXPECT_EQ(view.toPlainText(), "last");
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, QPoint(4, 6));
    EXPECT_EQ(view.SelText(), "last");
    view.LoadFromBytes(kProgram);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, QPoint(4, 6));
    EXPECT_EQ(view.SelText(), "program");
}

TEST(RichEditSave, SavedFileReadsBackTheSame) {
    TRichEdit view;
    view.LoadFromBytes(kProgram);
    QTemporaryDir dir;
    const QString name = dir.path() + "/saved.rtf";
    view.SaveToFile(name.toStdString());
    const std::string saved = ReadFile(name);
    EXPECT_TRUE(saved.starts_with("{\\rtf1"));
    TRichEdit again;
    again.LoadFromBytes(saved);
    EXPECT_EQ(again.toPlainText(), kProgramText);
    for (int i = 0; i < view.TextLength(); ++i) {
        const QTextCharFormat a = FormatAt(view, i), b = FormatAt(again, i);
        ASSERT_EQ(a.foreground().color(), b.foreground().color()) << i;
        ASSERT_EQ(a.fontWeight(), b.fontWeight()) << i;
        ASSERT_EQ(a.fontItalic(), b.fontItalic()) << i;
        ASSERT_EQ(a.fontPointSize(), b.fontPointSize()) << i;
        ASSERT_EQ(a.fontFamilies(), b.fontFamilies()) << i;
    }
    // Plain text saves in the default fixed-pitch font.
    view.LoadFromBytes("x\ny");
    view.SaveToFile(name.toStdString());
    const TRtfDocument plain = ReadRtf(ReadFile(name));
    EXPECT_EQ(plain.Text, u"x\ny");
    ASSERT_FALSE(plain.Fonts.empty());
    EXPECT_EQ(plain.Fonts[0].Name, "Courier New");
}

// A UTF-8 source with Greek, CJK and an emoji: saved as RTF and loaded again
// it shows the same text, and the copy carries it in every flavour.
const std::string kUtf8Program = EngineDocument(
    "{\\cf6\\b program} p; {\\cf3\\i \\{ \xce\xba\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad"
    "\xcf\x81\xce\xb1 \\}}\r\\par s := {\\cf2 '\xe4\xb8\xad\xe6\x96\x87 "
    "\xf0\x9f\x98\x80 caf\xc3\xa9 \xe2\x82\xac'};\r\\par ");
const QString kUtf8ProgramText = QString::fromUtf8(
    "program p; { \xce\xba\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1 }\n"
    "s := '\xe4\xb8\xad\xe6\x96\x87 \xf0\x9f\x98\x80 caf\xc3\xa9 \xe2\x82\xac';\n");

TEST(RichEditSave, CharactersOutsideWindows1252SurviveASaveAndALoad) {
    TRichEdit view;
    view.LoadFromBytes(kUtf8Program);
    ASSERT_EQ(view.toPlainText(), kUtf8ProgramText);
    QTemporaryDir dir;
    const QString name = dir.path() + "/saved.rtf";
    view.SaveToFile(name.toStdString());
    const std::string saved = ReadFile(name);
    // Any RTF reader gets the characters: escapes only, the emoji as a surrogate pair.
    EXPECT_TRUE(std::all_of(saved.begin(), saved.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    EXPECT_NE(saved.find("\\uc1"), std::string::npos);
    EXPECT_NE(saved.find("\\u954?"), std::string::npos);
    EXPECT_NE(saved.find("\\u20013?"), std::string::npos);
    EXPECT_NE(saved.find("\\u-10179?\\u-8704?"), std::string::npos);
    TRichEdit again;
    again.LoadFromFile(name.toStdString());
    EXPECT_EQ(again.toPlainText(), kUtf8ProgramText);
}

TEST(RichEditCopy, CharactersOutsideWindows1252GoOutInEveryFlavour) {
    TRichEdit view;
    view.LoadFromBytes(kUtf8Program);
    view.SelectAll();
    view.CopyToClipboard();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime);
    EXPECT_EQ(mime->text(), kUtf8ProgramText);
    const QString html = mime->html();
    for (const char* word : {"\xce\xba\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1",
                             "\xe4\xb8\xad\xe6\x96\x87", "\xf0\x9f\x98\x80", "caf\xc3\xa9"}) {
        EXPECT_TRUE(html.contains(QString::fromUtf8(word))) << word;
    }
    const QByteArray rtf = mime->data("text/rtf");
    EXPECT_EQ(QString::fromStdU16String(
                  ReadRtf(std::string_view(rtf.constData(), static_cast<std::size_t>(rtf.size())))
                      .Text.ToU16String()),
              kUtf8ProgramText);
}

TEST(RichEditSave, FailureRaisesAndLeavesNoFile) {
    TRichEdit view;
    view.LoadFromBytes(kProgram);
    QTemporaryDir dir;
    EXPECT_THROW(view.SaveToFile((dir.path() + "/no/such/dir/x.rtf").toStdString()),
                 ERichEditError);
    EXPECT_THROW(view.SaveToFile(dir.path().toStdString()), ERichEditError);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(RichEditSelection, StartThenLengthSelects) {
    TRichEdit view;
    view.LoadFromBytes(kProgram);
    view.SetSelStart(8);
    EXPECT_EQ(view.SelStart(), 8);
    EXPECT_EQ(view.SelLength(), 0);
    view.SetSelLength(8);
    EXPECT_EQ(view.SelStart(), 8);
    EXPECT_EQ(view.SelLength(), 8);
    EXPECT_EQ(view.SelText(), "p;\nbegin");
    view.SetSelStart(-5);
    EXPECT_EQ(view.SelStart(), 0);
    view.SetSelStart(100000);
    EXPECT_EQ(view.SelStart(), view.TextLength());
    view.SetSelLength(10);
    EXPECT_EQ(view.SelLength(), 0);
    view.SetSelStart(3);
    view.SetSelLength(-2);
    EXPECT_EQ(view.SelLength(), 0);
}

TEST(RichEditSelection, SelectionIsScrolledIntoView) {
    std::string body;
    for (int i = 0; i < 2000; ++i) {
        body += "line " + std::to_string(i) + "\\par ";
    }
    body += "target";
    TRichEdit view;
    view.resize(300, 200);
    view.show();
    view.LoadFromBytes(EngineDocument(body));
    QApplication::processEvents();
    const int target = static_cast<int>(view.toPlainText().indexOf("target"));
    view.SetSelStart(target);
    view.SetSelLength(6);
    QApplication::processEvents();
    EXPECT_GT(view.verticalScrollBar()->value(), 0);
    const QRect caret = view.cursorRect();
    EXPECT_TRUE(view.viewport()->rect().intersects(caret));
}

TEST(RichEditSelection, SelectionStaysVisibleWithoutFocus) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* other = new QLineEdit(&window);
    auto* viewPtr = new TRichEdit(&window);
    TRichEdit& view = *viewPtr;
    layout->addWidget(other);
    layout->addWidget(viewPtr);
    window.resize(300, 150);
    window.show();
    window.activateWindow();
    view.LoadFromBytes("selected text here");
    view.setFocus();
    view.SetSelStart(0);
    view.SetSelLength(8);
    other->setFocus();
    QApplication::processEvents();
    ASSERT_FALSE(view.hasFocus());
    const QImage image = view.viewport()->grab().toImage();
    const QRgb highlight = view.palette().color(QPalette::Inactive, QPalette::Highlight).rgb();
    int highlighted = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            highlighted += image.pixel(x, y) == highlight ? 1 : 0;
        }
    }
    EXPECT_GT(highlighted, 50);
}

TEST(RichEditFind, RangeBoundariesAndFlags) {
    TRichEdit view;
    view.LoadFromBytes(EngineDocument("Begin in integer begin_x BEGIN\\par in"));
    // A match at the start position is found: skipping it is the caller's business.
    EXPECT_EQ(view.FindText("Begin", 0, 100, true, false), 0);
    EXPECT_EQ(view.FindText("begin", 1, 100, false, false), 17);
    EXPECT_EQ(view.FindText("begin", 1, 100, true, false), 17);
    EXPECT_EQ(view.FindText("begin", 1, 100, false, true), 25); // begin_ is one word
    EXPECT_EQ(view.FindText("begin", 18, 100, true, false), -1);
    // The whole match must lie inside the range.
    EXPECT_EQ(view.FindText("in", 6, 2, true, false), 6);
    EXPECT_EQ(view.FindText("in", 6, 1, true, false), -1);
    EXPECT_EQ(view.FindText("in", 7, 3, true, false), -1);
    EXPECT_EQ(view.FindText("in", 7, 4, true, false), 9);
    EXPECT_EQ(view.FindText("in", 7, 4, true, true), -1);
    // Whole word: not inside "integer"; at the very end of the text; across paragraphs.
    EXPECT_EQ(view.FindText("in", 7, 1000, false, true), 31);
    EXPECT_EQ(view.FindText("BEGIN\nin", 0, 1000, true, false), 25);
    EXPECT_EQ(view.FindText("in", 0, -1, true, true), 6);
    // Empty text, start outside the text.
    EXPECT_EQ(view.FindText("", 0, 100, false, false), -1);
    EXPECT_EQ(view.FindText("in", 1000, 100, false, false), -1);
    EXPECT_EQ(view.FindText("in", -1, 100, false, false), -1);
    EXPECT_EQ(view.FindText("in", view.TextLength(), 100, false, false), -1);
    // A new document is searched, not the old one.
    view.LoadFromBytes("zz in");
    EXPECT_EQ(view.FindText("in", 0, 100, false, false), 3);
}

TEST(RichEditFind, CaseFoldingBeyondAscii) {
    TRichEdit view;
    view.LoadFromBytes("x \xc3\x84rger \xc3\xa4rger");
    EXPECT_EQ(view.FindText(QString::fromUtf8("ärger"), 0, 100, false, true), 2);
    EXPECT_EQ(view.FindText(QString::fromUtf8("ärger"), 0, 100, true, true), 8);
}

TEST(RichEditCopy, SelectionGoesOutAsRtfHtmlAndText) {
    TRichEdit view;
    view.LoadFromBytes(kProgram);
    QApplication::clipboard()->setText("before");
    view.SetSelStart(0);
    view.CopyToClipboard(); // nothing selected: clipboard unchanged
    EXPECT_EQ(QApplication::clipboard()->text(), "before");

    const int start = static_cast<int>(kProgramText.indexOf("begin"));
    view.SetSelStart(start);
    view.SetSelLength(static_cast<int>(kProgramText.indexOf("x :=")) - start);
    view.CopyToClipboard();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime);
    EXPECT_EQ(mime->text(), QString::fromUtf8("begin\n  s := 'café'; { in integer }\n  "));
    EXPECT_TRUE(mime->hasHtml());
    EXPECT_TRUE(mime->html().contains("caf"));
    const QByteArray rtf = mime->data("text/rtf");
    EXPECT_EQ(rtf, mime->data("application/rtf"));
    const TRtfDocument copied = ReadRtf(std::string_view(rtf.constData(), rtf.size()));
    EXPECT_EQ(QString::fromStdU16String(copied.Text.ToU16String()), mime->text());
    bool red = false, boldBegin = false;
    for (const TRtfRun& run : copied.Runs) {
        const TRtfCharFormat& f = copied.Formats[run.Format];
        red = red || f.Color == RgbColor(0xFF, 0x00, 0x00);
        boldBegin = boldBegin || (run.Start == 0 && f.Bold);
    }
    EXPECT_TRUE(red);
    EXPECT_TRUE(boldBegin);
}

// The view's own copy key (and the X selection) must not put a poorer copy
// over the one the Copy command makes: the same three formats either way.
TEST(RichEditCopy, CopyKeyOfTheViewKeepsTheRtf) {
    TRichEdit view;
    view.show();
    view.LoadFromBytes(kProgram);
    view.setFocus();
    view.SetSelStart(0);
    view.SetSelLength(7);
    QApplication::clipboard()->setText("before");
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime);
    EXPECT_EQ(mime->text(), "program");
    EXPECT_TRUE(mime->hasHtml());
    ASSERT_TRUE(mime->hasFormat("text/rtf"));
    const QByteArray rtf = mime->data("text/rtf");
    const TRtfDocument copied = ReadRtf(std::string_view(rtf.constData(), rtf.size()));
    EXPECT_EQ(QString::fromStdU16String(copied.Text.ToU16String()), "program");
    ASSERT_FALSE(copied.Runs.empty());
    EXPECT_TRUE(copied.Formats[copied.Runs[0].Format].Bold);
}

// The clipboard's formats are made when a program asks for them, from a copy
// taken at the time of the copy: a document loaded since changes nothing.
TEST(RichEditCopy, ThePasteGetsWhatWasCopied) {
    TRichEdit view;
    view.LoadFromBytes(kProgram);
    view.SetSelStart(0);
    view.SetSelLength(7);
    view.CopyToClipboard();
    view.LoadFromBytes("something else entirely");
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime);
    EXPECT_EQ(mime->text(), "program");
    EXPECT_TRUE(mime->html().contains("program"));
    const QByteArray rtf = mime->data("application/rtf");
    EXPECT_EQ(ReadRtf(std::string_view(rtf.constData(), rtf.size())).Text, u"program");
    EXPECT_TRUE(mime->formats().contains("text/rtf"));
}

TEST(RichEditUpdate, BeginAndEndInPairs) {
    TRichEdit view;
    view.show();
    view.BeginUpdate();
    view.BeginUpdate();
    EXPECT_FALSE(view.viewport()->updatesEnabled());
    view.EndUpdate();
    EXPECT_FALSE(view.viewport()->updatesEnabled());
    view.EndUpdate();
    EXPECT_TRUE(view.viewport()->updatesEnabled());
    view.EndUpdate(); // unpaired: no effect
    view.BeginUpdate();
    EXPECT_FALSE(view.viewport()->updatesEnabled());
    view.EndUpdate();
    EXPECT_TRUE(view.viewport()->updatesEnabled());
}

TEST(RichEditFormattingRect, OnePixelInsetKeptAcrossLoads) {
    TRichEdit view;
    view.SetFormattingRect(QRect(QPoint(1, 1), QPoint(1, 1)));
    EXPECT_EQ(view.FormattingMargins(), QMargins(1, 1, 1, 1));
    view.LoadFromBytes(kProgram);
    EXPECT_EQ(view.FormattingMargins(), QMargins(1, 1, 1, 1));
}

} // namespace
