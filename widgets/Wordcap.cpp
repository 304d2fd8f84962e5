#include "widgets/Wordcap.h"

#include "platform/qt/FrameControls.h"
#include "platform/qt/QtColor.h"
#include "widgets/WidgetProperty.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <QWindow>
#include <stdexcept>

namespace {

// Posted to the application when the form's window has gone, so that the
// new one is hooked once the framework has made it.
const QEvent::Type kRehookEvent = static_cast<QEvent::Type>(QEvent::User + 0x498C);

class TRehookEvent : public QEvent {
public:
    explicit TRehookEvent(const ZEZUzavivAzuroze* caption)
        : QEvent(kRehookEvent), Caption(caption) {}
    const ZEZUzavivAzuroze* Caption;
};

// A font's height as the window system counts it: negative for a character
// height in pixels.
int HeightOf(const QFont& font) {
    return font.pixelSize() > 0 ? -font.pixelSize() : -QFontInfo(font).pixelSize();
}

void SetHeight(QFont& font, int height) {
    if (height != 0) {
        font.setPixelSize(qMax(1, height < 0 ? -height : height));
    }
}

// Text height less internal leading, measured on a small bitmap.
int CharacterHeight(const QFont& font) {
    QPixmap bitmap(10, 10);
    QPainter painter(&bitmap);
    painter.setFont(font);
    return painter.fontInfo().pixelSize();
}

} // namespace

// ---- text parts ----

TCompanyText::TCompanyText(ZEZUzavivAzuroze* owner) : FOwner(owner) {
    FFont = owner->CaptionFont();
}

TCompanyText::~TCompanyText() = default;

QString TCompanyText::Caption() const {
    return FCaption;
}

void TCompanyText::SetCaption(const QString& value) {
    if (StoreIfChanged(FCaption, value)) {
        FOwner->ComposeFormCaption();
    }
}

void TCompanyText::SetVisible(bool value) {
    if (StoreIfChanged(FVisible, value)) {
        FOwner->ComposeFormCaption();
    }
}

void TCompanyText::SetFont(const QFont& value) {
    FFont = value;
    if (FFontKind == fkAutoHeight) {
        AdjustHeight();
    } else {
        FFontKind = fkCustom;
    }
}

void TCompanyText::SetFontKind(TFontKind value) {
    FFontKind = value;
    switch (value) {
    case fkCustom:
        break;
    case fkSystem:
    case fkSystemI:
    case fkSystemB:
    case fkSystemBI:
        FFont = FOwner->CaptionFont();
        if (value == fkSystemI || value == fkSystemBI) {
            FFont.setItalic(true);
        }
        if (value == fkSystemB || value == fkSystemBI) {
            FFont.setBold(true);
        }
        break;
    case fkAutoHeight:
        AdjustHeight();
        break;
    }
}

// The part's characters as high as the caption font's.
void TCompanyText::AdjustHeight() {
    const int system = CharacterHeight(FOwner->CaptionFont());
    const int own = CharacterHeight(FFont);
    int height = HeightOf(FFont) + own - system;
    SetHeight(FFont, height);
    const int again = CharacterHeight(FFont);
    if (system < again) {
        height += again - system;
        SetHeight(FFont, height);
    }
}

QString TCaptionText::Caption() const {
    const QWidget* form = FOwner->Form();
    if (form == nullptr) {
        return QString();
    }
    QString text = form->windowTitle();
    const TCompanyText* const leadingParts[] = {FOwner->CompanyText(), FOwner->AppNameText()};
    for (const TCompanyText* part : leadingParts) {
        if (part == nullptr || !part->Visible()) {
            continue;
        }
        const QString leading = part->Caption();
        if (!leading.isEmpty()) {
            const qsizetype at = text.indexOf(leading);
            if (at >= 0) {
                text = text.mid(at + leading.size());
            }
        }
        if (text.startsWith(' ')) {
            text.remove(0, 1);
        }
    }
    return text;
}

// ---- the application hook ----

class ZEZUzavivAzuroze::TAppHook : public QObject {
public:
    explicit TAppHook(ZEZUzavivAzuroze* caption) : caption_(caption) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == QCoreApplication::instance() && event->type() == kRehookEvent &&
            static_cast<TRehookEvent*>(event)->Caption == caption_) {
            caption_->Rehook();
        }
        return false;
    }

private:
    ZEZUzavivAzuroze* caption_;
};

// ---- the component ----

ZEZUzavivAzuroze::ZEZUzavivAzuroze(QObject* owner) {
    auto* form = qobject_cast<QWidget*>(owner);
    TNonClientFrame* frame = TNonClientFrame::Of(form);
    if (form == nullptr || !form->isWindow() || frame == nullptr) {
        throw std::invalid_argument("Invalid class typecast");
    }
    setParent(form);
    FForm = form;
    FFrame = frame;
    FHookedWindow = form->windowHandle();
    FActive = true;
    FActiveKnown = false;
    OnDrawCaption = nullptr;
    FCaptionFont = LoadCaptionFont();
    FCompanyText = std::make_unique<TCompanyText>(this);
    FAppNameText = std::make_unique<TAppNameText>(this);
    FCaptionText = std::make_unique<TCaptionText>(this);
    FAppHook = std::make_unique<TAppHook>(this);
    Hook();
}

ZEZUzavivAzuroze::~ZEZUzavivAzuroze() {
    FDestroying = true;
    FRecreating = false; // the application hook goes too
    Unhook();
    FAppHook.reset();
    // The frame goes before us when the whole form goes; otherwise the
    // form's plain caption comes back.
    if (FFrame) {
        FForm->setWindowTitle(FCaptionText->Caption());
        FFrame->RedrawFrame(false);
    }
}

void ZEZUzavivAzuroze::Loaded() {
    if (FForm->windowHandle() != FHookedWindow) {
        Unhook();
        Hook();
    }
}

void ZEZUzavivAzuroze::SetNumColors(int value) {
    if (value <= 0) {
        return;
    }
    FNumColors = qMin(value, 256);
}

void ZEZUzavivAzuroze::Hook() {
    FHookedWindow = FForm->windowHandle();
    FForm->installEventFilter(this);
    if (!FRecreating) {
        QCoreApplication::instance()->installEventFilter(FAppHook.get());
    }
    FRecreating = false;
    FHooked = true;
}

void ZEZUzavivAzuroze::Unhook() {
    if (!FHooked) {
        return;
    }
    if (!FRecreating && FAppHook) {
        QCoreApplication::instance()->removeEventFilter(FAppHook.get());
    }
    FForm->removeEventFilter(this);
    FHooked = false;
}

void ZEZUzavivAzuroze::Rehook() {
    Hook();
    if (QApplication::activeWindow() == FForm) {
        FActive = true;
    }
    ForceFrameRepaint();
}

void ZEZUzavivAzuroze::ForceFrameRepaint() {
    if (FFrame) {
        FFrame->RedrawFrame(false);
    }
}

void ZEZUzavivAzuroze::ReloadCaptionFont() {
    FCaptionFont = LoadCaptionFont();
    for (TCompanyText* part :
         {static_cast<TCompanyText*>(FAppNameText.get()),
          static_cast<TCompanyText*>(FCaptionText.get()), FCompanyText.get()}) {
        part->SetFontKind(part->FontKind());
    }
    ForceFrameRepaint();
}

bool ZEZUzavivAzuroze::IsActive() const {
    if (FActiveKnown) {
        return FActive;
    }
    return QApplication::activeWindow() == FForm;
}

bool ZEZUzavivAzuroze::GradientWanted(TGradEnabled enabled, bool active, int bitsPerPixel) {
    switch (enabled) {
    case geAlways:
        return true;
    case geNever:
        return false;
    case geWhenActive:
        return active;
    case geSmart:
        return active ? bitsPerPixel >= 8 : bitsPerPixel > 8;
    }
    return false;
}

// ---- layout ----

TCaptionLayout ZEZUzavivAzuroze::CaptionLayout() const {
    return FFrame ? FFrame->CaptionLayout() : TCaptionLayout{};
}

TRect ZEZUzavivAzuroze::CaptionBarRect() const {
    return CaptionLayout().Bar;
}

TCaptionButtons ZEZUzavivAzuroze::CaptionButtonsPresent() const {
    return CaptionLayout().Buttons;
}

TRect ZEZUzavivAzuroze::TextRect() const {
    return CaptionLayout().Text;
}

// ---- composing the caption ----

void ZEZUzavivAzuroze::ComposeFormCaption() {
    if (!FCompanyText || !FAppNameText || !FCaptionText) {
        return;
    }
    QString caption;
    if (FCompanyText->Visible()) {
        caption += FCompanyText->Caption();
    }
    if (FCompanyText->Visible() && !FCompanyText->Caption().isEmpty() &&
        (FAppNameText->Visible() || FCaptionText->Visible())) {
        caption += ' ';
    }
    if (FAppNameText->Visible()) {
        caption += FAppNameText->Caption();
    }
    if (FAppNameText->Visible() && !FAppNameText->Caption().isEmpty() && FCaptionText->Visible()) {
        caption += ' ';
    }
    if (FCaptionText->Visible()) {
        caption += FCaptionText->StoredCaption();
    }
    FForm->setWindowTitle(caption);
}

// ---- painting ----

// Composed in one off-screen bitmap and copied to the window in one go, so
// the bar never shows half drawn. One fixed sequence, read best in one piece.
TRect ZEZUzavivAzuroze::PaintCaption(bool active, QPainter* dc) {
    if (!FFrame || FFrame->BorderStyle() == bsNone || dc == nullptr) {
        return {};
    }
    const TCaptionLayout layout = CaptionLayout();
    const TRect& bar = layout.Bar;
    if (bar.IsEmpty() || bar.Right <= 0 || bar.Bottom <= 0) {
        return {};
    }
    QPixmap bitmap(bar.Right, bar.Bottom);
    if (bitmap.isNull()) {
        return {};
    }
    const TColor flat = ColorToRGB(active ? clActiveCaption : clInactiveCaption);
    const TColor left = ColorToRGB(active ? FColorLeftActive : FColorLeftInActive);
    const TColor right = ColorToRGB(active ? FColorRightActive : FColorRightInActive);
    const bool gradient = GradientWanted(FEnabled, active, bitmap.depth());

    QPainter painter(&bitmap);
    painter.fillRect(bar.ToQRect(), ToQColor(gradient ? right : flat));
    if (gradient) {
        FillGradient(painter, layout.Text, left, right);
    } else {
        painter.fillRect(layout.Text.ToQRect(), ToQColor(flat));
    }
    if (layout.HasIcon) {
        DrawIcon(painter, layout.Icon);
    }
    for (const TCaptionButtonPlace& place : layout.Places) {
        DrawCaptionButton(painter, place.Rect.ToQRect(), place.Glyph, false, place.Inactive);
    }
    const TRect& text = layout.TitleText;
    if (OnDrawCaption) {
        painter.save();
        painter.setFont(FCaptionFont);
        OnDrawCaption(*this, painter, text);
        painter.restore();
    }
    FCaptionText->FCaption = FCaptionText->Caption();
    DrawParts(painter, text, active);
    painter.end();

    dc->drawPixmap(bar.Left, bar.Top, bitmap, bar.Left, bar.Top, bar.Width(), bar.Height());
    return bar;
}

void ZEZUzavivAzuroze::FillGradient(QPainter& painter, const TRect& rect, TColor left,
                                    TColor right) {
    const int width = rect.Width();
    for (int i = 0; i < FNumColors; ++i) {
        const TGradientBand band = GradientBand(i, FNumColors, width, left, right);
        if (band.Right > band.Left) {
            painter.fillRect(rect.Left + band.Left, rect.Top, band.Right - band.Left, rect.Height(),
                             ToQColor(band.Color));
        }
    }
}

void ZEZUzavivAzuroze::DrawIcon(QPainter& painter, const TRect& place) {
    const QRect rect = place.ToQRect();
    painter.drawPixmap(rect, CaptionIcon(*FForm).pixmap(rect.size()));
}

void ZEZUzavivAzuroze::DrawParts(QPainter& painter, TRect text, bool active) {
    TCompanyText* const parts[] = {FCompanyText.get(), FAppNameText.get(), FCaptionText.get()};
    int widths[3] = {};
    for (int i = 0; i < 3; ++i) {
        widths[i] = QFontMetrics(parts[i]->Font(), painter.device())
                        .horizontalAdvance(parts[i]->StoredCaption()) +
                    3;
    }
    const int available = text.Width();
    bool shown[3] = {parts[0]->Visible(), parts[1]->Visible(), parts[2]->Visible()};
    int total = 0;
    for (int i = 0; i < 3; ++i) {
        total += shown[i] ? widths[i] : 0;
    }
    if (total >= available) {
        shown[0] = false;
        total = (shown[1] ? widths[1] : 0) + (shown[2] ? widths[2] : 0);
        if (total >= available) {
            shown[1] = false;
            total = widths[2];
        }
    }
    if (FJustification == jCenter && total < available) {
        text.Left += (available - total) / 2;
    } else if (FJustification == jRight && total < available) {
        text.Left = text.Right - total;
    }
    painter.save();
    for (int i = 0; i < 3; ++i) {
        const TCompanyText& part = *parts[i];
        const bool draw =
            i == 2 ? part.Visible() : shown[i] && !part.StoredCaption().isEmpty() && part.Visible();
        if (!draw) {
            continue;
        }
        text.Left += 3;
        painter.setPen(ToQColor(active ? part.ColorActive() : part.ColorInactive()));
        painter.setFont(part.Font());
        const QFontMetrics metrics(part.Font(), painter.device());
        const QRect area = text.ToQRect();
        painter.drawText(
            area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
            metrics.elidedText(part.StoredCaption(), Qt::ElideRight, qMax(0, area.width())));
        text.Left += metrics.horizontalAdvance(part.StoredCaption());
    }
    painter.restore();
}

// ---- the form's events, before the frame's own handling ----

bool ZEZUzavivAzuroze::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FForm) {
        return false;
    }
    const QEvent::Type type = event->type();
    if (type == TNcPaintEvent::EventType()) {
        auto* paint = static_cast<TNcPaintEvent*>(event);
        const TRect painted = PaintCaption(IsActive(), paint->Dc());
        QRegion region = paint->Region();
        if (region.isEmpty()) {
            region = QRegion(FFrame->WindowRect().ToQRect());
        }
        paint->SetRegion(region - QRegion(painted.ToQRect()));
        return false; // the frame paints the borders, not the caption
    }
    if (type == TNcActivateEvent::EventType()) {
        FActive = static_cast<TNcActivateEvent*>(event)->Active();
        FActiveKnown = true;
        if (FFrame) {
            FFrame->RedrawFrame(true);
        }
        return true;
    }
    if (type == TSetCursorEvent::EventType()) {
        const int hitTest = static_cast<TSetCursorEvent*>(event)->HitTest();
        const std::optional<Qt::CursorShape> sizing = SizingCursor(hitTest);
        if (sizing && FForm->windowHandle() != nullptr) {
            FForm->windowHandle()->setCursor(*sizing);
            return true;
        }
        return false;
    }
    if (type == TNcDestroyEvent::EventType()) {
        if (!FDestroying) {
            FRecreating = true;
            Unhook();
            QCoreApplication::postEvent(QCoreApplication::instance(), new TRehookEvent(this));
        }
        return false;
    }
    switch (type) {
    case QEvent::WindowIconChange:
        ForceFrameRepaint();
        return false;
    case QEvent::ApplicationPaletteChange:
    case QEvent::ApplicationFontChange:
        ReloadCaptionFont();
        return false;
    default:
        return false;
    }
}
