#pragma once
// The program's one accessibility factory: every widget class of its own
// answers assistive technology through its interface (the view, the status
// bar, the window frame and its caption buttons, docks, toolbars and their
// buttons, the explorer buttons, the colour grid, the about box's links).

#include <QAccessibleWidget>
#include <QString>

class QObject;
class TqdStatusBar98;

// Installs the factory. Idempotent.
void InstallAccessibility();

// The factory itself: an interface for OBJECT of class CLASSNAME, or null
// to leave it to Qt's own.
QAccessibleInterface* LumivaneAccessibleFactory(const QString& className, QObject* object);

// The status bar: a status bar named by the text it shows.
class TStatusBarAccessible : public QAccessibleWidget {
public:
    explicit TStatusBarAccessible(TqdStatusBar98* bar);
    QString text(QAccessible::Text t) const override;
};
