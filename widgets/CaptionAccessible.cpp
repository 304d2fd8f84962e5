#include "widgets/CaptionAccessible.h"

#include "platform/qt/VirtualButtonAccessible.h"

#include <QPointer>
#include <QWidget>

namespace {

QString ButtonName(const QWidget* form, TCaptionButton button) {
    switch (button) {
    case cbMinimize:
        return QStringLiteral("Minimize");
    case cbMaximize:
        return form->isMaximized() ? QStringLiteral("Restore") : QStringLiteral("Maximize");
    case cbHelp:
        return QStringLiteral("Help");
    case cbClose:
    default:
        return QStringLiteral("Close");
    }
}

// A left click in the middle of the button, as the mouse would give it.
void ClickButton(QWidget* form, TCaptionButton button) {
    const QRect where = CaptionButtonScreenRect(form, button);
    if (where.isEmpty()) {
        return;
    }
    const QPoint global = where.center();
    const QPointF local = form->mapFromGlobal(global);
    platform::SendLeftClick(form, local, global);
}

} // namespace

QAccessibleInterface* FramedWindowAccessible(QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    auto* form = static_cast<QWidget*>(object);
    if (!form->isWindow() || TNonClientFrame::Of(form) == nullptr) {
        return nullptr;
    }
    return new TFramedWindowAccessible(form);
}

// The one place that asks the frame where its buttons are.
QRect CaptionButtonScreenRect(const QWidget* form, TCaptionButton button) {
    const TNonClientFrame* frame = TNonClientFrame::Of(form);
    if (frame == nullptr || (frame->CaptionButtons() & button) == 0 || form->isMinimized()) {
        return {};
    }
    const QRect r = CaptionButtonRect(frame->CaptionRect(), frame->CaptionButtonWidth(),
                                      frame->CaptionButtons(), button)
                        .ToQRect();
    return r.isEmpty() ? QRect() : QRect(form->mapToGlobal(r.topLeft()), r.size());
}

std::vector<TCaptionButton> CaptionButtonsShown(const QWidget* form) {
    std::vector<TCaptionButton> shown;
    const TNonClientFrame* frame = TNonClientFrame::Of(form);
    if (frame == nullptr) {
        return shown;
    }
    for (const TCaptionButton button : {cbHelp, cbMinimize, cbMaximize, cbClose}) {
        if ((frame->CaptionButtons() & button) != 0) {
            shown.push_back(button);
        }
    }
    return shown;
}

TFramedWindowAccessible::TFramedWindowAccessible(QWidget* form)
    : QAccessibleWidget(form, QAccessible::Window) {}

TFramedWindowAccessible::~TFramedWindowAccessible() {
    for (const auto& [button, id] : buttons_) {
        platform::ReleaseVirtualChild(id);
    }
}

QString TFramedWindowAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name) {
        return widget()->windowTitle();
    }
    return QAccessibleWidget::text(t);
}

QAccessibleInterface* TFramedWindowAccessible::ButtonInterface(TCaptionButton button) const {
    auto found = buttons_.find(button);
    if (found == buttons_.end()) {
        QPointer<QWidget> form = widget();
        platform::TVirtualButton made;
        made.Name = [form, button] { return form ? ButtonName(form, button) : QString(); };
        made.ScreenRect = [form, button] {
            return form ? CaptionButtonScreenRect(form, button) : QRect();
        };
        made.Press = [form, button] {
            if (form) {
                ClickButton(form, button);
            }
        };
        made.Pressed = [form, button] {
            const TNonClientFrame* frame = form ? TNonClientFrame::Of(form) : nullptr;
            if (frame == nullptr) {
                return false;
            }
            const int code = button == cbClose      ? HTCLOSE
                             : button == cbMinimize ? HTMINBUTTON
                             : button == cbMaximize ? HTMAXBUTTON
                                                    : HTHELP;
            return frame->PressedButton() == code;
        };
        const QAccessible::Id id = platform::MakeVirtualButton(
            widget(), const_cast<TFramedWindowAccessible*>(this), std::move(made));
        found = buttons_.emplace(button, id).first;
    }
    return QAccessible::accessibleInterface(found->second);
}

int TFramedWindowAccessible::childCount() const {
    return QAccessibleWidget::childCount() + static_cast<int>(CaptionButtonsShown(widget()).size());
}

QAccessibleInterface* TFramedWindowAccessible::child(int index) const {
    const int widgets = QAccessibleWidget::childCount();
    if (index < widgets) {
        return QAccessibleWidget::child(index);
    }
    const std::vector<TCaptionButton> shown = CaptionButtonsShown(widget());
    const auto at = static_cast<size_t>(index - widgets);
    return at < shown.size() ? ButtonInterface(shown[at]) : nullptr;
}

int TFramedWindowAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const std::vector<TCaptionButton> shown = CaptionButtonsShown(widget());
    for (size_t i = 0; i < shown.size(); ++i) {
        const auto found = buttons_.find(shown[i]);
        if (found != buttons_.end() && QAccessible::accessibleInterface(found->second) == child) {
            return QAccessibleWidget::childCount() + static_cast<int>(i);
        }
    }
    return QAccessibleWidget::indexOfChild(child);
}

QAccessibleInterface* TFramedWindowAccessible::childAt(int x, int y) const {
    for (const TCaptionButton button : CaptionButtonsShown(widget())) {
        if (CaptionButtonScreenRect(widget(), button).contains(x, y)) {
            return ButtonInterface(button);
        }
    }
    return QAccessibleWidget::childAt(x, y);
}
