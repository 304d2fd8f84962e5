#include "widgets/explbtn/explbtn.h"

#include "platform/qt/DitherPattern.h"
#include "platform/qt/QtColor.h"
#include "widgets/WidgetProperty.h"
#include "widgets/explbtn/ExplorerPaint.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

namespace {

using enum TExplorerButtonOption;

QFlags<Qt::AlignmentFlag> TextAlignment(TAlignment alignment) {
    switch (alignment) {
    case TAlignment::taLeftJustify:
        return Qt::AlignLeft;
    case TAlignment::taRightJustify:
        return Qt::AlignRight;
    case TAlignment::taCenter:
        break;
    }
    return Qt::AlignHCenter;
}

} // namespace

QString StripAccelerators(const QString& caption) {
    QString out;
    const qsizetype n = caption.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (caption[i] == u'&' && i < n - 1) {
            if (caption[i + 1] == u'&') {
                out += u'&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

TExplorerButton::TExplorerButton(QWidget* parent)
    : QWidget(parent), unselectedFontColor_(clWindowText), fontColor_(clWindowText) {
    resize(50, 40);
    setMouseTracking(true);
}

TExplorerButton::~TExplorerButton() = default;

void TExplorerButton::SetAlignment(TAlignment value) {
    alignment_ = value;
    update();
}

void TExplorerButton::SetAllowAllUp(bool value) {
    allowAllUp_ = value;
    if (groupIndex_ != 0) {
        ForEachInGroup([value](TExplorerButton& other) { other.allowAllUp_ = value; });
    }
}

void TExplorerButton::SetBevelStyle(TBevelStyle value) {
    bevelStyle_ = value;
    update();
}

void TExplorerButton::SetNoFocusBitmap(const QImage& value) {
    noFocusBitmap_ = value.convertToFormat(QImage::Format_RGB32);
    update();
}

void TExplorerButton::SetBitmap(const QImage& value) {
    bitmap_ = value.convertToFormat(QImage::Format_RGB32);
    RebuildGreyBitmap();
    update();
}

void TExplorerButton::SetDisabledBitmap(const QImage& value) {
    disabledBitmap_ = value.convertToFormat(QImage::Format_RGB32);
    update();
}

void TExplorerButton::SetGreyBitmap(const QImage& value) {
    greyBitmap_ = value.convertToFormat(QImage::Format_RGB32);
    update();
}

void TExplorerButton::RebuildGreyBitmap() {
    if (noFocusBitmap_.isNull()) {
        greyBitmap_ = GreyImage(bitmap_, shadingType_);
    }
}

void TExplorerButton::SetCaption(const QString& value) {
    if (!StoreIfChanged(caption_, value)) {
        return;
    }
    RegisterAccelerator();
    if (options_.Has(boIconOnly)) {
        SetHint(StripAccelerators(caption_));
    } else {
        update();
    }
}

void TExplorerButton::RegisterAccelerator() {
    if (shortcutId_ != 0) {
        releaseShortcut(shortcutId_);
        shortcutId_ = 0;
    }
    const QKeySequence key = QKeySequence::mnemonic(caption_);
    if (!key.isEmpty()) {
        shortcutId_ = grabShortcut(key);
    }
}

void TExplorerButton::SetGroupIndex(int value) {
    if (!StoreIfChanged(groupIndex_, value)) {
        return;
    }
    if (value == 0 && down_) {
        down_ = false;
        update();
    }
}

void TExplorerButton::SetDown(bool value) {
    if (value == down_ || groupIndex_ == 0) {
        return;
    }
    down_ = value;
    update();
    if (value) {
        ForEachInGroup([](TExplorerButton& other) {
            if (other.down_) {
                other.down_ = false;
                other.update();
            }
        });
    }
}

void TExplorerButton::SetDropDownMenu(QMenu* value) {
    if (!StoreIfChanged(dropDownMenu_, value)) {
        return;
    }
    if (options_.Has(boPopupMark)) {
        update();
    }
}

void TExplorerButton::SetEnabled(bool value) {
    if (!StoreIfChanged(enabled_, value)) {
        return;
    }
    if (groupIndex_ == 0) {
        down_ = false;
    }
    pressed_ = false;
    hot_ = false;
    update();
}

void TExplorerButton::SetLayout(TExplorerButtonLayout value) {
    if (StoreIfChanged(layout_, value)) {
        update();
    }
}

void TExplorerButton::SetOptions(TExplorerButtonOptions value) {
    options_ = value;
    const QString plain = StripAccelerators(caption_);
    if (options_.Has(boIconOnly)) {
        if (Hint().isEmpty()) {
            SetHint(plain);
            showHint_ = true;
        }
    } else if (Hint() == plain) {
        SetHint(QString());
        showHint_ = false;
    }
    update();
}

void TExplorerButton::SetShadingType(TExplorerButtonShadingType value) {
    if (!StoreIfChanged(shadingType_, value)) {
        return;
    }
    if (!bitmap_.isNull() && noFocusBitmap_.isNull()) {
        RebuildGreyBitmap();
        update();
    }
}

void TExplorerButton::SetShowDownPattern(bool value) {
    if (StoreIfChanged(showDownPattern_, value)) {
        update();
    }
}

void TExplorerButton::SetUnselectedFontColor(TColor value) {
    if (StoreIfChanged(unselectedFontColor_, value)) {
        update();
    }
}

void TExplorerButton::SetWordWrap(bool value) {
    if (StoreIfChanged(wordWrap_, value)) {
        update();
    }
}

void TExplorerButton::SetFontColor(TColor value) {
    if (StoreIfChanged(fontColor_, value)) {
        update();
    }
}

void TExplorerButton::SetShowHint(bool value) {
    showHint_ = value;
}

void TExplorerButton::SetPopupMenu(QMenu* value) {
    popupMenu_ = value;
}

bool TExplorerButton::CaptionShown() const {
    return !options_.Has(boIconOnly) && !caption_.isEmpty();
}

bool TExplorerButton::MarkShown() const {
    return options_.Has(boPopupMark) && dropDownMenu_ != nullptr;
}

void TExplorerButton::ForEachInGroup(const std::function<void(TExplorerButton&)>& action) {
    if (parentWidget() == nullptr) {
        return;
    }
    const auto siblings =
        parentWidget()->findChildren<TExplorerButton*>(Qt::FindDirectChildrenOnly);
    for (TExplorerButton* other : siblings) {
        if (other != this && other->groupIndex_ == groupIndex_) {
            action(*other);
        }
    }
}

TExplorerLayoutResult TExplorerButton::ComputeLayout() const {
    const QFontMetrics metrics(font());
    TExplorerLayoutInput in;
    in.Width = width();
    in.Height = height();
    in.BitmapSize = bitmap_.size();
    in.Mark = MarkShown();
    in.ShowCaption = CaptionShown();
    in.WordWrap = wordWrap_;
    in.Alignment = alignment_;
    in.Layout = layout_;
    in.MeasureText = [&](int maxWidth) {
        int flags = Qt::TextShowMnemonic | TextAlignment(alignment_);
        QString text = caption_;
        if (wordWrap_) {
            flags |= Qt::TextWordWrap;
            text += u' ';
        }
        return metrics.boundingRect(QRect(0, 0, std::max(maxWidth, 0), 0), flags, text).size();
    };
    return LayoutExplorerButton(in);
}

void TExplorerButton::PaintCaption(QPainter& painter, const QRect& rect, TColor color) const {
    if (!CaptionShown() || rect.width() <= 0) {
        return;
    }
    painter.setPen(ToQColor(color));
    const int flags = Qt::TextShowMnemonic | TextAlignment(alignment_) | Qt::AlignTop;
    if (wordWrap_) {
        painter.drawText(rect, flags | Qt::TextWordWrap, caption_ + u' ');
        return;
    }
    // Lines too wide for the rectangle end in an ellipsis.
    const QFontMetrics metrics(painter.font());
    QStringList lines = caption_.split(u'\n');
    for (QString& line : lines) {
        line = metrics.elidedText(line, Qt::ElideRight, rect.width(), Qt::TextShowMnemonic);
    }
    painter.drawText(rect, flags, lines.join(u'\n'));
}

void TExplorerButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (down_ && showDownPattern_) {
        DropDitherPattern(true); // the colours may have changed since it was made
        painter.fillRect(rect(), QBrush(DitherPattern()));
    }
    painter.setFont(font());
    const TExplorerLayoutResult layout = ComputeLayout();
    const QPoint at = layout.BitmapPos;
    const QRect text = layout.TextRect;
    const bool bevel = options_.Has(boShowBevel);
    const bool mark = MarkShown();
    const bool hasBitmap = !bitmap_.isNull();
    const bool raised = bevelStyle_ == TBevelStyle::bsRaised;
    // The pressed look swaps the pens of the raised one.
    const TColor light = raised ? clBtnHighlight : clBtnShadow;
    const TColor dark = raised ? clBtnShadow : clBtnHighlight;

    if (!enabled_) {
        if (down_ && bevel) {
            widgets::DrawBevel(painter, size(), dark, light);
        }
        if (!disabledBitmap_.isNull()) {
            widgets::DrawTransparent(painter, at, disabledBitmap_);
        } else if (hasBitmap) {
            widgets::DrawEmbossed(painter, at, bitmap_);
        }
        PaintCaption(painter, text.translated(1, 1), clBtnHighlight);
        PaintCaption(painter, text, clBtnShadow);
        return;
    }
    if ((pressed_ && hot_) || down_) {
        if (bevel) {
            widgets::DrawBevel(painter, size(), dark, light);
        }
        PaintCaption(painter, raised ? text.translated(1, 1) : text, fontColor_);
        if (hasBitmap) {
            widgets::DrawTransparent(painter, at + QPoint(1, 1), bitmap_);
        }
        if (mark) {
            const QPoint markAt =
                hasBitmap ? QPoint(at.x() + bitmap_.width() + 4, at.y() + bitmap_.height() / 2 + 1)
                          : QPoint(text.x() + text.width() + 4, text.y() + text.height() / 2 + 1);
            widgets::DrawPopupMark(painter, markAt, fontColor_);
        }
        return;
    }
    TColor color = fontColor_;
    if (hot_) {
        if (bevel) {
            widgets::DrawBevel(painter, size(), light, dark);
        }
    } else {
        color = unselectedFontColor_;
    }
    PaintCaption(painter, raised ? text : text.translated(1, 1), color);
    if (hasBitmap) {
        const QImage* image = &bitmap_;
        if (!hot_ && options_.Has(boMonoDisplay)) {
            image = noFocusBitmap_.isNull() ? &greyBitmap_ : &noFocusBitmap_;
        }
        widgets::DrawTransparent(painter, at, *image);
    }
    if (mark) {
        const QPoint markAt =
            hasBitmap ? QPoint(at.x() + bitmap_.width() + 3, at.y() + bitmap_.height() / 2)
                      : QPoint(text.x() + text.width() + 3, text.y() + text.height() / 2);
        widgets::DrawPopupMark(painter, markAt, color);
    }
}

void TExplorerButton::MouseOver(bool over) {
    if (over == hot_) {
        return;
    }
    hot_ = over;
    if (!down_ && enabled_) {
        update();
    }
    const auto& event = over ? OnEnter : OnExit;
    if (event) {
        event();
    }
}

void TExplorerButton::enterEvent(QEnterEvent*) {
    if (!pressed_) {
        MouseOver(true);
    }
}

void TExplorerButton::leaveEvent(QEvent*) {
    if (!pressed_) {
        MouseOver(false);
    }
}

void TExplorerButton::mouseMoveEvent(QMouseEvent* event) {
    // While the button holds the mouse the window system sends no enter or
    // leave; the position decides.
    MouseOver(rect().contains(event->position().toPoint()));
}

void TExplorerButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (menuOpen_) {
        // A click on the button while its menu is open only closes the menu.
        return;
    }
    LeftDown();
}

void TExplorerButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        LeftUp(rect().contains(event->position().toPoint()));
    } else if (event->button() == Qt::RightButton) {
        RightUp(event->globalPosition().toPoint());
    }
}

void TExplorerButton::LeftDown() {
    if (QWidget* form = window(); form != QApplication::activeWindow()) {
        form->raise();
        form->activateWindow();
    }
    if (!enabled_ || !isVisible()) {
        return;
    }
    pressed_ = true;
    hot_ = true;
    update();
    if (dropDownMenu_ == nullptr) {
        return;
    }
    QPointer<TExplorerButton> self(this);
    menuOpen_ = true;
    dropDownMenu_->exec(mapToGlobal(QPoint(0, height())));
    if (self == nullptr) {
        return;
    }
    menuOpen_ = false;
    ResetFromCursor();
}

// After a menu: whoever holds the mouse lets go, and the looks follow the
// cursor as it is now.
void TExplorerButton::ResetFromCursor() {
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
    hot_ = rect().contains(mapFromGlobal(QCursor::pos()));
    pressed_ = false;
    update();
}

void TExplorerButton::LeftUp(bool overButton) {
    if (!enabled_ || !isVisible() || !pressed_) {
        return;
    }
    pressed_ = false;
    if (hot_ && groupIndex_ != 0) {
        if (!down_) {
            ForEachInGroup([](TExplorerButton& other) {
                if (other.down_) {
                    other.down_ = false;
                    other.update();
                }
            });
            down_ = true;
        } else if (allowAllUp_) {
            down_ = false;
        }
    }
    if (!overButton) {
        update();
        return;
    }
    hot_ = true;
    update();
    if (dropDownMenu_ == nullptr && OnClick) {
        OnClick();
    }
}

void TExplorerButton::RightUp(const QPoint& globalPos) {
    QMenu* menu = popupMenu_;
    if (menu == nullptr) {
        return;
    }
    QPointer<TExplorerButton> self(this);
    menu->exec(globalPos);
    if (self != nullptr) {
        ResetFromCursor();
    }
}

void TExplorerButton::Accelerator() {
    if (!enabled_ || !isVisible()) {
        return;
    }
    QPointer<TExplorerButton> self(this);
    hot_ = true;
    pressed_ = false;
    update();
    QCoreApplication::processEvents();
    if (self == nullptr) {
        return;
    }
    LeftDown();
    QCoreApplication::processEvents();
    if (self == nullptr) {
        return;
    }
    LeftUp(true);
    if (self == nullptr) {
        return;
    }
    if (!rect().contains(mapFromGlobal(QCursor::pos()))) {
        hot_ = false;
        update();
    }
}

bool TExplorerButton::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Shortcut:
        if (static_cast<QShortcutEvent*>(event)->shortcutId() == shortcutId_) {
            Accelerator();
            return true;
        }
        break;
    case QEvent::ToolTip:
        if (!showHint_) {
            event->ignore();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::event(event);
}
