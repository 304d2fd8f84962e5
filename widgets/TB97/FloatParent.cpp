#include "widgets/TB97/FloatParent.h"

#include "platform/qt/NonClientFrame.h"
#include "widgets/TB97/Toolbar97.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <algorithm>
#include <map>

namespace {

std::map<const QWidget*, tb97::TFormHook*>& Hooks() {
    static std::map<const QWidget*, tb97::TFormHook*> hooks;
    return hooks;
}

} // namespace

TFloatParent::TFloatParent(QWidget* form) : QWidget(form) {
    setObjectName("FloatParent");
    resize(0, 0);
    hide();
}

namespace tb97 {

TFormHook::TFormHook(QWidget* form)
    : QObject(nullptr), form_(form),
      appActive_(QGuiApplication::applicationState() == Qt::ApplicationActive) {
    form->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                appActive_ = state == Qt::ApplicationActive;
                UpdateBars();
            });
}

void TFormHook::UpdateBars() {
    for (TToolbar97* bar : bars_) {
        bar->UpdateFloatingVisibility();
    }
}

bool TFormHook::FloatingBarActive() const {
    QWidget* active = QApplication::activeWindow();
    return std::any_of(bars_.begin(), bars_.end(), [active](TToolbar97* bar) {
        return bar == active && bar->DockedTo() == nullptr;
    });
}

TFormHook* TFormHook::Acquire(QWidget* form, TToolbar97* bar) {
    TFormHook*& hook = Hooks()[form];
    if (hook == nullptr) {
        hook = new TFormHook(form);
    }
    hook->bars_.push_back(bar);
    return hook;
}

void TFormHook::Release(TToolbar97* bar) {
    bars_.erase(std::remove(bars_.begin(), bars_.end(), bar), bars_.end());
    if (bars_.empty()) {
        Hooks().erase(form_);
        form_->removeEventFilter(this);
        delete this;
    }
}

int TFormHook::HolderCount(const QWidget* form) {
    const auto found = Hooks().find(form);
    return found == Hooks().end() ? 0 : static_cast<int>(found->second->bars_.size());
}

bool TFormHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched == form_) {
        if (event->type() == TNcActivateEvent::EventType()) {
            // Losing activation to one of our floating toolbars does not
            // make the form's caption inactive.
            if (!static_cast<TNcActivateEvent*>(event)->Active() && FloatingBarActive()) {
                TNcActivateEvent active(true);
                QCoreApplication::sendEvent(form_, &active);
                return true;
            }
            return false;
        }
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange:
            UpdateBars();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tb97
