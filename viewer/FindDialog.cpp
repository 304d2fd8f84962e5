#include "viewer/FindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Find");
    setModal(false);

    auto* label = new QLabel("Fi&nd what:", this);
    findText_ = new QLineEdit(this);
    label->setBuddy(findText_);
    wholeWord_ = new QCheckBox("Match &whole word only", this);
    matchCase_ = new QCheckBox("Match &case", this);
    findNext_ = new QPushButton("&Find Next", this);
    findNext_->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNext_);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(findText_, 0, 1);
    layout->addWidget(wholeWord_, 1, 0, 1, 2);
    layout->addWidget(matchCase_, 2, 0, 1, 2);
    layout->addLayout(buttons, 0, 2, 3, 1);

    // Nothing to look for while the text is empty.
    findNext_->setEnabled(false);
    connect(findText_, &QLineEdit::textChanged, this,
            [this](const QString& text) { findNext_->setEnabled(!text.isEmpty()); });
    connect(findNext_, &QPushButton::clicked, this, &TFindDialog::Find);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

QString TFindDialog::FindText() const {
    return findText_->text();
}
void TFindDialog::SetFindText(const QString& text) {
    findText_->setText(text);
}
bool TFindDialog::MatchCase() const {
    return matchCase_->isChecked();
}
void TFindDialog::SetMatchCase(bool on) {
    matchCase_->setChecked(on);
}
bool TFindDialog::WholeWord() const {
    return wholeWord_->isChecked();
}
void TFindDialog::SetWholeWord(bool on) {
    wholeWord_->setChecked(on);
}

void TFindDialog::Execute() {
    show();
    raise();
    activateWindow();
    findText_->setFocus();
    findText_->selectAll();
}
