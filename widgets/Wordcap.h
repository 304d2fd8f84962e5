#pragma once
// The caption bar painter: dropped on a form, it paints the form's caption
// bar itself, with a left-to-right colour gradient, the window icon, the
// caption buttons, and the caption as up to three separately styled parts
// (company, application name, caption), each with its own font and colours.
// It works through event filters on the form: the frame's non-client events
// reach it first, and whatever it passes on goes to the frame afterwards.

#include "platform/Color.h"
#include "platform/qt/NonClientFrame.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWindow>
#include <functional>
#include <memory>

class QPainter;
class QPixmap;
class QWidget;
class ZEZUzavivAzuroze;

enum TGradEnabled { geAlways, geNever, geWhenActive, geSmart };
enum TJustification { jAuto, jLeft, jCenter, jRight };
enum TFontKind { fkCustom, fkSystem, fkSystemI, fkSystemB, fkSystemBI, fkAutoHeight };

// Called while the caption is composed: CANVAS paints on the off-screen bar
// with the caption font; R is the text rectangle in window coordinates.
using TOnDrawCaption =
    std::function<void(ZEZUzavivAzuroze& Sender, QPainter& Canvas, const TRect& R)>;

constexpr TColor clBlack = 0x000000;

// One text part of the caption.
class TCompanyText {
public:
    explicit TCompanyText(ZEZUzavivAzuroze* owner);
    virtual ~TCompanyText();
    TCompanyText(const TCompanyText&) = delete;
    TCompanyText& operator=(const TCompanyText&) = delete;

    virtual QString Caption() const;
    virtual void SetCaption(const QString& value);
    TColor ColorActive() const { return FColorActive; }
    void SetColorActive(TColor value) { FColorActive = value; }
    TColor ColorInactive() const { return FColorInactive; }
    void SetColorInactive(TColor value) { FColorInactive = value; }
    // The font's own colour plays no part: the text colour is ColorActive
    // or ColorInactive.
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& value);
    TFontKind FontKind() const { return FFontKind; }
    void SetFontKind(TFontKind value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    // The caption as stored, whatever the getter derives.
    const QString& StoredCaption() const { return FCaption; }

protected:
    friend class ZEZUzavivAzuroze;
    void AdjustHeight();

    ZEZUzavivAzuroze* FOwner;
    QString FCaption;
    TColor FColorActive = clCaptionText;
    TColor FColorInactive = clInactiveCaptionText;
    QFont FFont;
    TFontKind FFontKind = fkSystem;
    bool FVisible = true;
};

class TAppNameText : public TCompanyText {
public:
    using TCompanyText::TCompanyText;
};

// The caption part: its text is what remains of the form's caption once the
// company and application-name texts are taken off the front.
class TCaptionText : public TCompanyText {
public:
    using TCompanyText::TCompanyText;
    QString Caption() const override;
};

class ZEZUzavivAzuroze : public QObject {
    Q_OBJECT
public:
    // OWNER must be a form: a top-level widget with its own frame
    // (TNonClientFrame); anything else is refused.
    explicit ZEZUzavivAzuroze(QObject* owner);
    ~ZEZUzavivAzuroze() override;

    // After the form's settings are applied: hooks the form's window again
    // when it has changed meanwhile.
    void Loaded();

    TAppNameText* AppNameText() const { return FAppNameText.get(); }
    TCaptionText* CaptionText() const { return FCaptionText.get(); }
    TCompanyText* CompanyText() const { return FCompanyText.get(); }

    TColor ColorLeftActive() const { return FColorLeftActive; }
    void SetColorLeftActive(TColor value) { FColorLeftActive = value; }
    TColor ColorLeftInActive() const { return FColorLeftInActive; }
    void SetColorLeftInActive(TColor value) { FColorLeftInActive = value; }
    TColor ColorRightActive() const { return FColorRightActive; }
    void SetColorRightActive(TColor value) { FColorRightActive = value; }
    TColor ColorRightInActive() const { return FColorRightInActive; }
    void SetColorRightInActive(TColor value) { FColorRightInActive = value; }
    TGradEnabled Enabled() const { return FEnabled; }
    void SetEnabled(TGradEnabled value) { FEnabled = value; }
    TJustification Justification() const { return FJustification; }
    void SetJustification(TJustification value) { FJustification = value; }
    int NumColors() const { return FNumColors; }
    // 0 or less is ignored; more than 256 stores 256.
    void SetNumColors(int value);
    TOnDrawCaption OnDrawCaption;

    QWidget* Form() const { return FForm; }
    const QFont& CaptionFont() const { return FCaptionFont; }
    bool Active() const { return FActive; }
    bool ActiveKnown() const { return FActiveKnown; }
    bool Hooked() const { return FHooked; }
    bool Recreating() const { return FRecreating; }
    // The native window hooked last.
    QWindow* HookedWindow() const { return FHookedWindow; }

    // Layout, in window coordinates: the frame's caption layout.
    TCaptionLayout CaptionLayout() const;
    TRect CaptionBarRect() const;
    TRect TextRect() const;
    TCaptionButtons CaptionButtonsPresent() const;
    // Whether the caption shows active: the last activation event, or the
    // window system's active window before the first one.
    bool IsActive() const;
    // Whether a gradient is drawn, by setting, activity and colour depth.
    static bool GradientWanted(TGradEnabled enabled, bool active, int bitsPerPixel);

    // Paints the caption bar onto DC (the window); returns the rectangle
    // painted, empty when nothing was.
    TRect PaintCaption(bool active, QPainter* dc);
    // Sets the form's caption from the visible parts.
    void ComposeFormCaption();
    // The caption font from the window system, and each part's font again.
    void ReloadCaptionFont();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class TAppHook;
    void Hook();
    void Unhook();
    void Rehook();
    void ForceFrameRepaint();
    void FillGradient(QPainter& painter, const TRect& rect, TColor left, TColor right);
    void DrawIcon(QPainter& painter, const TRect& place);
    void DrawParts(QPainter& painter, TRect text, bool active);

    QWidget* FForm = nullptr;
    QPointer<TNonClientFrame> FFrame;
    QPointer<QWindow> FHookedWindow;
    std::unique_ptr<TAppHook> FAppHook;
    bool FActive = true;
    bool FActiveKnown = false;
    bool FHooked = false;
    bool FRecreating = false;
    bool FDestroying = false;
    QFont FCaptionFont;

    std::unique_ptr<TAppNameText> FAppNameText;
    std::unique_ptr<TCaptionText> FCaptionText;
    std::unique_ptr<TCompanyText> FCompanyText;
    TColor FColorLeftActive = clBlack;
    TColor FColorLeftInActive = clBlack;
    TColor FColorRightActive = clActiveCaption;
    TColor FColorRightInActive = clInactiveCaption;
    TGradEnabled FEnabled = geSmart;
    TJustification FJustification = jAuto;
    int FNumColors = 64;
};
