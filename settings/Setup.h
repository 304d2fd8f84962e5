#pragma once
// The setup dialog: the colour of each token class, picked from a 16-colour
// grid, and how the main window starts. Picks go straight into ColorSlots;
// Save writes the start mode and, when a colour changed, the whole scheme.
// Cancel, or closing by the frame, puts the table back as it was when the
// dialog opened and writes nothing.

#include "platform/Color.h"

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <array>
#include <functional>

class QKeyEvent;
class QListWidget;
class QPushButton;
class QRadioButton;
class QShowEvent;
class QTabWidget;
class TColorGrid;
class TPlacementWindow;

class TfrmSetup : public QDialog {
    Q_OBJECT
public:
    // Reports the error being handled; called inside a catch block.
    using TErrorReport = std::function<void()>;

    // MAINWINDOW is the window whose bounds "save position" records.
    // REPORTERROR shows an error that escapes a handler (the program's one
    // error box); without one, a critical message box shows it. It is given
    // here because the creation handler already reads the store.
    explicit TfrmSetup(TPlacementWindow& mainWindow, TErrorReport reportError = {},
                       QWidget* parent = nullptr);
    ~TfrmSetup() override;

    // Components, in the order of the form.
    QTabWidget* PageControl1;
    QWidget* tsProgram;
    QRadioButton* rbStartDefault;
    QRadioButton* rbStartFull;
    QRadioButton* rbStartSaved;
    QPushButton* btnSavePosition;
    QWidget* tsPascal;
    QListWidget* lbPascal;
    TColorGrid* cgPascal;
    QPushButton* btnSave;
    QPushButton* btnCancel;

    // Handlers.
    void FormCreate();
    void lbPascalClick();
    void cgPascalChange(TColorGrid& sender);
    void btnSaveClick();
    void btnSavePositionClick();
    void btnCancelClick();

    // The grid cell of exactly that colour; cell 0 for every other value,
    // system-colour codes included.
    static int ColorToGridIndex(TColor color);

    // The install message goes through this (one OK button), so that tests
    // can answer it.
    std::function<void(QMessageBox::Icon icon, const QString& text)> ShowMessage;

protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Right in the list reaches the grid, which Tab passes by.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateComponents();
    void CreateProgramPage();
    void CreatePascalPage();
    template <class Handler> void Guarded(Handler&& handler);

    TPlacementWindow& mainWindow_;
    TErrorReport reportError_;
    bool ColorsChanged = false;
    // Set while the list presets the grid: that is no pick by the user.
    bool presetting_ = false;
    std::array<TColor, 7> openingColors_{};
    bool centred_ = false;
};
