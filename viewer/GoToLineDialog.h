#pragma once
// The small dialog that asks for a line to go to: a number from 1 to the last
// line. A bad entry keeps it open and says what is wanted.

#include <QDialog>

class QLabel;
class QLineEdit;

class TGoToLineDialog : public QDialog {
    Q_OBJECT
public:
    TGoToLineDialog(QWidget* parent, int lastLine);

    // The line chosen, from 1; valid once the dialog was accepted.
    int Line() const { return line_; }
    QLineEdit* Edit() const { return edit_; }
    QLabel* Message() const { return message_; }

    void accept() override;

private:
    int lastLine_;
    int line_ = 0;
    QLineEdit* edit_;
    QLabel* message_;
};
