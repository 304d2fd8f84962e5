#include "widgets/TB97/FloatParent.h"

#include "widgets/TB97/Toolbar97.h"

#include <QEvent>
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

TFormHook::TFormHook(QWidget* form) : QObject(nullptr), form_(form) {
    form->installEventFilter(this);
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
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange:
            for (TToolbar97* bar : bars_) {
                bar->UpdateFloatingVisibility();
            }
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tb97
