#include "viewer/PrintJob.h"

#include "viewer/PageRenderer.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProgressDialog>
#include <QSaveFile>
#include <QScopeGuard>
#include <algorithm>
#include <climits>

namespace {

// A slice of work between two turns of the event loop: short enough that
// the windows answer at once.
constexpr int kSliceMs = 15;
// The progress dialog shows only when the work takes longer than this.
constexpr int kProgressDelayMs = 400;
constexpr int kProgressSteps = 1000;
constexpr qreal kPdfMarginMm = 15;
constexpr int kPdfResolution = 1200;

// Lays out and paints RENDERER's pages FIRST..LAST (from 0, clamped to the
// pages there are) with PAINTER on DEVICE. False when the user cancelled.
bool RunPages(QWidget* owner, TInputBlocker* blocker, const QString& label,
              viewer::TPageRenderer& renderer, QPagedPaintDevice& device, QPainter& painter,
              int first, int last) {
    QProgressDialog progress(label, "Cancel", 0, kProgressSteps, owner);
    progress.setWindowTitle(QApplication::applicationDisplayName());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(kProgressDelayMs);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    if (blocker != nullptr) {
        blocker->Allow(&progress);
    }
    const auto unblock = qScopeGuard([blocker] {
        if (blocker != nullptr) {
            blocker->Allow(nullptr);
        }
    });
    auto turn = [&](double share) {
        progress.setValue(static_cast<int>(share * kProgressSteps));
        QApplication::processEvents();
        return !progress.wasCanceled();
    };
    // Laying out comes first, as the header needs the number of pages.
    while (!renderer.Paginate(QDeadlineTimer(kSliceMs))) {
        if (!turn(renderer.PaginationShare() / 4)) {
            return false;
        }
    }
    first = std::clamp(first, 0, renderer.PageCount() - 1);
    last = std::clamp(last, first, renderer.PageCount() - 1);
    QDeadlineTimer slice(kSliceMs);
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) {
            throw EPrintError("The page could not be started.");
        }
        renderer.PaintPage(painter, page);
        if (slice.hasExpired()) {
            if (!turn(0.25 + 0.75 * (page - first + 1) / (last - first + 1))) {
                return false;
            }
            slice = QDeadlineTimer(kSliceMs);
        }
    }
    return true;
}

viewer::TPageRenderer MakeRenderer(const TPrintSource& source) {
    return viewer::TPageRenderer(source.Document, source.From, source.To, source.Title, source.Text,
                                 source.Background);
}

// Why printing to FILENAME cannot start, as far as the file system tells.
QString OutputFileProblem(const QString& fileName) {
    const QFileInfo folder(QFileInfo(fileName).absolutePath());
    if (!folder.isDir()) {
        return "The folder \"" + folder.filePath() + "\" does not exist.";
    }
    if (!folder.isWritable()) {
        return "Permission denied in \"" + folder.filePath() + "\".";
    }
    return {};
}

} // namespace

TInputBlocker::TInputBlocker(QObject* parent) : QObject(parent) {
    QApplication::instance()->installEventFilter(this);
}

TInputBlocker::~TInputBlocker() {
    QApplication::instance()->removeEventFilter(this);
}

bool TInputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (allowed_.isNull()) {
        return false;
    }
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Drop:
    case QEvent::Close: {
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget != nullptr && widget->window() != allowed_;
    }
    default:
        return false;
    }
}

bool ExportPdf(QWidget* owner, const TPrintSource& source, const QString& fileName,
               TInputBlocker* blocker) {
    const std::string name = fileName.toStdString();
    // Written beside the target and renamed over it, so a failure leaves the old file.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        throw EPrintError("Cannot create file \"" + name + "\". " +
                          file.errorString().toStdString());
    }
    bool finished = false;
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setTitle(source.Title);
        writer.setCreator(QApplication::applicationDisplayName());
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                              QPageLayout::Millimeter);
        viewer::TPageRenderer renderer = MakeRenderer(source);
        renderer.Begin(writer);
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            throw EPrintError("Cannot write file \"" + name + "\". " +
                              file.errorString().toStdString());
        }
        finished = RunPages(owner, blocker, "Writing the PDF document...", renderer, writer,
                            painter, 0, INT_MAX);
        painter.end();
    }
    if (!finished) {
        file.cancelWriting();
        return false;
    }
    if (file.error() != QFileDevice::NoError || !file.commit()) {
        throw EPrintError("Cannot write file \"" + name + "\". " +
                          file.errorString().toStdString());
    }
    return true;
}

bool PrintPages(QWidget* owner, const TPrintSource& source, QPrinter& printer,
                TInputBlocker* blocker) {
    const QString output = printer.outputFileName();
    const bool fileExisted = !output.isEmpty() && QFileInfo::exists(output);
    // Nothing half-written stays behind: a print to a new file goes again.
    auto discard = [&] {
        if (!output.isEmpty() && !fileExisted) {
            QFile::remove(output);
        }
    };
    viewer::TPageRenderer renderer = MakeRenderer(source);
    renderer.Begin(printer);
    QPainter painter;
    if (!painter.begin(&printer)) {
        const QString problem = output.isEmpty() ? QString() : OutputFileProblem(output);
        const QString where = output.isEmpty() ? printer.printerName() : output;
        throw EPrintError(("Cannot print to \"" + where + "\". " +
                           (problem.isEmpty() ? "The printer did not start printing." : problem))
                              .toStdString());
    }
    int first = 0;
    int last = INT_MAX;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage() - 1;
        last = std::max(printer.toPage(), printer.fromPage()) - 1;
    }
    bool finished = false;
    try {
        finished = RunPages(owner, blocker, "Printing...", renderer, printer, painter, first, last);
    } catch (...) {
        printer.abort();
        painter.end();
        discard();
        throw;
    }
    if (!finished) {
        printer.abort();
        painter.end();
        discard();
        return false;
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        discard();
        throw EPrintError("Printing on \"" + printer.printerName().toStdString() +
                          "\" failed: the printer reported an error.");
    }
    return true;
}
