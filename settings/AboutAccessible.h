#pragma once
// How assistive technology reads the about box's links: links named by
// their text, with where they lead as description and a press action that
// follows them.

#include <QAccessibleWidget>

class QObject;
class QString;
class TLinkLabel;

// The interface for OBJECT when CLASSNAME is TLinkLabel; null otherwise.
QAccessibleInterface* LinkLabelAccessible(const QString& className, QObject* object);

class TLinkLabelAccessible : public QAccessibleWidget {
public:
    explicit TLinkLabelAccessible(TLinkLabel* label);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    TLinkLabel* Label() const;
};
