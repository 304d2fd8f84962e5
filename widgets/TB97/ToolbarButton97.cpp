#include "widgets/TB97/ToolbarButton97.h"

#include "platform/qt/DitherPattern.h"
#include "platform/qt/QtColor.h"
#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/TB97Common.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/WidgetProperty.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QTimer>

namespace {

constexpr int kTrackInterval = 125; // ms between checks that the hot button still has the mouse

// State shared by every button.
QPointer<TToolbarButton97> HotButtonRef;
int ButtonCount = 0;

} // namespace

TToolbarButton97::TToolbarButton97(QWidget* parent) : QWidget(parent), FColor(clBtnFace) {
    resize(22, 23);
    setMouseTracking(true);
    FGlyph.OnChange = [this] { GlyphChanged(); };
    UpdateOpaque();
    ++ButtonCount;
    SharedTimer(); // the tracking timer and the deactivation hook live from the first button on
}

TToolbarButton97::~TToolbarButton97() {
    destroying_ = true;
    if (HotButtonRef == this) {
        SharedTimer()->stop();
        HotButtonRef = nullptr;
    }
    FGlyph.OnChange = nullptr;
    if (--ButtonCount == 0) {
        DropDitherPattern(false);
    }
}

QTimer* TToolbarButton97::SharedTimer() {
    static QTimer* timer = [] {
        auto* created = new QTimer(QCoreApplication::instance());
        created->setInterval(kTrackInterval);
        QObject::connect(created, &QTimer::timeout, [] {
            if (HotButtonRef) {
                HotButtonRef->TrackTick();
            }
        });
        // Switching to another application ends the hot look.
        QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged,
                         [](Qt::ApplicationState state) {
                             if (state != Qt::ApplicationActive && HotButtonRef) {
                                 HotButtonRef->MouseLeft();
                             }
                         });
        return created;
    }();
    return timer;
}

TToolbarButton97* TToolbarButton97::HotButton() {
    return HotButtonRef.data();
}

// ---- properties ----

void TToolbarButton97::SetAllowAllUp(bool value) {
    if (StoreIfChanged(FAllowAllUp, value)) {
        UpdateExclusive();
    }
}

void TToolbarButton97::SetGroupIndex(int value) {
    if (StoreIfChanged(FGroupIndex, value)) {
        UpdateExclusive();
    }
}

void TToolbarButton97::SetDisplayMode(TButtonDisplayMode value) {
    if (StoreIfChanged(FDisplayMode, value)) {
        update();
    }
}

void TToolbarButton97::SetDown(bool value) {
    if (FGroupIndex == 0) {
        value = false;
    }
    if (value == FDown || (FDown && !FAllowAllUp)) {
        return;
    }
    FDown = value;
    FState = value ? bsExclusive : bsUp;
    update();
    if (value) {
        UpdateExclusive();
    }
}

void TToolbarButton97::SetDropdownArrow(bool value) {
    if (StoreIfChanged(FDropdownArrow, value)) {
        update();
    }
}

void TToolbarButton97::SetDropdownCombo(bool value) {
    if (!StoreIfChanged(FDropdownCombo, value)) {
        return;
    }
    resize(value ? width() + tb97::kMenuPartWidth : std::max(1, width() - tb97::kMenuPartWidth),
           height());
    update();
}

QMenu* TToolbarButton97::DropdownMenu() const {
    return FDropdownMenu.data();
}

void TToolbarButton97::SetDropdownMenu(QMenu* value) {
    if (StoreIfChanged(FDropdownMenu, value)) {
        if (FDropdownArrow) {
            update();
        }
    }
}

void TToolbarButton97::SetCaption(const QString& value) {
    if (!StoreIfChanged(FCaption, value)) {
        return;
    }
    if (shortcutId_ != 0) {
        releaseShortcut(shortcutId_);
        shortcutId_ = 0;
    }
    const QKeySequence mnemonic = QKeySequence::mnemonic(value);
    if (!mnemonic.isEmpty()) {
        shortcutId_ = grabShortcut(mnemonic);
    }
    update();
}

void TToolbarButton97::SetFlat(bool value) {
    if (StoreIfChanged(FFlat, value)) {
        UpdateOpaque();
        update();
    }
}

void TToolbarButton97::SetGlyph(const QImage& value) {
    FGlyph.SetGlyph(value);
}

void TToolbarButton97::SetLayout(TButtonLayout value) {
    if (StoreIfChanged(FLayout, value)) {
        update();
    }
}

void TToolbarButton97::SetMargin(int value) {
    if (value != FMargin && value >= -1) {
        FMargin = value;
        update();
    }
}

void TToolbarButton97::SetNumGlyphs(int value) {
    FGlyph.SetNumGlyphs(value);
}

void TToolbarButton97::SetOldDisabledStyle(bool value) {
    FGlyph.SetOldDisabledStyle(value);
}

void TToolbarButton97::SetOpaque(bool value) {
    if (StoreIfChanged(FOpaque, value)) {
        UpdateOpaque();
        update();
    }
}

void TToolbarButton97::SetSpacing(int value) {
    if (StoreIfChanged(FSpacing, value)) {
        update();
    }
}

void TToolbarButton97::SetWordWrap(bool value) {
    if (StoreIfChanged(FWordWrap, value)) {
        update();
    }
}

void TToolbarButton97::SetColor(TColor value) {
    if (StoreIfChanged(FColor, value)) {
        update();
    }
}

void TToolbarButton97::GlyphChanged() {
    update();
}

// Opaque buttons cover their whole rectangle, so nothing is erased first.
void TToolbarButton97::UpdateOpaque() {
    setAttribute(Qt::WA_OpaquePaintEvent, FOpaque || !FFlat);
}

// ---- groups ----

void TToolbarButton97::UpdateExclusive() {
    if (parentWidget() == nullptr) {
        return;
    }
    for (QObject* child : parentWidget()->children()) {
        if (auto* button = qobject_cast<TToolbarButton97*>(child)) {
            button->ButtonPressed(FGroupIndex, this);
        }
    }
}

void TToolbarButton97::ButtonPressed(int groupIndex, TToolbarButton97* sender) {
    if (groupIndex == 0 || groupIndex != FGroupIndex || sender == this) {
        return;
    }
    if (sender->FDown && FDown) {
        FDown = false;
        FState = bsUp;
        update();
    }
    FAllowAllUp = sender->FAllowAllUp;
}

// ---- tracking ----

QWidget* TToolbarButton97::ParentForm() const {
    QWidget* form = window();
    while (form->parentWidget() != nullptr) {
        form = form->parentWidget()->window();
    }
    return form;
}

bool TToolbarButton97::IsUnderCursor(std::optional<QPoint> global) const {
    return QApplication::widgetAt(global ? *global : QCursor::pos()) == this;
}

void TToolbarButton97::MouseEntered() {
    if (!isEnabled() || FMouseInControl) {
        return;
    }
    FMouseInControl = true;
    if (FState == bsUp) {
        FState = bsHot;
    }
    update();
    if (OnMouseEnter) {
        OnMouseEnter();
    }
}

void TToolbarButton97::MouseLeft() {
    if (!isEnabled() || !FMouseInControl || FPressed) {
        return;
    }
    if (FState == bsHot || (FState == bsDown && !FInClick)) {
        FState = bsUp;
    }
    FMouseInControl = false;
    update();
    if (HotButtonRef == this) {
        SharedTimer()->stop();
        HotButtonRef = nullptr;
    }
    if (OnMouseExit) {
        OnMouseExit();
    }
}

void TToolbarButton97::TrackTick() {
    if (!IsUnderCursor()) {
        MouseLeft();
    }
}

// Makes this the hot button when the mouse is over it and its form is the
// active one; ends the hot look when the mouse has left.
void TToolbarButton97::UpdateTracking(std::optional<QPoint> global) {
    if (!isEnabled()) {
        return;
    }
    if (!IsUnderCursor(global)) {
        MouseLeft();
        return;
    }
    if (HotButtonRef != this) {
        if (HotButtonRef) {
            HotButtonRef->MouseLeft();
        }
        QWidget* active = QApplication::activeWindow();
        while (active != nullptr && active->parentWidget() != nullptr) {
            active = active->parentWidget()->window();
        }
        if (QGuiApplication::applicationState() == Qt::ApplicationActive &&
            active == ParentForm()) {
            HotButtonRef = this;
            SharedTimer()->start();
            MouseEntered();
        }
    }
}

bool TToolbarButton97::IsSplit() const {
    return FDropdownCombo && FDropdownMenu;
}

bool TToolbarButton97::ShowsArrow() const {
    return FDropdownArrow && FDropdownMenu && !FDropdownCombo;
}

bool TToolbarButton97::InsideClickPart(QPoint at) const {
    const int right = IsSplit() ? width() - tb97::kMenuPartWidth : width();
    return at.x() >= 0 && at.y() >= 0 && at.x() < right && at.y() < height();
}

// ---- mouse ----

void TToolbarButton97::mousePressEvent(QMouseEvent* event) {
    if (swallowPress_ && event->timestamp() == swallowPressTime_) {
        swallowPress_ = false; // the press that closed our menu
        return;
    }
    if (!isEnabled()) {
        return;
    }
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton) {
        UpdateTracking(event->globalPosition().toPoint());
        MouseEntered();
    } else {
        if (!FMouseInControl) {
            UpdateTracking(event->globalPosition().toPoint());
            MouseEntered();
        }
        FMenuIsDown =
            IsSplit() ? at.x() >= width() - tb97::kMenuPartWidth : FDropdownMenu != nullptr;
        if (!FDown) {
            FState = bsDown;
            update();
        } else if (FAllowAllUp) {
            update();
        }
        if (FMenuIsDown) {
            Click(); // opens the menu; it stays down until the menu closes
        } else {
            FPressed = true;
        }
    }
    if (OnMouseDown) {
        OnMouseDown(event->button(), at);
    }
}

void TToolbarButton97::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a press like any other.
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton && FDown && OnDblClick) {
        OnDblClick();
    }
}

void TToolbarButton97::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (HotButtonRef != this) {
        UpdateTracking(event->globalPosition().toPoint());
    }
    if (FPressed) {
        const TButtonState97 look = FDown ? bsExclusive : (InsideClickPart(at) ? bsDown : bsUp);
        if (look != FState) {
            FState = look;
            update();
        }
    }
    if (OnMouseMove) {
        OnMouseMove(at);
    }
}

void TToolbarButton97::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    QPointer<TToolbarButton97> self(this);
    if (event->button() == Qt::RightButton && isEnabled()) {
        FPressed = false;
        MouseLeft();
    } else if (event->button() == Qt::LeftButton && FPressed) {
        FPressed = false;
        const bool inside = InsideClickPart(at);
        if (FGroupIndex != 0) {
            if (inside) {
                SetDown(!FDown);
            } else if (FDown) {
                FState = bsExclusive;
            }
        }
        if (inside) {
            Click();
        } else {
            UpdateTracking();
            update();
        }
    }
    if (self && OnMouseUp) {
        OnMouseUp(event->button(), at);
    }
}

void TToolbarButton97::leaveEvent(QEvent* event) {
    MouseLeft();
    QWidget::leaveEvent(event);
}

// ---- click and menu ----

void TToolbarButton97::Click() {
    FInClick = true;
    if (FState == bsUp || FState == bsHot) {
        FState = bsDown;
        repaint();
    }
    MouseLeft();
    QPointer<TToolbarButton97> self(this);
    if (!FDropdownMenu || (IsSplit() && !FMenuIsDown)) {
        if (OnClick) {
            OnClick();
        }
        if (self) {
            FinishClick();
        }
        return;
    }
    QMenu* menu = FDropdownMenu;
    FMenuIsDown = true;
    QPoint at = mapToGlobal(QPoint(0, height()));
    const auto* bar = qobject_cast<const TToolbar97*>(parentWidget());
    if (bar != nullptr && bar->DockedTo() != nullptr) {
        if (bar->DockedTo()->Position() == dpLeft) {
            at = mapToGlobal(QPoint(width(), 0));
        } else if (bar->DockedTo()->Position() == dpRight) {
            at = mapToGlobal(QPoint(0, 0)) - QPoint(menu->sizeHint().width(), 0);
        }
    }
    menu->installEventFilter(this);
    connect(menu, &QMenu::aboutToHide, this, &TToolbarButton97::DropdownClosed,
            Qt::SingleShotConnection);
    update();
    menu->popup(at);
}

bool TToolbarButton97::eventFilter(QObject* watched, QEvent* event) {
    // A press on this button while its menu is open closes the menu; the press
    // handed on to the button afterwards must not open it again.
    if (watched == FDropdownMenu && (event->type() == QEvent::MouseButtonPress ||
                                     event->type() == QEvent::MouseButtonDblClick)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mapFromGlobal(mouse->globalPosition().toPoint());
        if (rect().contains(at)) {
            swallowPress_ = true;
            swallowPressTime_ = mouse->timestamp();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TToolbarButton97::DropdownClosed() {
    if (FDropdownMenu) {
        FDropdownMenu->removeEventFilter(this);
    }
    FMenuIsDown = false;
    FinishClick();
}

void TToolbarButton97::FinishClick() {
    FInClick = false;
    if (FState == bsDown) {
        FState = bsUp;
    }
    if (!destroying_) {
        update();
        UpdateTracking();
    }
}

// ---- notifications ----

void TToolbarButton97::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            FPressed = false;
            FMouseInControl = false;
            if (HotButtonRef == this) {
                SharedTimer()->stop();
                HotButtonRef = nullptr;
            }
            FState = bsDisabled;
        } else {
            FState = FDown ? bsExclusive : bsUp;
        }
        FGlyph.CreateButtonGlyph(isEnabled() ? bsUp : bsDisabled);
        UpdateTracking();
        update();
    } else if (event->type() == QEvent::FontChange) {
        update();
    }
    QWidget::changeEvent(event);
}

bool TToolbarButton97::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->shortcutId() == shortcutId_ && isEnabled() && isVisible()) {
            Click();
        }
        return true;
    }
    if (event->type() == QEvent::ApplicationPaletteChange) {
        SysColorChange();
    }
    return QWidget::event(event);
}

void TToolbarButton97::SysColorChange() {
    DropDitherPattern(true);
    FGlyph.Invalidate();
    FGlyph.CreateButtonGlyph(FState);
    update();
}
