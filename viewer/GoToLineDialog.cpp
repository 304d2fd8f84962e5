#include "viewer/GoToLineDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TGoToLineDialog::TGoToLineDialog(QWidget* parent, int lastLine)
    : QDialog(parent), lastLine_(lastLine) {
    setWindowTitle("Go to line");
    setAccessibleName("Go to line");
    auto* layout = new QVBoxLayout(this);
    const QString range = QString("&Line number (1 - %1):").arg(lastLine);
    auto* label = new QLabel(range, this);
    edit_ = new QLineEdit(this);
    edit_->setAccessibleName("Line number");
    edit_->setAccessibleDescription(QString("A number from 1 to %1").arg(lastLine));
    label->setBuddy(edit_);
    message_ = new QLabel(this);
    message_->setAccessibleName("Message");
    message_->setWordWrap(true);
    message_->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName("OK");
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName("Cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &TGoToLineDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TGoToLineDialog::reject);
    layout->addWidget(label);
    layout->addWidget(edit_);
    layout->addWidget(message_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    edit_->setFocus();
}

void TGoToLineDialog::accept() {
    bool number = false;
    const int line = edit_->text().trimmed().toInt(&number);
    if (!number || line < 1 || line > lastLine_) {
        message_->setText(QString("\"%1\" is not a line number. Enter a number from 1 to %2.")
                              .arg(edit_->text().trimmed())
                              .arg(lastLine_));
        message_->show();
        edit_->selectAll();
        edit_->setFocus();
        return;
    }
    line_ = line;
    QDialog::accept();
}
