#pragma once
// A windowless background of solid vertical bands running from one colour to
// another, with a one-line caption drawn over it.

#include "platform/Color.h"

#include <QImage>
#include <QString>
#include <QWidget>

enum class TFillDirection : unsigned char { fdLeftToRight, fdRightToLeft };

class TNetGradient : public QWidget {
    Q_OBJECT
public:
    // The band count's range.
    static constexpr int kMinColors = 1;
    static constexpr int kMaxColors = 255;

    explicit TNetGradient(QWidget* parent = nullptr);

    TColor BeginColor() const { return beginColor_; }
    void SetBeginColor(TColor value);
    TColor EndColor() const { return endColor_; }
    void SetEndColor(TColor value);
    TFillDirection FillDirection() const { return fillDirection_; }
    void SetFillDirection(TFillDirection value);
    // Values outside 1..255 are brought to the nearer end.
    int NumberOfColors() const { return numberOfColors_; }
    void SetNumberOfColors(int value);
    // The caption's font: copied, the control keeps its own.
    void SetFont(const QFont& value);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor value);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& value);
    int TextTop() const { return textTop_; }
    void SetTextTop(int value);
    int TextLeft() const { return textLeft_; }
    void SetTextLeft(int value);

    // The bands alone at the control's size, start and end resolved.
    QImage RenderBands() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor beginColor_;
    TColor endColor_;
    TFillDirection fillDirection_ = TFillDirection::fdLeftToRight;
    int numberOfColors_ = kMaxColors;
    TColor fontColor_;
    QString caption_ = QStringLiteral("TNetGradient");
    int textTop_ = 5;
    int textLeft_ = 12;
};
