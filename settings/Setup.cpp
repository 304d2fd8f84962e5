#include "settings/Setup.h"

#include "engine/ColorScheme.h"
#include "engine/PascalParser.h"
#include "platform/qt/ErrorText.h"
#include "settings/ColorGrd.h"
#include "settings/Placement.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTabWidget>
#include <exception>
#include <string>

namespace {

constexpr int kClientWidth = 336;
constexpr int kClientHeight = 160;
constexpr int kListItemHeight = 13;

void ShowMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, owner);
    box.exec();
}

QPushButton* CreateButton(QWidget* parent, const QString& caption, const QRect& bounds) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(bounds);
    // Neither Save nor Cancel answers Enter: the form has no default button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QRadioButton* CreateRadio(QWidget* parent, const QString& caption, const QRect& bounds) {
    auto* button = new QRadioButton(caption, parent);
    button->setGeometry(bounds);
    return button;
}

// The slot text names, exactly; when several would match, the last one wins.
TColorSlot* SlotNamed(const QString& text) {
    TColorSlot* found = nullptr;
    const std::string name = text.toStdString();
    for (TColorSlot& slot : ColorSlots) {
        if (slot.DisplayName == name) {
            found = &slot;
        }
    }
    return found;
}

QString SelectedText(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text();
}

} // namespace

TfrmSetup::TfrmSetup(TPlacementWindow& mainWindow, TErrorReport reportError, QWidget* parent)
    : QDialog(parent), mainWindow_(mainWindow), reportError_(std::move(reportError)) {
    ShowMessage = [this](QMessageBox::Icon icon, const QString& text) {
        ShowMessageBox(this, icon, text);
    };
    if (!reportError_) {
        reportError_ = [this] {
            ShowMessageBox(this, QMessageBox::Critical, ErrorText(std::current_exception()));
        };
    }
    CreateComponents();
    Guarded([this] { FormCreate(); });
    // What Cancel goes back to: the table as this dialog shows it at first,
    // the stored scheme loaded.
    for (std::size_t i = 0; i < ColorSlots.size(); ++i) {
        openingColors_[i] = ColorSlots[i].Color;
    }
}

TfrmSetup::~TfrmSetup() = default;

template <class Handler> void TfrmSetup::Guarded(Handler&& handler) {
    try {
        handler();
    } catch (...) {
        reportError_();
    }
}

// ---- the form ----

void TfrmSetup::CreateComponents() {
    setWindowTitle("Setup");
    // A fixed dialog border: a caption with its close box, no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    QFont formFont("MS Sans Serif");
    formFont.setPixelSize(11);
    setFont(formFont);

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(0, 0, 249, kClientHeight);
    CreateProgramPage();
    CreatePascalPage();
    PageControl1->setCurrentWidget(tsPascal);

    btnSave = CreateButton(this, "Save", QRect(256, 20, 75, 25));
    btnCancel = CreateButton(this, "Cancel", QRect(256, 56, 75, 25));
    connect(btnSave, &QPushButton::clicked, this, [this] { Guarded([this] { btnSaveClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this,
            [this] { Guarded([this] { btnCancelClick(); }); });
}

void TfrmSetup::CreateProgramPage() {
    tsProgram = new QWidget;
    PageControl1->addTab(tsProgram, "Program");
    // Created in tab order: the button first, then the radio buttons.
    btnSavePosition = CreateButton(tsProgram, "save position", QRect(16, 88, 209, 33));
    rbStartDefault = CreateRadio(tsProgram, "start with default position", QRect(16, 8, 145, 17));
    rbStartFull = CreateRadio(tsProgram, "start as fullscreen", QRect(16, 32, 113, 17));
    rbStartSaved = CreateRadio(tsProgram, "start with saved position", QRect(16, 56, 145, 17));
    rbStartDefault->setChecked(true);
    connect(btnSavePosition, &QPushButton::clicked, this,
            [this] { Guarded([this] { btnSavePositionClick(); }); });
}

void TfrmSetup::CreatePascalPage() {
    tsPascal = new QWidget;
    PageControl1->addTab(tsPascal, "Pascal");
    // Created in tab order: the grid (no tab stop), then the list.
    cgPascal = new TColorGrid(tsPascal);
    cgPascal->setGeometry(128, 16, 100, 100);
    cgPascal->SetBackgroundEnabled(false);
    cgPascal->SetTabStop(false); // worked with the mouse alone
    cgPascal->OnChange = [this](TColorGrid& sender) { Guarded([&] { cgPascalChange(sender); }); };

    lbPascal = new QListWidget(tsPascal);
    lbPascal->setGeometry(16, 16, 100, 100);
    lbPascal->setSortingEnabled(true);
    lbPascal->setUniformItemSizes(true);
    lbPascal->setSelectionMode(QAbstractItemView::SingleSelection);
    lbPascal->installEventFilter(this);
    // Mouse and keyboard alike: every change of the selected entry.
    connect(lbPascal, &QListWidget::itemSelectionChanged, this,
            [this] { Guarded([this] { lbPascalClick(); }); });
}

// ---- handlers ----

void TfrmSetup::FormCreate() {
    ColorsChanged = false;
    switch (ReadStartMode()) {
    case TStartMode::kFull:
        rbStartFull->setChecked(true);
        break;
    case TStartMode::kSaved:
        rbStartSaved->setChecked(true);
        break;
    default:
        rbStartDefault->setChecked(true);
        break;
    }
    {
        TPascalParser parser;
        parser.LoadColors();
    }
    {
        // Filled and selected quietly: the click handler runs once, below.
        const QSignalBlocker quiet(lbPascal);
        for (const TColorSlot& slot : ColorSlots) {
            auto* item = new QListWidgetItem(QString::fromStdString(std::string(slot.DisplayName)));
            item->setSizeHint(QSize(0, kListItemHeight));
            lbPascal->addItem(item);
        }
        lbPascal->setCurrentRow(0);
    }
    lbPascalClick();
}

void TfrmSetup::lbPascalClick() {
    const TColorSlot* slot = SlotNamed(SelectedText(*lbPascal));
    const TColor color = slot != nullptr ? slot->Color.load() : 0;
    // Showing the slot's colour is no pick: a colour outside the grid shows
    // as cell 0 and stays the slot's colour.
    presetting_ = true;
    const auto done = qScopeGuard([this] { presetting_ = false; });
    cgPascal->SetForegroundIndex(ColorToGridIndex(color));
}

void TfrmSetup::cgPascalChange(TColorGrid& sender) {
    ColorsChanged = true;
    if (presetting_) {
        return;
    }
    const QString text = SelectedText(*lbPascal);
    if (text.isEmpty()) {
        return;
    }
    const std::string name = text.toStdString();
    for (TColorSlot& slot : ColorSlots) {
        if (slot.DisplayName == name) {
            slot.Color = sender.ForegroundColorValue();
        }
    }
}

void TfrmSetup::btnSaveClick() {
    TStartMode mode = TStartMode::kDefault;
    if (rbStartFull->isChecked()) {
        mode = TStartMode::kFull;
    }
    if (rbStartSaved->isChecked()) {
        mode = TStartMode::kSaved;
    }
    if (!WriteStartMode(mode)) {
        ShowMessage(QMessageBox::Critical, kInstallMessage);
    }
    // Saved also when the install check failed; saving creates the product key.
    if (ColorsChanged) {
        TPascalParser parser;
        parser.SaveColors();
    }
    accept();
}

void TfrmSetup::btnSavePositionClick() {
    if (!SavePosition(mainWindow_)) {
        ShowMessage(QMessageBox::Critical, kInstallMessage);
    }
}

void TfrmSetup::btnCancelClick() {
    reject();
}

int TfrmSetup::ColorToGridIndex(TColor color) {
    for (int cell = 0; cell < TColorGrid::kCellCount; ++cell) {
        if (TColorGrid::CellColor(cell) == color) {
            return cell;
        }
    }
    return 0;
}

// ---- closing ----

void TfrmSetup::done(int result) {
    // Cancel or the frame: picks made here do not outlive the dialog.
    if (result != QDialog::Accepted) {
        for (std::size_t i = 0; i < ColorSlots.size(); ++i) {
            ColorSlots[i].Color = openingColors_[i];
        }
    }
    QDialog::done(result);
}

void TfrmSetup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (centred_) {
        return;
    }
    centred_ = true;
    // Centred on the screen, frame and all, rather than where the toolkit
    // would guess a frame to be.
    if (const QScreen* where = screen()) {
        const QRect area = where->availableGeometry();
        const QSize outer = frameGeometry().size();
        // move() places the frame's top-left corner.
        move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
    }
}

void TfrmSetup::keyPressEvent(QKeyEvent* event) {
    // No default and no cancel button: Escape does nothing, and Enter
    // presses only the push button that has the focus.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

bool TfrmSetup::eventFilter(QObject* watched, QEvent* event) {
    // The grid keeps out of the Tab order; from the list beside it, Right
    // (which a one-column list has no use for) moves there, and the grid's
    // arrows, F and B work it from then on.
    if (watched == lbPascal && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Right &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        cgPascal->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
