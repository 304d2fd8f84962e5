#pragma once
// A status bar that repaints cheaply while its window is resized: a size or
// position change invalidates only the strip at its right end, where the size
// grip sits and where a grown bar gains new pixels.

#include <QRegion>
#include <QString>
#include <QWidget>
#include <vector>

class QSizeGrip;

struct TStatusPanel {
    QString Text;
    int Width = 50; // the last panel reaches the right edge whatever its width
};

class TqdStatusBar98 : public QWidget {
    Q_OBJECT
public:
    explicit TqdStatusBar98(QWidget* parent = nullptr);

    void SetPanelCount(int count);
    int PanelCount() const { return static_cast<int>(panels_.size()); }
    const TStatusPanel& Panel(int index) const { return panels_.at(static_cast<size_t>(index)); }
    void SetPanelText(int index, const QString& text);
    void SetPanelWidth(int index, int width);
    QString PanelText(int index) const { return Panel(index).Text; }

    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool on);
    QString SimpleText() const { return simpleText_; }
    void SetSimpleText(const QString& text);

    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool on);

    // Repaint the whole bar on every size or position change.
    bool FullRepaint = false;
    // When an area is already waiting to be painted, fill the background of
    // the widened right strip as well.
    bool EraseBackground = true;

    // What the bar shows: the simple text, or the panels' texts one after another.
    QString ShownText() const;

    // The rectangle of panel INDEX (the whole bar in simple mode).
    QRect PanelRect(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void GeometryChanged();
    // Tells a listening screen reader that the text shown has changed.
    void AnnounceText();
    void Invalidate(const QRect& rect, bool erase);
    void PlaceGrip();

    std::vector<TStatusPanel> panels_{TStatusPanel{}};
    bool simplePanel_ = false;
    QString simpleText_;
    bool sizeGrip_ = true;
    QSizeGrip* grip_ = nullptr;
    QRegion pending_; // invalidated, not yet painted
    QRegion noErase_; // the part of pending_ painted over what is there
};
