#include "viewer/Accessibility.h"

#include "settings/AboutAccessible.h"
#include "settings/ColorGrdAccessible.h"
#include "viewer/Main.h"
#include "viewer/RichEdit.h"
#include "viewer/SourceViewAccessible.h"
#include "viewer/qdStatusBar.h"
#include "widgets/CaptionAccessible.h"
#include "widgets/TB97/ToolbarAccessible.h"
#include "widgets/explbtn/ExplorerAccessible.h"

#include <QAccessible>
#include <QFile>

namespace {

// The main window's view is named after the file it shows.
class TMainViewAccessible : public viewer::TSourceViewAccessible {
public:
    using TSourceViewAccessible::text;
    using TSourceViewAccessible::TSourceViewAccessible;

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty() || frmMain == nullptr ||
            frmMain->SourceView1 != widget()) {
            return TSourceViewAccessible::text(t);
        }
        const QString path = QFile::decodeName(QByteArray::fromStdString(SourceFileName));
        const qsizetype slash =
            std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
        const QString name = path.mid(slash + 1);
        return name.isEmpty() ? widget()->window()->windowTitle() : name;
    }
};

} // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(LumivaneAccessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

QAccessibleInterface* LumivaneAccessibleFactory(const QString& className, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    if (className == QLatin1String("TRichEdit")) {
        return new TMainViewAccessible(static_cast<TRichEdit*>(object));
    }
    if (className == QLatin1String("TqdStatusBar98")) {
        return new TStatusBarAccessible(static_cast<TqdStatusBar98*>(object));
    }
    if (className == QLatin1String(object->metaObject()->className())) {
        // Asked once per object, with its own class: a window with its own frame.
        if (QAccessibleInterface* framed = FramedWindowAccessible(object)) {
            return framed;
        }
    }
    if (QAccessibleInterface* found = tb97::ToolbarAccessible(className, object)) {
        return found;
    }
    if (QAccessibleInterface* found = ExplorerButtonAccessible(className, object)) {
        return found;
    }
    if (QAccessibleInterface* found = ColorGridAccessible(className, object)) {
        return found;
    }
    return LinkLabelAccessible(className, object);
}

TStatusBarAccessible::TStatusBarAccessible(TqdStatusBar98* bar)
    : QAccessibleWidget(bar, QAccessible::StatusBar) {}

QString TStatusBarAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name || t == QAccessible::Value) {
        return static_cast<const TqdStatusBar98*>(widget())->ShownText();
    }
    return QAccessibleWidget::text(t);
}
