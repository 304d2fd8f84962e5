#pragma once
// The main window's commands for reading: print, go to line, line numbers
// and zoom, with their popup items and keys, and PDF as a type of Save. What
// the view shows is kept in the settings store and restored at start.

#include <QObject>
#include <QString>
#include <functional>
#include <string>

class QAction;
class QPrintDialog;
class TGoToLineDialog;
class TfrmMain;
struct TPrintSource;
class TInputBlocker;

class TViewCommands : public QObject {
    Q_OBJECT
public:
    // Adds the popup items behind a separator after WINDOW's own. Made after
    // the window's own key filter, so that its input blocker sees keys first.
    explicit TViewCommands(TfrmMain& window);

    QAction* miSeparator;
    QAction* miPrint;
    QAction* miGoToLine;
    QAction* miLineNumbers;

    // Ctrl+P, Ctrl+G, Ctrl+Plus (Ctrl+=), Ctrl+Minus and Ctrl+0; any other
    // key is left alone. Never consumes the key.
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);

    void Print();
    void GoToLine();
    void SetLineNumbers(bool shown);
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();

    // Saves the view as PDF pages, the same pages printing gives.
    void SaveAsPdf(const std::string& fileName);

    // Modal dialogs go through these, so that tests can answer them.
    std::function<bool(QPrintDialog& dialog)> ExecutePrintDialog;
    std::function<bool(TGoToLineDialog& dialog)> ExecuteGoToDialog;

private:
    TPrintSource Source(bool selectionOnly) const;
    void RestoreSettings();

    TfrmMain& window_;
    TInputBlocker* blocker_;
};
