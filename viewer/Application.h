#pragma once
// The application object: title, the classic look, the system colours taken
// from its palette, and the one error report for errors that escape a handler.

#include <QApplication>
#include <QPalette>
#include <QString>
#include <functional>

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);

    // Shows TEXT in the error box: the error's text and one OK button. Tests
    // replace it to see what would have been shown.
    std::function<void(const QString& text)> ShowError;

    // Reports the error being handled (call inside a catch block).
    static void ReportCurrentException();

    // Runs HANDLER; an error escaping it is reported and the program goes on.
    template <class Handler> static void Guarded(Handler&& handler) {
        try {
            handler();
        } catch (...) {
            ReportCurrentException();
        }
    }

    // The last resort for errors thrown through the event loop.
    bool notify(QObject* receiver, QEvent* event) override;
};

// Replaces the 25 system colours by their counterparts in PALETTE.
void FillSysColorsFromPalette(const QPalette& palette);
