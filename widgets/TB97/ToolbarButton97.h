#pragma once
// The toolbar's push button: flat at rest, a thin raised frame while the
// mouse is over it, sunken with its content shifted while pressed. It shows
// a glyph, a caption or both, can belong to a radio group and can open a
// drop-down menu, either from the whole button or from an 11-pixel part at
// its right (a split button).

#include "platform/Color.h"
#include "widgets/TB97/ButtonGlyph.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QMenu;
class QTimer;

enum TButtonDisplayMode { dmBoth, dmGlyphOnly, dmTextOnly };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TToolbarButton97 : public QWidget {
    Q_OBJECT
public:
    explicit TToolbarButton97(QWidget* parent = nullptr);
    ~TToolbarButton97() override;

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    TButtonDisplayMode DisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TButtonDisplayMode value);
    bool Down() const { return FDown; }
    void SetDown(bool value);
    bool DropdownArrow() const { return FDropdownArrow; }
    void SetDropdownArrow(bool value);
    bool DropdownCombo() const { return FDropdownCombo; }
    void SetDropdownCombo(bool value);
    QMenu* DropdownMenu() const;
    void SetDropdownMenu(QMenu* value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    const QImage& Glyph() const { return FGlyph.Glyph(); }
    void SetGlyph(const QImage& value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout value);
    int Margin() const { return FMargin; }
    void SetMargin(int value);
    int NumGlyphs() const { return FGlyph.NumGlyphs(); }
    void SetNumGlyphs(int value);
    bool OldDisabledStyle() const { return FGlyph.OldDisabledStyle(); }
    void SetOldDisabledStyle(bool value);
    bool Opaque() const { return FOpaque; }
    void SetOpaque(bool value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(Qt::MouseButton button, QPoint at)> OnMouseDown;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseExit;
    std::function<void(QPoint at)> OnMouseMove;
    std::function<void(Qt::MouseButton button, QPoint at)> OnMouseUp;

    // Carries out a click: the ordinary click, or the drop-down menu.
    void Click();

    // The look as it stands, and the tracking flags.
    TButtonState97 State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    bool Pressed() const { return FPressed; }
    bool MenuIsDown() const { return FMenuIsDown; }
    TButtonGlyph& ButtonGlyph() { return FGlyph; }

    // The button the mouse is over, shared by all buttons (null when none).
    static TToolbarButton97* HotButton();
    // Drops the shared dither pattern and the state images after a change of
    // the system colours, and repaints.
    void SysColorChange();

    // Where glyph, caption and arrow go inside the button for the given look.
    struct TLayoutResult {
        QPoint GlyphPos;
        QRect TextBounds;
        QPoint ArrowPos;
    };
    TLayoutResult CalcLayout(TButtonState97 state) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static QTimer* SharedTimer();
    void FinishClick();
    QWidget* ParentForm() const;
    // Whether this is the control at GLOBAL (by default, under the cursor).
    bool IsUnderCursor(std::optional<QPoint> global = std::nullopt) const;
    void MouseEntered();
    void MouseLeft();
    void TrackTick();
    void UpdateTracking(std::optional<QPoint> global = std::nullopt);
    void UpdateExclusive();
    void ButtonPressed(int groupIndex, TToolbarButton97* sender);
    bool InsideClickPart(QPoint at) const;
    bool IsSplit() const;
    bool ShowsArrow() const;
    void DropdownClosed();
    void GlyphChanged();
    void UpdateOpaque();
    void PaintFrame(QPainter& painter, TButtonState97 state);
    void PaintContent(QPainter& painter, TButtonState97 state);
    QSize TextSize(const QRect& inner, int glyphWidth, int arrowWidth) const;

    bool FAllowAllUp = false;
    int FGroupIndex = 0;
    TButtonDisplayMode FDisplayMode = dmBoth;
    bool FDown = false;
    bool FDropdownArrow = true;
    bool FDropdownCombo = false;
    QPointer<QMenu> FDropdownMenu;
    QString FCaption;
    bool FFlat = true;
    TButtonGlyph FGlyph;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    bool FOpaque = true;
    int FSpacing = 4;
    bool FWordWrap = false;
    TColor FColor;

    TButtonState97 FState = bsUp;
    bool FMouseInControl = false;
    bool FPressed = false;
    bool FMenuIsDown = false;
    bool FInClick = false;
    bool destroying_ = false;
    int shortcutId_ = 0;
    // A press on the button that closed its open menu; it must not open it again.
    quint64 swallowPressTime_ = 0;
    bool swallowPress_ = false;
};
