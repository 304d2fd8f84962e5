#pragma once
// The main window steps the probes share: waiting until the document is
// shown, and answering the open dialog with a file of the probe's choosing.

#include "viewer/Main.h"
#include "viewer/RichEdit.h"

#include <QFileDialog>
#include <QString>
#include <QTest>
#include <cstdio>

// Waits up to TIMEOUT_MS for WINDOW to show a converted document; says so on
// stderr and returns false when it did not arrive.
inline bool WaitForDocument(TfrmMain& window, int timeoutMs) {
    const bool arrived = QTest::qWaitFor(
        [&] {
            return window.ThreadComp1->State() == TRunnerState::rsIdle &&
                   window.SourceView1->TextLength() > 0;
        },
        timeoutMs);
    if (!arrived) {
        std::fprintf(stderr, "the document did not arrive\n");
    }
    return arrived;
}

// Every open command of WINDOW picks FILE, as a user would in the dialog.
inline void AnswerOpenWith(TfrmMain& window, const QString& file) {
    window.ExecuteFileDialog = [file](QFileDialog& dialog) {
        dialog.selectFile(file);
        return true;
    };
}
