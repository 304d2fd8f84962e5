#include "tests/viewer/app/WindowTestSupport.h"
#include "viewer/FindDialog.h"
#include "viewer/text/PathRoutines.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTemporaryDir>
#include <algorithm>
#include <sys/stat.h>
#include <vector>

namespace {

// ---- the designed form ----

using DesignTest = WindowTest;

TEST_F(DesignTest, FormComponentsAsDesigned) {
    Create();
    EXPECT_EQ(frmMain, window.get());
    EXPECT_EQ(window->windowTitle(), "qd's - Lumivane 98");
    EXPECT_EQ(QApplication::applicationDisplayName(), "Lumivane 98");
    EXPECT_EQ(window->StatusBar->height(), 19);
    EXPECT_EQ(window->StatusBar->PanelCount(), 1);
    EXPECT_FALSE(window->StatusBar->EraseBackground);
    EXPECT_TRUE(window->SourceView1->isReadOnly());
    EXPECT_EQ(window->ThreadComp1->State(), TRunnerState::rsIdle);
    EXPECT_TRUE(window->ThreadComp1->FreeOnTerminate);

    QStringList items;
    for (QAction* item : window->pm1->actions()) {
        items << (item->isSeparator() ? "-" : item->text());
        EXPECT_TRUE(item->shortcut().isEmpty());
    }
    // The designed items first; the reading commands follow behind a separator.
    ASSERT_GE(items.size(), 5);
    EXPECT_EQ(items.mid(0, 5), QStringList({"Find", "Find next", "Copy", "-", "Exit"}));
    EXPECT_FALSE(window->miFindNext->isEnabled());

    EXPECT_EQ(window->OpenDialog1->windowTitle(), "Open");
    EXPECT_EQ(window->OpenDialog1->nameFilters(),
              QStringList({"All Files (*.*) (*)", "Pascal (*.pas, *.~pa) (*.pas *.~pa)",
                           "Delphi Project (*.dpr, *.~dp) (*.dpr *.~dp)", "INT Files (*.int)",
                           "INC Files (*.inc)", "Rich Text Format (*.rtf) (*.rtf)"}));
    EXPECT_EQ(window->SaveDialog1->windowTitle(), "Save as");
    EXPECT_EQ(
        window->SaveDialog1->nameFilters(),
        QStringList({"Rich Text Format (*.rtf) (*.rtf)", "Web page (*.html *.htm) (*.html *.htm)",
                     "PDF document (*.pdf) (*.pdf)"}));
    EXPECT_EQ(window->SaveDialog1->selectedNameFilter(), "Rich Text Format (*.rtf)");
    EXPECT_EQ(window->SaveDialog1->defaultSuffix(), "rtf");
    EXPECT_EQ(window->SaveDialog1->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(window->SaveDialog1->testOption(QFileDialog::DontConfirmOverwrite));

    EXPECT_EQ(window->FindDialog1->windowTitle(), "Find");
    EXPECT_FALSE(window->FindDialog1->isModal());
}

TEST_F(DesignTest, StartedWithoutArgumentsTheViewAndStatusStayEmpty) {
    Create();
    Show();
    QTest::qWait(20);
    EXPECT_TRUE(ViewText().isEmpty());
    EXPECT_TRUE(window->StatusBar->PanelText(0).isEmpty());
    EXPECT_TRUE(SourceFileName.empty());
    EXPECT_EQ(window->ThreadComp1->State(), TRunnerState::rsIdle);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(DesignTest, PaintingTheFormSetsTheViewsTextRectangle) {
    Create();
    window->SourceView1->SetFormattingRect(QRect(QPoint(7, 7), QPoint(7, 7)));
    Show();
    window->update();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window->SourceView1->FormattingMargins() == QMargins(1, 1, 1, 1); }, 2000));
    // A document loaded later keeps it.
    window->SourceView1->LoadFromBytes("text");
    EXPECT_EQ(window->SourceView1->FormattingMargins(), QMargins(1, 1, 1, 1));
}

TEST_F(DesignTest, TheViewsPopupMenuIsPm1) {
    Create();
    Show();
    const QPoint at(20, 20);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at,
                              window->SourceView1->viewport()->mapToGlobal(at));
    QApplication::sendEvent(window->SourceView1->viewport(), &request);
    EXPECT_TRUE(window->pm1->isVisible());
    window->pm1->close();
}

// ---- start-up placement from the settings store ----

using PlacementTest = WindowTest;

QPoint CentredOnScreen(const QWidget& window) {
    const QRect area = window.screen()->availableGeometry();
    return area.center() -
           QPoint(window.frameGeometry().width() / 2, window.frameGeometry().height() / 2);
}

TEST_F(PlacementTest, WithoutThePositionKeyTheWindowIsCentred) {
    Create();
    Show();
    EXPECT_EQ(window->size(), QSize(611, 421));
    EXPECT_EQ(window->pos(), CentredOnScreen(*window));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(PlacementTest, UnknownModesKeepTheDesignedCentredPlacement) {
    for (int mode : {0, 3, 5, -1}) {
        StoreInteger(kPositionKey, "StartPos", mode);
        Create();
        Show();
        EXPECT_EQ(window->size(), QSize(611, 421)) << mode;
        EXPECT_EQ(window->pos(), CentredOnScreen(*window)) << mode;
        EXPECT_EQ(window->windowState(), Qt::WindowNoState) << mode;
        window.reset();
    }
}

TEST_F(PlacementTest, SavedModeAppliesTheStoredBounds) {
    StoreInteger(kPositionKey, "StartPos", 2);
    StoreInteger(kPositionKey, "X1", 100);
    StoreInteger(kPositionKey, "Y1", 50);
    StoreInteger(kPositionKey, "X2", 500);
    StoreInteger(kPositionKey, "Y2", 400);
    Create();
    Show();
    EXPECT_EQ(window->pos(), QPoint(100, 50));
    EXPECT_EQ(window->size(), QSize(500, 400));
    EXPECT_EQ(window->Left(), 100);
    EXPECT_EQ(window->Width(), 500);
}

TEST_F(PlacementTest, SavedModeWithoutValuesUsesTheDesignedBoundsNotCentred) {
    StoreInteger(kPositionKey, "StartPos", 2);
    Create();
    Show();
    EXPECT_EQ(window->pos(), QPoint(173, 119));
    EXPECT_EQ(window->size(), QSize(611, 421));

    window.reset();
    StoreInteger(kPositionKey, "X1", 100); // only the left edge changes
    Create();
    Show();
    EXPECT_EQ(window->pos(), QPoint(100, 119));
    EXPECT_EQ(window->size(), QSize(611, 421));
}

TEST_F(PlacementTest, SavedBoundsComeBackTheSame) {
    TRegistry().OpenKey(kProductKey, true); // installed
    StoreInteger(kPositionKey, "StartPos", 2);
    Create();
    Show();
    window->setGeometry(120, 80, 480, 360);
    QApplication::processEvents();
    ASSERT_TRUE(SavePosition(*window));
    const QRect saved(window->Left(), window->Top(), window->Width(), window->Height());
    window.reset();

    Create();
    Show();
    EXPECT_EQ(QRect(window->Left(), window->Top(), window->Width(), window->Height()), saved);
}

// Sizes no window can have are brought into range, as the window system
// would: the window still opens, on the desktop's scale.
TEST_F(PlacementTest, StoredSizesOutOfRangeAreLimited) {
    StoreInteger(kPositionKey, "StartPos", 2);
    StoreInteger(kPositionKey, "X2", 2000000000);
    StoreInteger(kPositionKey, "Y2", -400);
    Create();
    Show();
    const QSize desktop = window->screen()->virtualSize();
    EXPECT_GT(window->width(), 0);
    EXPECT_LE(window->width(), desktop.width());
    EXPECT_GT(window->height(), 0);
    EXPECT_LE(window->height(), desktop.height());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(PlacementTest, FullModeMaximises) {
    StoreInteger(kPositionKey, "StartPos", 1);
    Create();
    Show();
    EXPECT_TRUE(window->isMaximized());
}

TEST_F(PlacementTest, AValueOfTheWrongTypeIsReportedAndTheWindowStillOpens) {
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kPositionKey, true));
        registry.WriteString("StartPos", "2");
    }
    Create();
    Show();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("StartPos")) << errors[0].toStdString();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->size(), QSize(611, 421));
}

// ---- keyboard map ----

struct KeyboardTest : WindowTest {
    int copies = 0;
    void SetUp() override {
        WindowTest::SetUp();
        Create();
        Show();
        window->SourceView1->setFocus();
        QApplication::clipboard()->setText("before");
        window->SourceView1->LoadFromBytes("alpha beta alpha");
    }
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->SourceView1, static_cast<Qt::Key>(key), modifiers);
    }
    void Select(int start, int length) {
        window->SourceView1->SetSelStart(start);
        window->SourceView1->SetSelLength(length);
    }
};

TEST_F(KeyboardTest, CtrlLettersReachTheirCommands) {
    Press(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogsShown.size(), 1u);
    EXPECT_EQ(dialogsShown[0], window->OpenDialog1);

    Press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogsShown.size(), 2u);
    EXPECT_EQ(dialogsShown[1], window->SaveDialog1);

    Press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(window->FindDialog1->isVisible());
    window->FindDialog1->close();

    // The view copies on its own when it has the focus, so the window's Ctrl+C
    // shows only where the focus is on a control that does not: the window.
    Select(6, 4);
    window->SourceView1->clearFocus();
    window->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), window.get());
    QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "beta");
}

TEST_F(KeyboardTest, SaveWritesTheFormatOfTheChosenFilter) {
    QTemporaryDir dir;
    QString name;
    QString filter;
    window->ExecuteFileDialog = [&](QFileDialog& dialog) {
        dialog.selectNameFilter(filter);
        dialog.selectFile(name);
        return true;
    };
    const auto save = [&](const QString& file, const QString& chosen) {
        name = dir.path() + "/" + file;
        filter = chosen;
        Press(Qt::Key_S, Qt::ControlModifier);
        QFile saved(name);
        return saved.open(QIODevice::ReadOnly) ? saved.readAll().toStdString() : std::string();
    };
    const QString rtf = "Rich Text Format (*.rtf) (*.rtf)";
    const QString web = "Web page (*.html *.htm) (*.html *.htm)";
    EXPECT_TRUE(save("a.rtf", rtf).starts_with("{\\rtf1"));
    EXPECT_TRUE(save("b.html", web).starts_with("<!DOCTYPE html>"));
    // The extension typed wins over the filter.
    EXPECT_TRUE(save("c.htm", rtf).starts_with("<!DOCTYPE html>"));
    EXPECT_TRUE(save("d.rtf", web).starts_with("{\\rtf1"));
    EXPECT_NE(save("e.html", web).find(">alpha beta alpha<"), std::string::npos);
    // Any other name takes the chosen filter's format.
    EXPECT_TRUE(save("f.txt", web).starts_with("<!DOCTYPE html>"));
    EXPECT_TRUE(save("g.txt", rtf).starts_with("{\\rtf1"));
}

TEST_F(KeyboardTest, OtherModifierSetsDoNothing) {
    Select(6, 4);
    for (Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier),
          Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier),
          Qt::KeyboardModifiers(Qt::AltModifier), Qt::KeyboardModifiers(Qt::NoModifier),
          Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        for (int key : {Qt::Key_O, Qt::Key_S, Qt::Key_F, Qt::Key_C}) {
            Press(key, modifiers);
        }
    }
    EXPECT_EQ(QApplication::clipboard()->text(), "before"); // nothing copied
    EXPECT_TRUE(dialogsShown.empty());
    EXPECT_FALSE(window->FindDialog1->isVisible());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(KeyboardTest, F3ActsOnlyWhileFindNextIsEnabledWithAnyModifier) {
    Press(Qt::Key_F3);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(window->SourceView1->SelStart(), 0);

    window->FindDialog1->SetFindText("alpha");
    window->FindDialog1Find(); // finds the second alpha, enables Find next
    EXPECT_EQ(window->SourceView1->SelStart(), 11);
    EXPECT_TRUE(window->miFindNext->isEnabled());
    window->SourceView1->setFocus();
    Press(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(messages, QStringList({"Searchstring \"alpha\" not found"}));
}

TEST_F(KeyboardTest, EscapeClosesWithAnyModifiers) {
    Press(Qt::Key_Escape, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(KeyboardTest, KeysAlsoReachTheFocusedControl) {
    struct Counter : QObject {
        int keys = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            keys += event->type() == QEvent::KeyPress &&
                    static_cast<QKeyEvent*>(event)->key() != Qt::Key_Control;
            return false;
        }
    } counter;
    window->SourceView1->installEventFilter(&counter);
    Press(Qt::Key_O, Qt::ControlModifier);
    Press(Qt::Key_F3);
    EXPECT_EQ(counter.keys, 2);
    EXPECT_EQ(dialogsShown.size(), 1u); // and the command ran once only
}

// ---- open, save, copy ----

using CommandTest = WindowTest;

TEST_F(CommandTest, OpenConvertsSourceFilesWhateverTheCaseOfTheExtension) {
    Create();
    Show();
    const std::string file = WriteFile("X.PAS", Sample());
    answer = QString::fromStdString(file);
    window->tbOpenClick();
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_TRUE(ViewText().contains("unit Sample;"));
    EXPECT_EQ(ColourOf("Sample unit shipped"), QColor(0, 0, 128)); // a comment
    EXPECT_EQ(SourceFileName, file);
    EXPECT_EQ(window->StatusBar->PanelText(0), QString::fromStdString(ExpandLongPath(file)));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(window->windowTitle(), "qd's - Lumivane 98");
    ASSERT_EQ(dialogsShown.size(), 1u);
    EXPECT_EQ(dialogsShown[0], window->OpenDialog1);
}

TEST_F(CommandTest, OpenConvertsFreePascalFilesToo) {
    Create();
    Show();
    for (const char* name : {"types.pp", "project1.LPR", "hello.p"}) {
        answer = QString::fromStdString(WriteFile(name, Sample()));
        window->tbOpenClick();
        ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
        EXPECT_EQ(ColourOf("Sample unit shipped"), QColor(0, 0, 128)) << name; // a comment
    }
}

TEST_F(CommandTest, OpenLoadsRtfAndPlainTextDirectly) {
    Create();
    Show();
    const QColor backgroundBefore = window->SourceView1->palette().color(QPalette::Base);
    answer = QString::fromStdString(WriteFile(
        "note.rtf", "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}\\cf1 Hello\\par}"));
    window->tbOpenClick();
    EXPECT_EQ(ViewText().trimmed(), "Hello");
    EXPECT_EQ(ColourOf("Hello"), QColor(255, 0, 0));

    // A plain file replaces the first completely, even when it has braces.
    answer = QString::fromStdString(WriteFile("readme.txt", "begin {not rtf} end"));
    window->tbOpenClick();
    EXPECT_EQ(ViewText(), "begin {not rtf} end");
    EXPECT_EQ(SourceFileName, answer.toStdString());
    EXPECT_TRUE(errors.isEmpty());
    // The open command leaves the background as it was.
    EXPECT_EQ(window->SourceView1->palette().color(QPalette::Base), backgroundBefore);
}

TEST_F(CommandTest, CancelledOpenChangesNothing) {
    Create();
    Show();
    window->SourceView1->LoadFromBytes("kept");
    window->tbOpenClick();
    EXPECT_EQ(dialogsShown.size(), 1u);
    EXPECT_EQ(ViewText(), "kept");
    EXPECT_TRUE(SourceFileName.empty());
}

TEST_F(CommandTest, AFailedOpenKeepsTheViewTheNameAndTheCursor) {
    Create();
    Show();
    const std::string first = WriteFile("first.pas", "begin end.");
    answer = QString::fromStdString(first);
    window->tbOpenClick();
    const QString statusBefore = window->StatusBar->PanelText(0);

    QDir(dir.path()).mkdir("folder.pas"); // a source name that cannot be read
    answer = dir.filePath("folder.pas");
    Run(&TfrmMain::tbOpenClick);
    answer = dir.filePath("missing.txt");
    Run(&TfrmMain::tbOpenClick);

    EXPECT_EQ(errors.size(), 2);
    EXPECT_TRUE(ViewText().contains("begin end."));
    EXPECT_EQ(SourceFileName, first);
    EXPECT_EQ(window->StatusBar->PanelText(0), statusBefore);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(window->SourceView1->viewport()->updatesEnabled());
}

// A pipe or a device under a chosen name would block the window on its
// first read (or never end): refused with a message, the view kept.
TEST_F(CommandTest, OpenRefusesWhatIsNotARegularFile) {
    Create();
    Show();
    window->SourceView1->LoadFromBytes("kept");
    for (const char* name : {"pipe.pas", "pipe.txt"}) {
        ASSERT_EQ(mkfifo(Path(name).c_str(), 0600), 0);
        answer = dir.filePath(name);
        Run(&TfrmMain::tbOpenClick);
    }
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].contains("pipe.pas")) << errors[0].toStdString();
    EXPECT_TRUE(errors[1].contains("not a regular file")) << errors[1].toStdString();
    EXPECT_EQ(ViewText(), "kept");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(CommandTest, SaveWritesTheViewAsRtfThatReloadsTheSame) {
    Create();
    Show();
    answer = QString::fromStdString(WriteFile("unit1.pas", Sample()));
    window->tbOpenClick();
    const QString shown = ViewText();

    answer = dir.filePath("saved.rtf");
    window->tbSaveClick();
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    QFile saved(answer);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().startsWith("{\\rtf1"));

    window->SourceView1->LoadFromBytes("something else");
    window->tbOpenClick(); // the saved file, loaded directly
    EXPECT_EQ(ViewText(), shown);
    EXPECT_EQ(ColourOf("Sample unit shipped"), QColor(0, 0, 128));
}

TEST_F(CommandTest, SaveCancelledOrFailingLeavesNoFile) {
    Create();
    Show();
    window->SourceView1->LoadFromBytes("text");
    window->tbSaveClick(); // cancelled
    EXPECT_TRUE(errors.isEmpty());

    answer = dir.filePath("no-such-folder/out.rtf");
    Run(&TfrmMain::tbSaveClick);
    EXPECT_EQ(errors.size(), 1);
    EXPECT_FALSE(QFile::exists(answer));
}

TEST_F(CommandTest, CopyOnlyWithASelection) {
    Create();
    Show();
    window->SourceView1->LoadFromBytes(
        "{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue128;}\\cf1 navy words\\par}");
    QApplication::clipboard()->setText("unchanged");
    window->tbCopyClick();
    EXPECT_EQ(QApplication::clipboard()->text(), "unchanged");

    window->SourceView1->SetSelStart(0);
    window->SourceView1->SetSelLength(4);
    window->tbCopyClick();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->text(), "navy");
    EXPECT_TRUE(copied->hasHtml());
    EXPECT_TRUE(copied->hasFormat("text/rtf"));
    EXPECT_TRUE(copied->data("text/rtf").startsWith("{\\rtf1"));
}

TEST_F(CommandTest, ExitFromThePopupMenuClosesTheWindow) {
    Create();
    Show();
    window->miExit->trigger();
    EXPECT_FALSE(window->isVisible());
}

// ---- the status text ----

using StatusTest = WindowTest;

// The texts the status bar may show for an absolute path, longest first:
// the leading folders give way to "/.../" one at a time, then the root goes,
// then the mark.
std::vector<std::string> Shortenings(const std::string& path) {
    const QStringList parts = QString::fromStdString(path).split('/', Qt::SkipEmptyParts);
    const QString name = parts.back();
    std::vector<std::string> texts{path};
    for (qsizetype first = 1; first < parts.size(); ++first) {
        texts.push_back(("/.../" + parts.mid(first).join('/')).toStdString());
    }
    texts.push_back((".../" + name).toStdString());
    texts.push_back(name.toStdString());
    return texts;
}

TEST_F(StatusTest, AResizeShortensThePathToTheWindowWidth) {
    Create();
    Show();
    const QString folder = "a-rather-long-folder-name/another-long-folder-name/third-folder";
    QDir(dir.path()).mkpath(folder);
    answer = QString::fromStdString(WriteFile(folder + "/program.pas", "begin end."));
    window->tbOpenClick();
    const std::string full = ExpandLongPath(answer.toStdString());
    EXPECT_EQ(window->StatusBar->PanelText(0).toStdString(), full);

    const std::vector<std::string> texts = Shortenings(full);
    const std::string fits = "/.../third-folder/program.pas";
    ASSERT_EQ(texts[texts.size() - 4], fits);
    const QFontMetrics metrics(window->StatusBar->font());
    const int fitsWidth = metrics.horizontalAdvance(QString::fromStdString(fits));
    const int frame = window->frameGeometry().width() - window->width();
    const auto resizeTo = [&](int outerWidth) {
        window->resize(outerWidth - frame, 200);
        QApplication::processEvents();
        ASSERT_EQ(window->frameGeometry().width(), outerWidth);
    };

    // The outer width less 30 pixels is the limit, and a text exactly that wide fits.
    resizeTo(fitsWidth + 30);
    EXPECT_EQ(window->StatusBar->PanelText(0).toStdString(), fits);
    resizeTo(fitsWidth + 29);
    EXPECT_EQ(window->StatusBar->PanelText(0).toStdString(), "/.../program.pas");
    // Wide enough again, the whole path comes back.
    resizeTo(metrics.horizontalAdvance(QString::fromStdString(full)) + 30);
    EXPECT_EQ(window->StatusBar->PanelText(0).toStdString(), full);
}

// Shown at start, the command-line path is fitted as a resize fits it: not
// cut off at the window's edge until the first resize.
TEST_F(StatusTest, TheCommandLinePathIsFittedWhenTheWindowIsShown) {
    const QString folder = "a-rather-long-folder-name/another-long-folder-name/third-folder";
    QDir(dir.path()).mkpath(folder);
    const std::string typed = WriteFile(folder + "/program.pas", "begin end.");
    Create({typed});
    window->resize(360, 240);
    Show();
    const QFontMetrics metrics(window->StatusBar->font());
    const int limit = window->frameGeometry().width() - 30;
    const std::vector<std::string> texts = Shortenings(typed);
    const auto fitting = std::find_if(texts.begin(), texts.end(), [&](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text)) <= limit;
    });
    ASSERT_NE(fitting, texts.begin()) << "the window is wide enough for the whole path";
    ASSERT_NE(fitting, texts.end());
    EXPECT_EQ(window->StatusBar->PanelText(0).toStdString(), *fitting);
    EXPECT_EQ(SourceFileName, typed); // the name itself stays as typed
    EXPECT_TRUE(WaitForIdleRunner());
}

} // namespace
