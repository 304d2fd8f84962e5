#include "viewer/FileLoader.h"

#include "viewer/Application.h"
#include "viewer/DocumentLoad.h"
#include "viewer/Main.h"
#include "viewer/RichEdit.h"
#include "viewer/StartupConversion.h"
#include "viewer/StatusIndicator.h"
#include "viewer/qdStatusBar.h"
#include "viewer/text/PathRoutines.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace {

// Where the reader is in the view: kept across a reload.
struct TViewPlace {
    std::size_t CaretLine = 0;
    std::uint32_t Column = 0;
    int TopLine = 0;
    int Left = 0;
};

TViewPlace PlaceIn(const TRichEdit& view) {
    const TLineIndex& lines = view.Document().Lines;
    const auto caret = static_cast<std::uint32_t>(view.CaretPosition());
    const std::size_t line = lines.LineOf(caret);
    return {line, caret - lines.Start(line), view.TopLine(), view.horizontalScrollBar()->value()};
}

// The same line, or the last one when the file has become shorter; the same
// column, or the line's end when the line has.
void MoveTo(TRichEdit& view, const TViewPlace& place) {
    const TLineIndex& lines = view.Document().Lines;
    const std::size_t line = std::min(place.CaretLine, lines.Count() - 1);
    const std::uint32_t length = lines.End(line) - lines.Start(line);
    view.SetSelStart(static_cast<int>(lines.Start(line) + std::min(place.Column, length)));
    view.verticalScrollBar()->setValue(place.TopLine);
    view.horizontalScrollBar()->setValue(place.Left);
}

// The first local file among what is dragged, or an empty name.
std::string FirstLocalFile(const QMimeData* data) {
    if (data == nullptr) {
        return {};
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            return QFile::encodeName(url.toLocalFile()).toStdString();
        }
    }
    return {};
}

} // namespace

TFileLoader::TFileLoader(TfrmMain& form, TStartupConversion& startup, TGuiThread& gui)
    : form_(form), startup_(startup), indicator_(new TStatusIndicator(*form.StatusBar)),
      runner_(form, gui, *indicator_) {
    watch_.OnChanged = [this] { FileChanged(); };
    watch_.OnPresence = [this](bool present) {
        indicator_->SetNote(present ? QString() : QString(kGoneNote));
    };
    startup_.OnSettled = [this](bool shown) { StartupSettled(shown); };
    form_.setAcceptDrops(true);
    form_.installEventFilter(this);
}

TFileLoader::~TFileLoader() = default;

bool TFileLoader::Busy() const {
    return runner_.Busy() || startup_.Busy();
}

void TFileLoader::Open(const std::string& fileName) {
    Load(fileName, false);
}

void TFileLoader::Reload() {
    if (SourceFileName.empty() || Busy()) {
        return;
    }
    Load(SourceFileName, true);
}

void TFileLoader::FollowStartupFile(const std::string& fileName) {
    watch_.Follow(fileName, TFileWatch::StampOf(fileName));
}

void TFileLoader::Load(const std::string& fileName, bool keepPlace) {
    if (runner_.Busy()) {
        return; // one at a time; the window takes no command meanwhile
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    const auto reloadSeenChange = qScopeGuard([this] { ReloadSeenChange(); });
    RefuseSpecialFile(fileName);
    const TLoadRoute route = RouteOf(fileName, TFileOrigin::kOpenCommand);
    // Taken before the file is read: a change while it loads is seen afterwards.
    const TFileWatch::TStamp stamp = TFileWatch::StampOf(fileName);
    TRichEdit& view = *form_.SourceView1;
    auto document = runner_.Load(fileName, route, view.logicalDpiX());
    if (!document) {
        return; // the window closed meanwhile
    }
    const TViewPlace place = PlaceIn(view);
    view.AdoptDocument(std::move(document));
    if (keepPlace) {
        MoveTo(view, place);
    }
    SourceFileName = fileName;
    form_.StatusBar->SetPanelText(
        0, QFile::decodeName(QByteArray::fromStdString(ExpandLongPath(fileName))));
    // The opened file wins over a start-up conversion still under way.
    startup_.Supersede();
    watch_.Follow(fileName, stamp);
    indicator_->SetNote(QString());
}

void TFileLoader::FileChanged() {
    if (Busy()) {
        changedWhileBusy_ = watch_.FileName();
        return;
    }
    if (!watch_.FileName().empty() && watch_.FileName() == SourceFileName) {
        // As the open command reports: a file now unreadable keeps the view.
        TApplication::Guarded([this] { Reload(); });
    }
}

void TFileLoader::StartupSettled(bool shown) {
    if (!shown) {
        // Nothing of the file is on show: there is nothing to follow.
        if (startup_.State() != TStartupConversion::TState::kSuperseded) {
            watch_.Stop();
        }
        changedWhileBusy_.clear();
        return;
    }
    ReloadSeenChange();
}

// Later, from the event loop: the load that saw the change has still to
// unwind, and may be inside an event handler.
void TFileLoader::ReloadSeenChange() {
    if (changedWhileBusy_.empty()) {
        return;
    }
    QTimer::singleShot(0, this, [this] {
        if (Busy() || changedWhileBusy_.empty()) {
            return;
        }
        const bool current = changedWhileBusy_ == SourceFileName;
        changedWhileBusy_.clear();
        if (current) {
            TApplication::Guarded([this] { Reload(); });
        }
    });
}

bool TFileLoader::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &form_) {
        return false;
    }
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!FirstLocalFile(drag->mimeData()).empty()) {
            drag->acceptProposedAction();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::string fileName = FirstLocalFile(drop->mimeData());
        if (fileName.empty()) {
            return false;
        }
        drop->acceptProposedAction();
        // After the drop has been answered: the dragging program waits for that.
        QTimer::singleShot(0, this,
                           [this, fileName] { TApplication::Guarded([&] { Open(fileName); }); });
        return true;
    }
    return false;
}
