#pragma once
// The about box: borderless and on top of other windows, a grey-to-button-face
// gradient with the program's name and release, the copyright notice, and the
// authors' e-mail and web addresses as links. OK (Alt+O) closes it.

#include <QDialog>
#include <QLabel>

class TExplorerButton;
class TNetGradient;
class TURL;
class QWidget;

// A label that reports a click of the left button. Tab reaches it too, and
// Enter or Space click it then; it shows the focus only when reached so.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(QWidget* parent = nullptr);

    // Where the link leads ("mailto:..."), for screen readers.
    QString Target;

signals:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool keyboardFocus_ = false;
};

class TqdAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TqdAboutBox(QWidget* owner = nullptr);

    // Components, in the order of the form.
    TNetGradient* NetGradient1;
    QLabel* lbProgName;
    QLabel* lbProgVersion;
    QLabel* lbCopyright;
    QLabel* lbEMail1;
    TLinkLabel* lbEMail2;
    QLabel* lbWWW1;
    TLinkLabel* lbWWW2;
    QWidget* bvlSeperator;
    TExplorerButton* ExplorerButton1;
    TURL* URL1;

    // Handlers.
    void FormCreate();
    void lbEMail2Click();
    void lbWWW2Click();
    void ExplorerButton1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateComponents();
};
