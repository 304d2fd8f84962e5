#include "viewer/Main.h"

#include "platform/qt/NonClientFrame.h"
#include "settings/About.h"
#include "settings/Setup.h"
#include "viewer/Application.h"
#include "viewer/FileLoader.h"
#include "viewer/FindDialog.h"
#include "viewer/RichEdit.h"
#include "viewer/SaveFormats.h"
#include "viewer/StartupConversion.h"
#include "viewer/ViewCommands.h"
#include "viewer/glyphs/Glyphs.h"
#include "viewer/qdStatusBar.h"
#include "viewer/text/PathRoutines.h"
#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarButton97.h"
#include "widgets/TB97/ToolbarKeys.h"
#include "widgets/TB97/ToolbarSep97.h"
#include "widgets/Wordcap.h"
#include "widgets/explbtn/explbtn.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QVBoxLayout>

TfrmMain* frmMain = nullptr;
std::string SourceFileName;

namespace {

constexpr int kDesignedLeft = 173;
constexpr int kDesignedTop = 119;
constexpr int kDesignedWidth = 611;
constexpr int kDesignedHeight = 421;

QString DecodeName(const std::string& name) {
    return QFile::decodeName(QByteArray::fromStdString(name));
}

std::string EncodeName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

// "Description|patterns|..." as the file dialog wants it. The descriptions
// stay as written; "*.*" means every file here, names without a dot included.
QStringList NameFilters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(';');
        for (QString& pattern : patterns) {
            if (pattern == "*.*") {
                pattern = "*";
            }
        }
        result << parts[i] + " (" + patterns.join(' ') + ")";
    }
    return result;
}

QFileDialog* CreateFileDialog(QWidget* owner, const QString& title, const QString& filter,
                              QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(owner, title);
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
    dialog->setNameFilters(NameFilters(filter));
    return dialog;
}

// The place of FILTER among the save dialog's filters, which are
// kSaveFormats' in order; -1 for none. The dialog names a filter with or
// without the patterns it adds, as it shows them.
qsizetype SaveFormatIndex(const QFileDialog& dialog, const QString& filter) {
    const QStringList filters = dialog.nameFilters();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (filters[i] == filter || filters[i].startsWith(filter + " (")) {
            return i;
        }
    }
    return -1;
}

void ShowMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& text) {
    const QString caption =
        icon == QMessageBox::Information ? "Information" : QApplication::applicationDisplayName();
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

// What the window system allows a window: at least a caption bar's worth,
// at most the whole desktop, whatever size the store asks for.
constexpr QSize kSmallestWindow(112, 27);

QSize LimitedSize(const QWidget& window, QSize size) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QSize largest = screen ? screen->virtualSize().expandedTo(kSmallestWindow)
                                 : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return size.expandedTo(kSmallestWindow).boundedTo(largest);
}

// A minimised window reports the bounds it is restored to.
QRect Bounds(const QWidget& window) {
    if (!window.isMinimized()) {
        return QRect(window.pos(), window.size());
    }
    const QPoint frameOffset = window.pos() - window.geometry().topLeft();
    return QRect(window.normalGeometry().topLeft() + frameOffset, window.normalGeometry().size());
}

// PATH shortened to what the status bar of a window OUTERWIDTH wide (frame
// included, as the window system reports it) shows.
QString PathToWidth(const std::string& path, const QFont& font, int outerWidth) {
    const QFontMetrics metrics(font);
    const TextWidthFn textWidth = [&](const std::string& text) {
        return metrics.horizontalAdvance(DecodeName(text));
    };
    return DecodeName(ShortenPathToWidth(path, textWidth, outerWidth - 30));
}

} // namespace

TfrmMain::TfrmMain(std::vector<std::string> arguments, QWidget* parent)
    : QWidget(parent), arguments_(std::move(arguments)) {
    frmMain = this;
    ShowMessage = [this](QMessageBox::Icon icon, const QString& text) {
        ShowMessageBox(this, icon, text);
    };
    ExecuteFileDialog = [](QFileDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
    CreateComponents();
    CreateToolbars();
    TApplication::Guarded([this] { FormCreate(); });
    // Centred before the window is first shown: a window moved while it is
    // being mapped can leave the window manager and Qt disagreeing about
    // where it is, and the first drag of the caption then jumps.
    if (position_ == Position::poScreenCenter && screen() != nullptr) {
        const QRect area = screen()->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
}

TfrmMain::~TfrmMain() {
    // First, while the view and the window are whole: a worker still
    // converting is cut off from them and waited for.
    ThreadComp1.reset();
    if (frmMain == this) {
        frmMain = nullptr;
    }
}

void TfrmMain::CreateComponents() {
    setWindowTitle("qd's - Lumivane 98");
    QFont formFont("MS Sans Serif");
    formFont.setPixelSize(11);
    setFont(formFont);
    move(kDesignedLeft, kDesignedTop);
    resize(kDesignedWidth, kDesignedHeight);

    frameLayout_ = new QVBoxLayout(this);
    frameLayout_->setContentsMargins(0, 0, 0, 0);
    frameLayout_->setSpacing(0);
    clientLayout_ = new QGridLayout;
    clientLayout_->setContentsMargins(0, 0, 0, 0);
    clientLayout_->setSpacing(0);
    frameLayout_->addLayout(clientLayout_, 1);

    SourceView1 = new TRichEdit(this);
    SourceView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SourceView1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    clientLayout_->addWidget(SourceView1, 1, 1);
    clientLayout_->setRowStretch(1, 1);
    clientLayout_->setColumnStretch(1, 1);

    StatusBar = new TqdStatusBar98(this);
    StatusBar->setFixedHeight(19);
    StatusBar->SetPanelCount(1);
    StatusBar->SetPanelWidth(0, 50);
    StatusBar->EraseBackground = false;
    frameLayout_->addWidget(StatusBar);

    pm1 = new QMenu(this);
    miFind = pm1->addAction("Find");
    miFindNext = pm1->addAction("Find next");
    miFindNext->setEnabled(false);
    miCopy = pm1->addAction("Copy");
    N1 = pm1->addSeparator();
    miExit = pm1->addAction("Exit");
    auto handle = [this](QAction* item, void (TfrmMain::*handler)()) {
        connect(item, &QAction::triggered, this,
                [this, handler] { TApplication::Guarded([&] { (this->*handler)(); }); });
    };
    handle(miFind, &TfrmMain::miFindClick);
    handle(miFindNext, &TfrmMain::miFindNextClick);
    handle(miCopy, &TfrmMain::miCopyClick);
    handle(miExit, &TfrmMain::miExitClick);
    SourceView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SourceView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pm1->popup(SourceView1->viewport()->mapToGlobal(at)); });

    FindDialog1 = new TFindDialog(this);
    connect(FindDialog1, &TFindDialog::Find, this,
            [this] { TApplication::Guarded([this] { FindDialog1Find(); }); });

    SaveDialog1.Create = [this] {
        QFileDialog* dialog = CreateFileDialog(
            this, "Save as", QString::fromStdString(SaveFilter()), QFileDialog::AcceptSave);
        // A name typed without an extension gets the chosen format's.
        dialog->setDefaultSuffix(kSaveFormats[0].Suffix);
        connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString& filter) {
            const auto chosen = SaveFormatIndex(*dialog, filter);
            if (chosen >= 0 && chosen < std::ssize(kSaveFormats)) {
                dialog->setDefaultSuffix(kSaveFormats[chosen].Suffix);
            }
        });
        return dialog;
    };
    OpenDialog1.Create = [this] {
        return CreateFileDialog(
            this, "Open",
            "All Files (*.*)|*.*|Pascal (*.pas, *.~pa)|*.pas;*.~pa|Delphi Project (*.dpr, "
            "*.~dp)|*.dpr;*.~dp|INT Files|*.int|INC Files|*.inc|Rich Text Format (*.rtf)|*.rtf",
            QFileDialog::AcceptOpen);
    };

    ThreadComp1 = std::make_unique<TThreadComp>(guiThread_);
    startup_ = std::make_unique<TStartupConversion>(
        *SourceView1, *this, [this] { ThreadComp1->Command(TThreadCommand::tcTerminate); });
    ThreadComp1->OnExecute = [this](TThreadComp& sender) { ThreadComp1Execute(sender); };
    loader_ = std::make_unique<TFileLoader>(*this, *startup_, guiThread_);

    CreateCaption();

    // The window sees every key before the focused control does.
    QApplication::instance()->installEventFilter(this);
    ViewCommands = new TViewCommands(*this);
}

// The frame we draw ourselves, the window icon, and the gradient caption:
// company text in the caption font made bold italic, the application-name
// text hidden, the caption text in 8-point bold.
void TfrmMain::CreateCaption() {
    Frame = new TNonClientFrame(this);
    QIcon icon;
    for (const int size : {16, 32, 48, 256}) {
        icon.addFile(QString(":/icons/hicolor/%1x%1/apps/lumivane.png").arg(size));
    }
    setWindowIcon(icon);

    MSOfficeCaption1 = new ZEZUzavivAzuroze(this);
    MSOfficeCaption1->CompanyText()->SetCaption("qd's -");
    MSOfficeCaption1->CompanyText()->SetFontKind(fkSystemBI);
    QFont captionFont("MS Sans Serif");
    captionFont.setPixelSize(11);
    captionFont.setBold(true);
    QFont appNameFont = captionFont;
    appNameFont.setItalic(true);
    MSOfficeCaption1->AppNameText()->SetCaption("Program -");
    MSOfficeCaption1->AppNameText()->SetFont(appNameFont);
    MSOfficeCaption1->AppNameText()->SetVisible(false);
    MSOfficeCaption1->CaptionText()->SetCaption("Lumivane 98");
    MSOfficeCaption1->CaptionText()->SetFont(captionFont);
    MSOfficeCaption1->Loaded();
}

void TfrmMain::PlaceDock(TDockSide side, QWidget* dock) {
    switch (side) {
    case TDockSide::kTop:
        clientLayout_->addWidget(dock, 0, 0, 1, 3);
        break;
    case TDockSide::kLeft:
        clientLayout_->addWidget(dock, 1, 0);
        break;
    case TDockSide::kRight:
        clientLayout_->addWidget(dock, 1, 2);
        break;
    case TDockSide::kBottom:
        clientLayout_->addWidget(dock, 2, 0, 1, 3);
        break;
    }
}

// ---- placement ----

void TfrmMain::FormCreate() {
    ApplyStartupPlacement(*this);
}

void TfrmMain::SetPosition(Position position) {
    position_ = position;
    // Left to the window system: no position of our own.
    setAttribute(Qt::WA_Moved, position != Position::poDefault);
}

void TfrmMain::SetWindowState(State state) {
    Qt::WindowStates states =
        windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state == State::wsMaximized) {
        states |= Qt::WindowMaximized;
    } else if (state == State::wsMinimized) {
        states |= Qt::WindowMinimized;
    }
    setWindowState(states);
}

void TfrmMain::SetLeft(int left) {
    move(left, pos().y());
}
void TfrmMain::SetTop(int top) {
    move(pos().x(), top);
}
// Sizes are the window's own, without a frame the window system may add, so
// that a saved size comes back the same at the next start.
void TfrmMain::SetWidth(int width) {
    resize(LimitedSize(*this, QSize(width, height())));
}
void TfrmMain::SetHeight(int height) {
    resize(LimitedSize(*this, QSize(width(), height)));
}

int TfrmMain::Left() const {
    return Bounds(*this).left();
}
int TfrmMain::Top() const {
    return Bounds(*this).top();
}
int TfrmMain::Width() const {
    return Bounds(*this).width();
}
int TfrmMain::Height() const {
    return Bounds(*this).height();
}

// ---- window events ----

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        // A key travels from the focused control up to its parents; look at
        // it once, where it starts.
        QWidget* first = focusWidget() != nullptr ? focusWidget() : this;
        if (widget != nullptr && widget == first && widget->window() == this) {
            const auto* key = static_cast<QKeyEvent*>(event);
            // A key whose command waited in an event loop of its own (a dialog,
            // an open) can come round again from the window system once that
            // loop ends: the same key at the same moment is taken once.
            const bool again =
                key->timestamp() != 0 && key->timestamp() == lastKeyTime_ && key->key() == lastKey_;
            lastKeyTime_ = key->timestamp();
            lastKey_ = key->key();
            if (!again) {
                TApplication::Guarded([&] { FormKeyDown(key->key(), key->modifiers()); });
            }
        }
    }
    return QWidget::eventFilter(watched, event); // the key goes on to the control
}

void TfrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) {
        return;
    }
    shown_ = true;
    TApplication::Guarded([this] { FormShow(); });
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    TApplication::Guarded([this] { FormResize(); });
}

void TfrmMain::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    TApplication::Guarded([this] { FormPaint(); });
}

void TfrmMain::FormShow() {
    if (arguments_.empty()) {
        return;
    }
    SourceFileName = arguments_.front();
    // As typed, fitted to the width as every resize fits it.
    StatusBar->SetPanelText(
        0, PathToWidth(SourceFileName, StatusBar->font(), frameGeometry().width()));
    loader_->FollowStartupFile(SourceFileName);
    ThreadComp1->Command(TThreadCommand::tcRun);
}

void TfrmMain::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    const bool ctrlAlone =
        (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) ==
        Qt::ControlModifier;
    ViewCommands->KeyDown(key, modifiers);
    if (ctrlAlone && key == Qt::Key_C) {
        tbCopyClick();
    } else if (ctrlAlone && key == Qt::Key_F) {
        tbFindClick();
    } else if (ctrlAlone && key == Qt::Key_O) {
        tbOpenClick();
    } else if (ctrlAlone && key == Qt::Key_S) {
        tbSaveClick();
    } else if (key == Qt::Key_F3) {
        tbFindNextClick();
    } else if (key == Qt::Key_F5) {
        loader_->Reload();
    } else if (key == Qt::Key_Escape) {
        close();
    } else if (key == Qt::Key_F10 && modifiers == Qt::NoModifier) {
        tb97::ToggleKeyboardFocus(*Toolbar971, SourceView1); // the toolbar by keyboard
    }
}

void TfrmMain::FormResize() {
    // Against the outer width, frame included, as the window system reports
    // it; Width() leaves the frame out so that saved sizes come back the same.
    StatusBar->SetPanelText(
        0, PathToWidth(SourceFileName, StatusBar->font(), frameGeometry().width()));
}

void TfrmMain::FormPaint() {
    SetEditRect();
}

void TfrmMain::SetEditRect() {
    // Left, top, right and bottom are all 1.
    SourceView1->SetFormattingRect(QRect(QPoint(1, 1), QPoint(1, 1)));
}

// ---- commands ----

void TfrmMain::ClickMenuItem(QAction* item) {
    if (item->isEnabled()) {
        item->trigger();
    }
}

void TfrmMain::tbOpenClick() {
    OpenDialog1->selectFile(QString());
    if (!ExecuteFileDialog(*OpenDialog1)) {
        return;
    }
    const QStringList chosen = OpenDialog1->selectedFiles();
    if (chosen.isEmpty()) {
        return;
    }
    loader_->Open(EncodeName(chosen.front()));
}

void TfrmMain::tbSaveClick() {
    if (!ExecuteFileDialog(*SaveDialog1)) {
        return;
    }
    const QStringList chosen = SaveDialog1->selectedFiles();
    if (!chosen.isEmpty()) {
        const std::string fileName = EncodeName(chosen.front());
        const auto filter = SaveFormatIndex(*SaveDialog1, SaveDialog1->selectedNameFilter());
        const TSaveFormat format = SaveFormatFor(fileName, filter);
        if (format == TSaveFormat::Pdf) {
            ViewCommands->SaveAsPdf(fileName);
        } else {
            SourceView1->SaveToFile(fileName, format);
        }
    }
}

void TfrmMain::tbFindClick() {
    ClickMenuItem(miFind);
}
void TfrmMain::tbFindNextClick() {
    ClickMenuItem(miFindNext);
}
void TfrmMain::tbCopyClick() {
    ClickMenuItem(miCopy);
}

void TfrmMain::miCopyClick() {
    if (!SourceView1->SelText().isEmpty()) {
        SourceView1->CopyToClipboard();
    }
}

void TfrmMain::miExitClick() {
    close();
}

// ---- search ----

void TfrmMain::miFindClick() {
    const QString selected = SourceView1->SelText();
    if (!selected.isEmpty()) {
        FindDialog1->SetFindText(selected);
    }
    FindDialog1->Execute();
}

void TfrmMain::SearchOnce() {
    const QString text = FindDialog1->FindText();
    // From just after the selection start: a match right at the caret is skipped.
    const int start = SourceView1->SelStart() + 1;
    const int found = SourceView1->FindText(text, start, SourceView1->TextLength(),
                                            FindDialog1->MatchCase(), FindDialog1->WholeWord());
    if (found >= 0) {
        SourceView1->SetSelStart(found);
        SourceView1->SetSelLength(static_cast<int>(text.length()));
    } else {
        ShowMessage(QMessageBox::Information, "Searchstring \"" + text + "\" not found");
    }
}

void TfrmMain::FindDialog1Find() {
    SearchOnce();
    SetFindNextEnabled(!FindDialog1->FindText().isEmpty());
}

void TfrmMain::miFindNextClick() {
    SearchOnce();
}

void TfrmMain::SetFindNextEnabled(bool enabled) {
    miFindNext->setEnabled(enabled);
    tbFindNext->setEnabled(enabled);
}

// ---- the start-up conversion, on the runner's worker ----

void TfrmMain::ThreadComp1Execute(TThreadComp&) {
    // The name FormShow put into SourceFileName. Taken from the arguments,
    // which never change: an open command may already have moved
    // SourceFileName on to its own file.
    startup_->Execute(arguments_.front());
}

// ---- docks and toolbar ----

void TfrmMain::CreateToolbars() {
    Dock971 = new TDock97(this, dpTop);
    Dock972 = new TDock97(this, dpLeft);
    Dock973 = new TDock97(this, dpRight);
    Dock974 = new TDock97(this, dpBottom);
    PlaceDock(TDockSide::kTop, Dock971);
    PlaceDock(TDockSide::kLeft, Dock972);
    PlaceDock(TDockSide::kRight, Dock973);
    PlaceDock(TDockSide::kBottom, Dock974);

    Toolbar971 = new TToolbar97(this);
    Toolbar971->SetCaption("Lumivane98");
    Toolbar971->SetShowHint(true);
    Toolbar971->SetDefaultDock(Dock971);
    auto button = [this](int left, const char* glyph, const char* hint,
                         void (TfrmMain::*handler)()) {
        auto* created = new TToolbarButton97(Toolbar971);
        created->setGeometry(left, 2, 22, 22);
        created->SetGlyph(ToolbarGlyph(glyph));
        created->setToolTip(hint);
        created->OnClick = [this, handler] { TApplication::Guarded([&] { (this->*handler)(); }); };
        return created;
    };
    auto separator = [this](int left, bool blank) {
        auto* created = new TToolbarSep97(Toolbar971);
        created->setGeometry(left, 2, 6, 22);
        created->SetBlank(blank);
    };
    tbOpen = button(11, "tbOpen", "Open (Ctrl + O)", &TfrmMain::tbOpenClick);
    separator(33, true);
    tbSave = button(39, "tbSave", "Save as RTF (Ctrl + S)", &TfrmMain::tbSaveClick);
    separator(61, false);
    tbFind = button(67, "tbFind", "Find (Ctrl + F)", &TfrmMain::tbFindClick);
    separator(89, true);
    tbFindNext = button(95, "tbFindNext", "Find next (F3)", &TfrmMain::tbFindNextClick);
    tbFindNext->setEnabled(false);
    separator(117, true);
    tbCopy = button(123, "tbCopy", "Copy (Ctrl + C)", &TfrmMain::tbCopyClick);
    separator(145, false);
    tbSetup = button(151, "tbSetup", "Setup", &TfrmMain::tbSetupClick);
    separator(173, false);
    ebAbout = new TExplorerButton(Toolbar971);
    ebAbout->setGeometry(179, 2, 22, 22);
    ebAbout->SetBitmap(ToolbarGlyph("ebAbout"));
    ebAbout->SetNoFocusBitmap(ToolbarGlyph("ebAboutNoFocus"));
    ebAbout->SetHint("About");
    ebAbout->SetShowHint(true);
    ebAbout->OnClick = [this] { TApplication::Guarded([this] { ebAboutClick(); }); };
    Toolbar971->Loaded();
    Toolbar971->SetDockPos(0);
    Toolbar971->SetDockedTo(Dock971);
}

void TfrmMain::tbSetupClick() {
    // Modal, owned by no window, destroyed when it closes; nothing is
    // converted again: new colours show at the next conversion, which loads them.
    TfrmSetup setup(*this, &TApplication::ReportCurrentException);
    setup.ShowMessage = ShowMessage;
    setup.exec();
}

void TfrmMain::ebAboutClick() {
    TqdAboutBox box(this);
    box.exec();
}
