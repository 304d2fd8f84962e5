// Print and PDF on the real window, read back with Poppler: pdftotext gives
// the text in order, pdftoppm the colours on the page.

#include "tests/viewer/app/WindowTestSupport.h"
#include "viewer/ViewCommands.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTimer>
#include <sys/stat.h>

namespace {

// A Pascal file with a keyword, a comment, a string, a tab and a line longer
// than any page is wide.
QByteArray PascalFile() {
    QByteArray text = "program Paper;\n{ navy comment here }\nbegin\n"
                      "\tWriteLn('red string');\n";
    text += "  X := 1";
    for (int i = 0; i < 60; ++i) {
        text += " + " + QByteArray::number(1000 + i);
    }
    text += ";\nend.\n";
    return text;
}

struct PrintTest : WindowTest {
    void SetUp() override {
        WindowTest::SetUp();
        // Keywords in teal: a colour no other token has.
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Pascal", true));
        registry.WriteString("clKeyword", "clTeal");
    }

    // Opens NAME with CONTENT through the open command.
    void Open(const QString& name, const QByteArray& content) {
        answer = QString::fromStdString(WriteFile(name, content));
        Run(&TfrmMain::tbOpenClick);
        ASSERT_TRUE(errors.isEmpty());
    }
    // Picks the save dialog's type INDEX as a user does, in its list of types.
    void SaveDialog1Select(int index) {
        auto* combo = window->SaveDialog1->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(combo, nullptr);
        combo->setFocus();
        while (combo->currentIndex() < index) {
            QTest::keyClick(combo, Qt::Key_Down);
        }
        while (combo->currentIndex() > index) {
            QTest::keyClick(combo, Qt::Key_Up);
        }
    }

    static QString Tool(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    // The PDF's text without the page headers and without white space.
    static QString BodyText(const QString& pdf, QStringList* headers = nullptr) {
        const QString text = Tool("pdftotext", {"-layout", pdf, "-"});
        QString body;
        static const QRegularExpression page("Page \\d+ of \\d+");
        for (const QString& line : text.split('\n')) {
            if (line.contains(page)) {
                if (headers != nullptr) {
                    *headers << line.simplified();
                }
                continue;
            }
            body += line;
        }
        return body.remove(QRegularExpression("\\s"));
    }
    static QString Squeezed(QString text) { return text.remove(QRegularExpression("\\s")); }

    // Pixels of page 1 near COLOUR.
    static int PixelsNear(const QString& pdf, QColor colour) {
        const QString prefix = pdf + "-page";
        Tool("pdftoppm", {"-r", "150", "-png", "-f", "1", "-l", "1", "-singlefile", pdf, prefix});
        const QImage image(prefix + ".png");
        EXPECT_FALSE(image.isNull());
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor p = image.pixelColor(x, y);
                count += std::abs(p.red() - colour.red()) < 40 &&
                         std::abs(p.green() - colour.green()) < 40 &&
                         std::abs(p.blue() - colour.blue()) < 40;
            }
        }
        return count;
    }
};

TEST_F(PrintTest, SaveWritesAPdfWithTheTextInOrderAndItsColours) {
    Create();
    Open("paper.pas", PascalFile());
    const QString pdf = dir.filePath("paper.pdf");
    answer = pdf;
    Run(&TfrmMain::tbSaveClick);
    ASSERT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
    QStringList headers;
    // The long line wraps onto more rows; the text stays the source's, in order.
    EXPECT_EQ(BodyText(pdf, &headers), Squeezed(QString::fromLatin1(PascalFile())));
    ASSERT_EQ(headers.size(), 1);
    EXPECT_TRUE(headers[0].contains("paper.pas")) << headers[0].toStdString();
    EXPECT_TRUE(headers[0].endsWith("Page 1 of 1")) << headers[0].toStdString();
    const QString layout = Tool("pdftotext", {"-layout", pdf, "-"});
    const auto rows = layout.split('\n');
    for (const QString& row : rows) {
        EXPECT_LT(row.size(), 140) << row.toStdString(); // nothing runs off the page
    }
    EXPECT_GT(PixelsNear(pdf, QColor(0, 128, 128)), 30); // keywords, teal
    EXPECT_GT(PixelsNear(pdf, QColor(0, 0, 128)), 30);   // the comment, navy
    EXPECT_GT(PixelsNear(pdf, QColor(255, 0, 0)), 30);   // the string, red
    // The fonts go with the document.
    const QString fonts = Tool("pdffonts", {pdf});
    EXPECT_TRUE(fonts.contains(" yes ")) << fonts.toStdString();
}

TEST_F(PrintTest, LinesBeyondTheFixedCellsWrapToo) {
    Create();
    // The euro sign is no cell character: its line is laid out as a whole.
    QByteArray text = "first line\n\xE2\x82\xAC";
    for (int i = 0; i < 80; ++i) {
        text += " w" + QByteArray::number(100 + i);
    }
    text += "\nlast line\n";
    Open("plain.txt", text);
    const QString pdf = dir.filePath("plain.pdf");
    answer = pdf;
    Run(&TfrmMain::tbSaveClick);
    ASSERT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    EXPECT_EQ(BodyText(pdf).toStdString(), Squeezed(QString::fromUtf8(text)).toStdString());
    const QStringList rows = Tool("pdftotext", {"-layout", pdf, "-"}).split('\n');
    int wrapped = 0;
    for (const QString& row : rows) {
        EXPECT_LT(row.size(), 140) << row.toStdString();
        wrapped += row.contains(" w1");
    }
    EXPECT_GE(wrapped, 3); // 400 characters on rows of about 94
}

TEST_F(PrintTest, TheFilterOrTheExtensionChoosesPdf) {
    Create();
    Open("paper.pas", PascalFile());
    // The PDF type chosen: a name without an extension gets ".pdf".
    SaveDialog1Select(2);
    answer = dir.filePath("chosen");
    Run(&TfrmMain::tbSaveClick);
    EXPECT_TRUE(QFile::exists(dir.filePath("chosen.pdf")));
    // The RTF type with ".pdf" typed: the extension wins.
    SaveDialog1Select(0);
    answer = dir.filePath("typed.pdf");
    Run(&TfrmMain::tbSaveClick);
    QFile typed(dir.filePath("typed.pdf"));
    ASSERT_TRUE(typed.open(QIODevice::ReadOnly));
    EXPECT_EQ(typed.read(5), "%PDF-");
    // And ".rtf" typed under the PDF type stays RTF.
    SaveDialog1Select(2);
    answer = dir.filePath("typed.rtf");
    Run(&TfrmMain::tbSaveClick);
    QFile rtf(dir.filePath("typed.rtf"));
    ASSERT_TRUE(rtf.open(QIODevice::ReadOnly));
    EXPECT_EQ(rtf.read(5), "{\\rtf");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(PrintTest, APdfThatCannotBeWrittenIsReportedAndLeavesNothing) {
    Create();
    Open("paper.pas", PascalFile());
    const QString text = ViewText();
    answer = dir.filePath("missing-folder/out.pdf");
    Run(&TfrmMain::tbSaveClick);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("out.pdf")) << errors[0].toStdString();
    EXPECT_FALSE(QFile::exists(answer));
    // A read-only folder: the old file stays as it was.
    errors.clear();
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    const std::string old = WriteFile("locked/old.pdf", "old");
    ASSERT_FALSE(old.empty());
    ASSERT_EQ(chmod(dir.filePath("locked").toLocal8Bit().constData(), 0500), 0);
    answer = dir.filePath("locked/old.pdf");
    Run(&TfrmMain::tbSaveClick);
    chmod(dir.filePath("locked").toLocal8Bit().constData(), 0700);
    if (geteuid() != 0) {
        ASSERT_EQ(errors.size(), 1);
        QFile kept(answer);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), "old");
    }
    errors.clear();
    EXPECT_EQ(ViewText(), text);
}

TEST_F(PrintTest, PrintingToAFileGoesThroughThePrintPath) {
    Create();
    Open("paper.pas", PascalFile());
    const QString out = dir.filePath("printed.pdf");
    int asked = 0;
    window->ViewCommands->ExecutePrintDialog = [&](QPrintDialog& dialog) {
        ++asked;
        EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintSelection));
        dialog.printer()->setOutputFileName(out);
        return true;
    };
    window->SourceView1->setFocus();
    QTest::keyClick(window->SourceView1, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    EXPECT_EQ(BodyText(out), Squeezed(QString::fromLatin1(PascalFile())));
    EXPECT_GT(PixelsNear(out, QColor(0, 128, 128)), 30);
    // Cancelled: nothing printed.
    QFile::remove(out);
    window->ViewCommands->ExecutePrintDialog = [&](QPrintDialog&) { return false; };
    window->ViewCommands->miPrint->trigger();
    EXPECT_FALSE(QFile::exists(out));
}

TEST_F(PrintTest, OnlyTheSelectionWhenTheDialogAsks) {
    Create();
    Open("paper.pas", PascalFile());
    const int from = window->SourceView1->FindText("navy", 0, -1, true, false);
    window->SourceView1->SetSelection(from, from + 11); // "navy commen"
    const QString out = dir.filePath("selection.pdf");
    window->ViewCommands->ExecutePrintDialog = [&](QPrintDialog& dialog) {
        EXPECT_TRUE(dialog.testOption(QAbstractPrintDialog::PrintSelection));
        dialog.printer()->setPrintRange(QPrinter::Selection);
        dialog.printer()->setOutputFileName(out);
        return true;
    };
    window->ViewCommands->Print();
    ASSERT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    EXPECT_EQ(BodyText(out), "navycommen");
}

TEST_F(PrintTest, ManyPagesNumberedAndAPageRange) {
    Create();
    QByteArray text;
    for (int i = 1; i <= 400; ++i) {
        text += "// line " + QByteArray::number(i) + "\n";
    }
    Open("long.pas", text);
    const QString all = dir.filePath("all.pdf");
    answer = all;
    Run(&TfrmMain::tbSaveClick);
    QStringList headers;
    EXPECT_EQ(BodyText(all, &headers), Squeezed(QString::fromLatin1(text)));
    // 400 rows at 9 pt on A4 need more than four pages, fewer than ten.
    ASSERT_GT(headers.size(), 4);
    ASSERT_LT(headers.size(), 10);
    const int pages = static_cast<int>(headers.size());
    for (int i = 0; i < pages; ++i) {
        EXPECT_TRUE(headers[i].endsWith(QString("Page %1 of %2").arg(i + 1).arg(pages)));
    }
    // Pages 2 to 3 printed: their headers, and their lines only.
    const QString some = dir.filePath("some.pdf");
    window->ViewCommands->ExecutePrintDialog = [&](QPrintDialog& dialog) {
        dialog.printer()->setPrintRange(QPrinter::PageRange);
        dialog.printer()->setFromTo(2, 3);
        dialog.printer()->setOutputFileName(some);
        return true;
    };
    window->ViewCommands->Print();
    QStringList printed;
    const QString body = BodyText(some, &printed);
    ASSERT_EQ(printed.size(), 2);
    EXPECT_TRUE(printed[0].endsWith(QString("Page 2 of %1").arg(pages)));
    EXPECT_FALSE(body.contains("//line1//"));
    EXPECT_TRUE(Squeezed(QString::fromLatin1(text)).contains(body));
}

TEST_F(PrintTest, ALongExportShowsProgressAndCancelKeepsTheOldFile) {
    Create();
    Show();
    QByteArray text;
    for (int i = 0; i < 120000; ++i) {
        text += "  Total := Total + " + QByteArray::number(i) + "; // running sum\n";
    }
    Open("big.pas", text);
    const std::string old = WriteFile("big.pdf", "old");
    // The progress dialog comes up while the pages are written; its Cancel stops them.
    bool sawProgress = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (progress != nullptr && progress->isVisible()) {
            sawProgress = true;
            progress->cancel();
        }
    });
    poll.start(20);
    answer = QString::fromStdString(old);
    Run(&TfrmMain::tbSaveClick);
    poll.stop();
    EXPECT_TRUE(sawProgress); // seen from a timer: the event loop kept turning
    EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    QFile kept(QString::fromStdString(old));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "old");
    EXPECT_EQ(QDir(dir.path()).entryList({"big.pdf*"}, QDir::Files | QDir::Hidden),
              QStringList({"big.pdf"}));
}

TEST_F(PrintTest, APrinterThatFailsIsReportedAndLeavesNoFile) {
    Create();
    Open("paper.pas", PascalFile());
    const QString out = dir.filePath("no-such-folder/printed.pdf");
    window->ViewCommands->ExecutePrintDialog = [&](QPrintDialog& dialog) {
        dialog.printer()->setOutputFileName(out);
        return true;
    };
    const QString text = ViewText();
    window->ViewCommands->miPrint->trigger();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("does not exist")) << errors[0].toStdString();
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(ViewText(), text);
    errors.clear();
}

} // namespace
