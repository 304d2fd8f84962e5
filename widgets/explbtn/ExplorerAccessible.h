#pragma once
// How assistive technology reads an explorer button: a push button named by
// its caption without the accelerator mark, or by its hint when it shows no
// caption, with a press action.

#include <QAccessibleWidget>

class QObject;
class QString;
class TExplorerButton;

// The interface for OBJECT when CLASSNAME is TExplorerButton; null otherwise.
QAccessibleInterface* ExplorerButtonAccessible(const QString& className, QObject* object);

class TExplorerButtonAccessible : public QAccessibleWidget {
public:
    explicit TExplorerButtonAccessible(TExplorerButton* button);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    TExplorerButton* Button() const;
};
