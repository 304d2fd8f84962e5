// A file dropped on the window opens as the open command would open it.

#include "tests/viewer/app/WindowTestSupport.h"
#include "viewer/text/PathRoutines.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

struct DropTest : WindowTest {
    // Drags URLS over the view and drops them there, as a file manager does;
    // false when the window refused the drag.
    bool Drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = window->SourceView1->mapTo(window.get(), QPoint(20, 20));
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
        QTest::qWait(50); // the open follows the drop's answer
        return drop.isAccepted();
    }
    QUrl Local(const std::string& file) {
        return QUrl::fromLocalFile(QString::fromStdString(file));
    }
};

TEST_F(DropTest, ADroppedFileOpensAsTheOpenCommandWouldOpenIt) {
    Create();
    Show();
    EXPECT_TRUE(window->acceptDrops());
    const std::string file = WriteFile("dropped.pas", "begin { dropped } end.");
    ASSERT_TRUE(Drop({Local(file)}));
    EXPECT_TRUE(ViewText().contains("dropped"));
    EXPECT_EQ(ColourOf("dropped"), QColor(0, 0, 128)); // converted
    EXPECT_EQ(SourceFileName, file);
    EXPECT_EQ(window->StatusBar->PanelText(0), QString::fromStdString(ExpandLongPath(file)));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(DropTest, OfSeveralFilesTheFirstOpens) {
    Create();
    Show();
    const std::string first = WriteFile("first.txt", "the first");
    const std::string second = WriteFile("second.txt", "the second");
    ASSERT_TRUE(Drop({QUrl("https://example.org/x.pas"), Local(first), Local(second)}));
    EXPECT_EQ(ViewText(), "the first");
    EXPECT_EQ(SourceFileName, first);
}

TEST_F(DropTest, AFolderOrAnUnreadableFileGetsTheOpenCommandsMessage) {
    Create();
    Show();
    window->SourceView1->LoadFromBytes("kept");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    ASSERT_TRUE(Drop({Local(Path("folder"))}));
    ASSERT_TRUE(Drop({Local(Path("missing.txt"))}));
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].contains("folder")) << errors[0].toStdString();
    EXPECT_TRUE(errors[1].contains("missing.txt")) << errors[1].toStdString();
    // The same names through the open command give the same messages.
    const QStringList dropped = errors;
    errors.clear();
    for (const char* name : {"folder", "missing.txt"}) {
        answer = dir.filePath(name);
        Run(&TfrmMain::tbOpenClick);
    }
    EXPECT_EQ(errors, dropped);
    EXPECT_EQ(ViewText(), "kept");
    EXPECT_TRUE(SourceFileName.empty());
    errors.clear();
}

TEST_F(DropTest, WhatIsNotALocalFileIsRefused) {
    Create();
    Show();
    EXPECT_FALSE(Drop({QUrl("https://example.org/unit.pas")}));
    QMimeData text;
    text.setText("begin end.");
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_TRUE(ViewText().isEmpty());
}

} // namespace
