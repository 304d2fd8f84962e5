#pragma once
// A flat push button that shows a bitmap and/or a caption and draws its bevel
// only while the mouse is over it or while it is pressed. At rest it can show
// a quiet no-focus image, or a grey rendering of its bitmap, so that a row of
// such buttons stays calm until the user points at one. Buttons with the same
// GroupIndex on one parent form a radio group; a drop-down menu may be opened
// instead of a click.

#include "platform/Color.h"
#include "widgets/explbtn/ExplorerLayout.h"

#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <initializer_list>

enum class TExplorerButtonOption : unsigned char {
    boMonoDisplay,
    boIconOnly,
    boPopupMark,
    boShowBevel
};

// A set of options, one bit per option (bit n = ordinal n).
class TExplorerButtonOptions {
public:
    constexpr TExplorerButtonOptions() = default;
    constexpr TExplorerButtonOptions(std::initializer_list<TExplorerButtonOption> options) {
        for (const TExplorerButtonOption option : options) {
            bits_ |= Bit(option);
        }
    }
    constexpr bool Has(TExplorerButtonOption option) const { return (bits_ & Bit(option)) != 0; }
    constexpr std::uint8_t Bits() const { return bits_; }
    constexpr bool operator==(const TExplorerButtonOptions&) const = default;

private:
    static constexpr std::uint8_t Bit(TExplorerButtonOption option) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(option));
    }
    std::uint8_t bits_ = 0;
};

enum class TExplorerButtonShadingType : unsigned char { stLight, stMedium, stDark };
enum class TBevelStyle : unsigned char { bsLowered, bsRaised };

// The caption as a hint: a single '&' goes, "&&" becomes one '&', and a '&'
// in the last place stays.
QString StripAccelerators(const QString& caption);

// The grey image of BITMAP: its pixel (0,0) colour is left alone wherever it
// occurs, every other pixel becomes white, button highlight, button shadow or
// black by the sum of its channels against the shading type's thresholds.
QImage GreyImage(const QImage& bitmap, TExplorerButtonShadingType shading);

class TExplorerButton : public QWidget {
    Q_OBJECT
public:
    explicit TExplorerButton(QWidget* parent = nullptr);
    ~TExplorerButton() override;

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value);
    TBevelStyle BevelStyle() const { return bevelStyle_; }
    void SetBevelStyle(TBevelStyle value);
    const QImage& NoFocusBitmap() const { return noFocusBitmap_; }
    void SetNoFocusBitmap(const QImage& value);
    const QImage& Bitmap() const { return bitmap_; }
    void SetBitmap(const QImage& value);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    const QImage& DisabledBitmap() const { return disabledBitmap_; }
    void SetDisabledBitmap(const QImage& value);
    bool Down() const { return down_; }
    void SetDown(bool value);
    QMenu* DropDownMenu() const { return dropDownMenu_; }
    void SetDropDownMenu(QMenu* value);
    // The button's own enabled flag; the widget itself stays enabled so that
    // it keeps its looks and hint.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    TExplorerButtonLayout Layout() const { return layout_; }
    void SetLayout(TExplorerButtonLayout value);
    TExplorerButtonOptions Options() const { return options_; }
    void SetOptions(TExplorerButtonOptions value);
    TExplorerButtonShadingType ShadingType() const { return shadingType_; }
    void SetShadingType(TExplorerButtonShadingType value);
    bool ShowDownPattern() const { return showDownPattern_; }
    void SetShowDownPattern(bool value);
    TColor UnselectedFontColor() const { return unselectedFontColor_; }
    void SetUnselectedFontColor(TColor value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    // The colour of the font; the caption takes it while the mouse is over
    // the button.
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor value);
    // The hint is the widget's tool tip, shown only with ShowHint.
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& value) { setToolTip(value); }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    // A menu opened by the right button.
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* value);

    // The grey image, stored with the button. Built from Bitmap whenever
    // Bitmap or ShadingType change while NoFocusBitmap is empty.
    const QImage& GreyBitmap() const { return greyBitmap_; }
    void SetGreyBitmap(const QImage& value);

    bool Pressed() const { return pressed_; }
    bool Hot() const { return hot_; }

    std::function<void()> OnClick;
    std::function<void()> OnEnter;
    std::function<void()> OnExit;

    // Where bitmap and caption stand at the current size and settings.
    TExplorerLayoutResult ComputeLayout() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool CaptionShown() const;
    bool MarkShown() const;
    void MouseOver(bool over);
    void LeftDown();
    void LeftUp(bool overButton);
    void RightUp(const QPoint& globalPos);
    void Accelerator();
    void ResetFromCursor();
    void RebuildGreyBitmap();
    void RegisterAccelerator();
    void ForEachInGroup(const std::function<void(TExplorerButton&)>& action);
    void PaintCaption(class QPainter& painter, const QRect& rect, TColor color) const;

    TAlignment alignment_ = TAlignment::taCenter;
    bool allowAllUp_ = false;
    TBevelStyle bevelStyle_ = TBevelStyle::bsRaised;
    QImage noFocusBitmap_;
    QImage bitmap_;
    QImage disabledBitmap_;
    QImage greyBitmap_;
    QString caption_;
    int groupIndex_ = 0;
    bool down_ = false;
    QPointer<QMenu> dropDownMenu_;
    QPointer<QMenu> popupMenu_;
    bool enabled_ = true;
    TExplorerButtonLayout layout_ = TExplorerButtonLayout::blBitmapTop;
    TExplorerButtonOptions options_{TExplorerButtonOption::boMonoDisplay,
                                    TExplorerButtonOption::boPopupMark,
                                    TExplorerButtonOption::boShowBevel};
    TExplorerButtonShadingType shadingType_ = TExplorerButtonShadingType::stMedium;
    bool showDownPattern_ = true;
    TColor unselectedFontColor_;
    bool wordWrap_ = false;
    TColor fontColor_;
    bool showHint_ = false;
    bool pressed_ = false;
    bool hot_ = false;
    bool menuOpen_ = false;
    int shortcutId_ = 0;
};
