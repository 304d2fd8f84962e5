#pragma once
// A gap between toolbar buttons, drawn as an etched line or left blank. Its
// line runs across the toolbar's row: vertical in a horizontal or floating
// toolbar, horizontal in a side dock.

#include <QWidget>

class TToolbar97;

class TToolbarSep97 : public QWidget {
    Q_OBJECT
public:
    // PARENT must be a toolbar, or null.
    explicit TToolbarSep97(QWidget* parent = nullptr);

    bool Blank() const { return FBlank; }
    void SetBlank(bool value);
    // Width in a horizontal or floating toolbar, height in a vertical one (1 or more).
    int SizeHorz() const { return FSizeHorz; }
    void SetSizeHorz(int value);
    int SizeVert() const { return FSizeVert; }
    void SetSizeVert(int value);

    // Moves the separator to another toolbar (or none).
    void SetParentToolbar(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void PassToToolbar(QMouseEvent* event);
    TToolbar97* Toolbar() const;
    void Rearrange();

    bool FBlank = false;
    int FSizeHorz = 6;
    int FSizeVert = 6;
};
