#include "settings/AboutAccessible.h"

#include "platform/qt/AccessibleFactory.h"
#include "settings/About.h"

#include <QMetaObject>
#include <QPointer>

QAccessibleInterface* LinkLabelAccessible(const QString& className, QObject* object) {
    return platform::AccessibleFor<TLinkLabel, TLinkLabelAccessible>(className, object);
}

TLinkLabelAccessible::TLinkLabelAccessible(TLinkLabel* label)
    : QAccessibleWidget(label, QAccessible::Link) {}

TLinkLabel* TLinkLabelAccessible::Label() const {
    return static_cast<TLinkLabel*>(widget());
}

QString TLinkLabelAccessible::text(QAccessible::Text t) const {
    switch (t) {
    case QAccessible::Name:
        return Label()->text();
    case QAccessible::Description:
    case QAccessible::Value:
        return Label()->Target;
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State TLinkLabelAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.linked = true;
    state.traversed = false;
    return state;
}

QStringList TLinkLabelAccessible::actionNames() const {
    return {pressAction(), setFocusAction()};
}

void TLinkLabelAccessible::doAction(const QString& actionName) {
    QPointer<TLinkLabel> label = Label();
    if (actionName == setFocusAction()) {
        label->setFocus(Qt::TabFocusReason);
        return;
    }
    if (actionName != pressAction()) {
        return;
    }
    // After the caller has returned: following a link starts another program.
    QMetaObject::invokeMethod(
        label,
        [label] {
            if (label) {
                emit label->Click();
            }
        },
        Qt::QueuedConnection);
}
