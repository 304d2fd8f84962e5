#include "settings/NetGradient.h"

#include "platform/qt/QtColor.h"

#include <QPainter>
#include <algorithm>
#include <utility>

namespace {

constexpr TColor kGray = 0x808080;

} // namespace

TNetGradient::TNetGradient(QWidget* parent)
    : QWidget(parent), beginColor_(kGray), endColor_(clBtnFace), fontColor_(clWindowText) {
    resize(400, 25);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
}

// Colour setters repaint even for the same value: a system colour may have
// changed underneath.
void TNetGradient::SetBeginColor(TColor value) {
    beginColor_ = value;
    update();
}

void TNetGradient::SetEndColor(TColor value) {
    endColor_ = value;
    update();
}

void TNetGradient::SetFillDirection(TFillDirection value) {
    if (value != fillDirection_) {
        fillDirection_ = value;
        update();
    }
}

void TNetGradient::SetNumberOfColors(int value) {
    numberOfColors_ = std::clamp(value, kMinColors, kMaxColors);
    update();
}

void TNetGradient::SetFont(const QFont& value) {
    setFont(value);
    update();
}

void TNetGradient::SetFontColor(TColor value) {
    fontColor_ = value;
    update();
}

void TNetGradient::SetCaption(const QString& value) {
    caption_ = value;
    update();
}

void TNetGradient::SetTextTop(int value) {
    textTop_ = value;
    update();
}

void TNetGradient::SetTextLeft(int value) {
    textLeft_ = value;
    update();
}

QImage TNetGradient::RenderBands() const {
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0) {
        return {};
    }
    TColor from = ColorToRGB(beginColor_);
    TColor to = ColorToRGB(endColor_);
    if (fillDirection_ == TFillDirection::fdRightToLeft) {
        std::swap(from, to);
    }
    QImage bands(w, h, QImage::Format_RGB32);
    QPainter painter(&bands);
    for (int i = 0; i < numberOfColors_; ++i) {
        const TGradientBand band = GradientBand(i, numberOfColors_, w, from, to);
        painter.fillRect(band.Left, 0, band.Right - band.Left, h, ToQColor(band.Color));
    }
    return bands;
}

void TNetGradient::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, RenderBands());
    // The caption goes straight onto the bands, with no box behind it.
    painter.setFont(font());
    painter.setPen(ToQColor(fontColor_));
    painter.drawText(QRect(textLeft_, textTop_, std::max(width() - textLeft_, 0) + 4096, 4096),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption_);
}
