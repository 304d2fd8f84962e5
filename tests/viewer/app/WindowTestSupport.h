#pragma once
// A main window under test: a settings store of its own in a temporary folder,
// and message boxes, error reports and file dialogs answered by the test.

#include "engine/ColorScheme.h"
#include "platform/Registry.h"
#include "viewer/Application.h"
#include "viewer/Main.h"
#include "viewer/RichEdit.h"
#include "viewer/qdStatusBar.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

struct WindowTest : ::testing::Test {
    QTemporaryDir dir;
    QStringList messages;
    std::vector<QMessageBox::Icon> messageIcons;
    QStringList errors;
    std::vector<QFileDialog*> dialogsShown;
    QString answer; // the file the next file dialog returns; empty: cancel
    std::unique_ptr<TfrmMain> window;

    static TApplication& App() {
        return *qobject_cast<TApplication*>(QCoreApplication::instance());
    }

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        setenv("LUMIVANE_REGISTRY", Path("user.reg").c_str(), 1);
        App().ShowError = [this](const QString& text) { errors << text; };
        SourceFileName.clear();
        for (size_t i = 0; i < ColorSlots.size(); ++i) {
            ColorSlots[i].Color = kDefaultSlotColors[i];
        }
    }

    void TearDown() override {
        window.reset();
        QApplication::processEvents();
        App().ShowError = [](const QString& text) {
            ADD_FAILURE() << "error reported after the test: " << text.toStdString();
        };
    }

    TfrmMain& Create(std::vector<std::string> arguments = {}) {
        window = std::make_unique<TfrmMain>(std::move(arguments));
        window->ShowMessage = [this](QMessageBox::Icon icon, const QString& text) {
            messageIcons.push_back(icon);
            messages << text;
        };
        window->ExecuteFileDialog = [this](QFileDialog& dialog) {
            dialogsShown.push_back(&dialog);
            if (answer.isEmpty()) {
                return false;
            }
            dialog.selectFile(answer);
            return true;
        };
        return *window;
    }

    void Show() {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // Runs a handler as the window's events do: an error goes to the error report.
    void Run(void (TfrmMain::*handler)()) {
        TApplication::Guarded([&] { (window.get()->*handler)(); });
    }
    bool HasDefaultCursor() const { return window->cursor().shape() == Qt::ArrowCursor; }

    std::string Path(const QString& name) const { return dir.filePath(name).toStdString(); }

    std::string WriteFile(const QString& name, const QByteArray& content) const {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName().toStdString();
    }

    static QByteArray Sample() {
        QFile file(LUMIVANE_SAMPLE_FILE);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    bool WaitForIdleRunner(int timeoutMs = 20000) {
        return QTest::qWaitFor([&] { return window->ThreadComp1->State() == TRunnerState::rsIdle; },
                               timeoutMs);
    }

    void StoreInteger(const char* key, const char* name, std::int32_t value) {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(key, true));
        registry.WriteInteger(name, value);
    }

    QString ViewText() const { return window->SourceView1->toPlainText(); }

    // The text colour at the first occurrence of WHAT in the view.
    QColor ColourOf(const QString& what) const {
        const int found = window->SourceView1->FindText(what, 0, -1, true, false);
        EXPECT_GE(found, 0) << what.toStdString();
        return window->SourceView1->CharFormatAt(found).foreground().color();
    }
};
