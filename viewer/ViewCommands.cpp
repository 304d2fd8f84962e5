#include "viewer/ViewCommands.h"

#include "viewer/Application.h"
#include "viewer/GoToLineDialog.h"
#include "viewer/Main.h"
#include "viewer/PrintJob.h"
#include "viewer/RichEdit.h"
#include "viewer/ViewSettings.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>

TViewCommands::TViewCommands(TfrmMain& window)
    : QObject(&window), window_(window), blocker_(new TInputBlocker(this)) {
    QMenu* menu = window.pm1;
    miSeparator = menu->addSeparator();
    miPrint = menu->addAction("Print...");
    miGoToLine = menu->addAction("Go to line...");
    miLineNumbers = menu->addAction("Line numbers");
    miLineNumbers->setCheckable(true);
    connect(miPrint, &QAction::triggered, this,
            [this] { TApplication::Guarded([this] { Print(); }); });
    connect(miGoToLine, &QAction::triggered, this,
            [this] { TApplication::Guarded([this] { GoToLine(); }); });
    connect(miLineNumbers, &QAction::toggled, this,
            [this](bool shown) { TApplication::Guarded([&] { SetLineNumbers(shown); }); });

    ExecutePrintDialog = [](QPrintDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
    ExecuteGoToDialog = [](TGoToLineDialog& dialog) { return dialog.exec() == QDialog::Accepted; };

    RestoreSettings();
    connect(window.SourceView1, &TRichEdit::ZoomChanged, this,
            [](int percent) { TApplication::Guarded([&] { WriteZoom(percent); }); });
}

void TViewCommands::RestoreSettings() {
    // Each on its own: a bad zoom value does not cost the line numbers.
    TApplication::Guarded([this] { window_.SourceView1->SetZoom(ReadZoom()); });
    TApplication::Guarded([this] {
        const QSignalBlocker quiet(miLineNumbers); // restoring writes nothing back
        miLineNumbers->setChecked(ReadLineNumbers());
        window_.SourceView1->SetLineNumbers(miLineNumbers->isChecked());
    });
}

void TViewCommands::KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers mods =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool ctrlAlone = mods == Qt::ControlModifier;
    // Plus sits on a shifted key on many keyboards.
    const bool ctrlMaybeShift = (mods & ~Qt::ShiftModifier) == Qt::ControlModifier;
    if (ctrlAlone && key == Qt::Key_P) {
        Print();
    } else if (ctrlAlone && key == Qt::Key_G) {
        GoToLine();
    } else if ((ctrlMaybeShift && key == Qt::Key_Plus) || (ctrlAlone && key == Qt::Key_Equal)) {
        ZoomIn();
    } else if (ctrlAlone && key == Qt::Key_Minus) {
        ZoomOut();
    } else if (ctrlAlone && key == Qt::Key_0) {
        ZoomReset();
    }
}

void TViewCommands::ZoomIn() {
    window_.SourceView1->SetZoom(ZoomStepIn(window_.SourceView1->Zoom()));
}
void TViewCommands::ZoomOut() {
    window_.SourceView1->SetZoom(ZoomStepOut(window_.SourceView1->Zoom()));
}
void TViewCommands::ZoomReset() {
    window_.SourceView1->SetZoom(kNormalZoom);
}

void TViewCommands::SetLineNumbers(bool shown) {
    if (miLineNumbers->isChecked() != shown) {
        miLineNumbers->setChecked(shown); // comes back here through the item
        return;
    }
    window_.SourceView1->SetLineNumbers(shown);
    WriteLineNumbers(shown);
}

void TViewCommands::GoToLine() {
    TGoToLineDialog dialog(&window_, window_.SourceView1->LineCount());
    if (ExecuteGoToDialog(dialog)) {
        window_.SourceView1->GoToLine(dialog.Line() - 1);
    }
}

TPrintSource TViewCommands::Source(bool selectionOnly) const {
    const TRichEdit& view = *window_.SourceView1;
    TPrintSource source;
    source.Document = view.SharedDocument();
    source.From = 0;
    source.To = static_cast<std::uint32_t>(view.TextLength());
    if (selectionOnly && view.SelLength() > 0) {
        source.From = static_cast<std::uint32_t>(view.SelStart());
        source.To = static_cast<std::uint32_t>(view.SelStart() + view.SelLength());
    }
    source.Title = SourceFileName.empty()
                       ? QString()
                       : QFileInfo(QFile::decodeName(QByteArray::fromStdString(SourceFileName)))
                             .absoluteFilePath();
    source.Text = view.palette().color(QPalette::Text);
    source.Background = view.palette().color(QPalette::Base);
    return source;
}

void TViewCommands::Print() {
    QPrinter printer(QPrinter::HighResolution);
    const TPrintSource whole = Source(false);
    printer.setDocName(whole.Title.isEmpty() ? QString("Lumivane 98") : whole.Title);
    QPrintDialog dialog(&printer, &window_);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, window_.SourceView1->SelLength() > 0);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (!ExecutePrintDialog(dialog)) {
        return;
    }
    PrintPages(&window_, Source(printer.printRange() == QPrinter::Selection), printer, blocker_);
}

void TViewCommands::SaveAsPdf(const std::string& fileName) {
    const QString name = QFile::decodeName(QByteArray::fromStdString(fileName));
    ExportPdf(&window_, Source(false), name, blocker_);
}
