#pragma once
// The modeless find dialog: find text, match case, whole word and a Find Next
// button. The direction is always forward, so none is offered.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;

class TFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFindDialog(QWidget* parent = nullptr);

    QString FindText() const;
    void SetFindText(const QString& text);
    bool MatchCase() const;
    void SetMatchCase(bool on);
    bool WholeWord() const;
    void SetWholeWord(bool on);

    // Shows the dialog without blocking its owner, or brings it to the front.
    void Execute();

    QPushButton* FindNextButton() const { return findNext_; }

signals:
    // The user asked for the next match.
    void Find();

private:
    QLineEdit* findText_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QPushButton* findNext_;
};
