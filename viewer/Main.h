#pragma once
// The main window: the read-only view of the current document with its popup
// menu, the status bar, the open, save and find dialogs, and the runner that
// converts the command-line file when the window is first shown.

#include "settings/Placement.h"
#include "viewer/QtGuiThread.h"
#include "viewer/ThdComp.h"

#include <QMessageBox>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QFileDialog;
class QGridLayout;
class QMenu;
class QVBoxLayout;
class TDock97;
class TExplorerButton;
class TFindDialog;
class TNonClientFrame;
class TRichEdit;
class TStartupConversion;
class TFileLoader;
class TToolbar97;
class TToolbarButton97;
class TViewCommands;
class TqdStatusBar98;
class ZEZUzavivAzuroze;

// A dialog made when it is first used: a file dialog reads its folder and the
// file system as it is made, tens of milliseconds that the start of the
// program need not wait for.
template <typename Dialog> class TOnDemand {
public:
    std::function<Dialog*()> Create;

    Dialog* Get() const {
        if (dialog_ == nullptr) {
            dialog_ = Create();
        }
        return dialog_;
    }
    Dialog* operator->() const { return Get(); }
    Dialog& operator*() const { return *Get(); }
    operator Dialog*() const { return Get(); }

private:
    mutable Dialog* dialog_ = nullptr; // owned by its parent widget
};

class TfrmMain;
// The main window; set before its creation handler runs.
extern TfrmMain* frmMain;
// The current file: the first command-line argument once the window has been
// shown, then the file of each open command. Bytes, as the file system has them.
extern std::string SourceFileName;

class TfrmMain : public QWidget, public TPlacementWindow {
    Q_OBJECT
public:
    // ARGUMENTS are the command-line arguments after the program name.
    explicit TfrmMain(std::vector<std::string> arguments, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Components, in the order of the form.
    TRichEdit* SourceView1;
    TqdStatusBar98* StatusBar;
    QMenu* pm1;
    QAction* miFind;
    QAction* miFindNext;
    QAction* miCopy;
    QAction* N1;
    QAction* miExit;
    TFindDialog* FindDialog1;
    TOnDemand<QFileDialog> SaveDialog1;
    TOnDemand<QFileDialog> OpenDialog1;
    std::unique_ptr<TThreadComp> ThreadComp1;
    // The window's own frame, and the painter of its caption bar.
    TNonClientFrame* Frame;
    ZEZUzavivAzuroze* MSOfficeCaption1;

    // The four docks, and the toolbar "Lumivane98" in the top one.
    TDock97* Dock971;
    TDock97* Dock972;
    TDock97* Dock973;
    TDock97* Dock974;
    TToolbar97* Toolbar971;
    TToolbarButton97* tbOpen;
    TToolbarButton97* tbSave;
    TToolbarButton97* tbFind;
    TToolbarButton97* tbFindNext;
    TToolbarButton97* tbCopy;
    TToolbarButton97* tbSetup;
    TExplorerButton* ebAbout;
    // Print, go to line, line numbers, zoom and PDF, after the items above.
    TViewCommands* ViewCommands;

    // Handlers.
    void FormCreate();
    void FormShow();
    void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void FormResize();
    void FormPaint();
    void SetEditRect();
    void tbOpenClick();
    void tbSaveClick();
    void tbFindClick();
    void tbFindNextClick();
    void tbCopyClick();
    void miCopyClick();
    void miExitClick();
    void miFindClick();
    void miFindNextClick();
    void FindDialog1Find();
    void ThreadComp1Execute(TThreadComp& sender);
    void tbSetupClick();
    // The about box, shown modally; it goes when it closes.
    void ebAboutClick();

    // Where the conversion of the command-line file stands.
    const TStartupConversion& Startup() const { return *startup_; }
    // What opens, reloads and follows the file on show after the start.
    TFileLoader& Loader() const { return *loader_; }

    // Switches Find next everywhere it is offered.
    void SetFindNextEnabled(bool enabled);

    // Where the docks go: the top and bottom rows span the window, the left
    // and right ones flank the view.
    enum class TDockSide { kTop, kLeft, kRight, kBottom };
    void PlaceDock(TDockSide side, QWidget* dock);
    // The window's own frame: a caption can go above the client area.
    QVBoxLayout* FrameLayout() const { return frameLayout_; }

    // Message boxes and modal file dialogs go through these, so that tests
    // can answer them. ShowMessage: one OK button.
    std::function<void(QMessageBox::Icon icon, const QString& text)> ShowMessage;
    std::function<bool(QFileDialog& dialog)> ExecuteFileDialog;

    // TPlacementWindow
    void SetPosition(Position position) override;
    void SetWindowState(State state) override;
    void SetLeft(int left) override;
    void SetTop(int top) override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void CreateComponents();
    void CreateCaption();
    void CreateToolbars();
    void ClickMenuItem(QAction* item);
    void SearchOnce();

    std::vector<std::string> arguments_;
    TQtGuiThread guiThread_;
    QVBoxLayout* frameLayout_;
    QGridLayout* clientLayout_;
    Position position_ = Position::poScreenCenter;
    bool shown_ = false;
    // The key FormKeyDown was last given, and when it was pressed.
    int lastKey_ = 0;
    quint64 lastKeyTime_ = 0;
    std::unique_ptr<TStartupConversion> startup_;
    std::unique_ptr<TFileLoader> loader_; // after startup_, whose end it hears of
};
