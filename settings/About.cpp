#include "settings/About.h"

#include "platform/qt/QtColor.h"
#include "settings/NetGradient.h"
#include "settings/ProductInfo.h"
#include "settings/URL.h"
#include "widgets/explbtn/explbtn.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {

constexpr TColor kBlack = 0x000000;
constexpr TColor kNavy = 0x800000;

constexpr int kClientWidth = 313;
constexpr int kClientHeight = 247;

// A raised line along the top: light over dark.
class TTopLineBevel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(0, 0, width(), 1, ToQColor(clBtnHighlight));
        painter.fillRect(0, 1, width(), 1, ToQColor(clBtnShadow));
    }
};

QFont SansSerif(int pixelHeight, bool bold) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

void SetTextColor(QWidget* widget, TColor color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, ToQColor(color));
    widget->setPalette(palette);
}

QLabel* AddLabel(QWidget* parent, int left, int top, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

TLinkLabel* AddLink(QWidget* parent, int left, int top) {
    auto* label = new TLinkLabel(parent);
    label->move(left, top);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    SetTextColor(label, kNavy);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

// Labels size themselves to their text; the version keeps its right edge.
void SetCaption(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

} // namespace

TLinkLabel::TLinkLabel(QWidget* parent) : QLabel(parent) {
    setFocusPolicy(Qt::TabFocus);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit Click();
    }
    QLabel::mouseReleaseEvent(event);
}

void TLinkLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    // Only once Tab has brought the focus here: the box opens with the focus
    // on this label, and Enter then must not start the mail program.
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && keyboardFocus_ &&
        !event->isAutoRepeat()) {
        emit Click();
        return;
    }
    QLabel::keyPressEvent(event);
}

void TLinkLabel::focusInEvent(QFocusEvent* event) {
    // The box gives its first control the focus as it opens; only a move by
    // the keyboard shows the frame.
    keyboardFocus_ =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    update();
    QLabel::focusInEvent(event);
}

void TLinkLabel::focusOutEvent(QFocusEvent* event) {
    keyboardFocus_ = false;
    update();
    QLabel::focusOutEvent(event);
}

void TLinkLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!keyboardFocus_ || !hasFocus()) {
        return;
    }
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect();
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

TqdAboutBox::TqdAboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    CreateComponents();
    FormCreate();
}

void TqdAboutBox::CreateComponents() {
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(SansSerif(11, false));
    SetTextColor(this, kBlack);

    NetGradient1 = new TNetGradient(this);
    NetGradient1->setGeometry(0, 0, kClientWidth, kClientHeight);
    NetGradient1->SetFont(SansSerif(11, true));
    NetGradient1->SetFontColor(kBlack);
    NetGradient1->SetCaption(QStringLiteral(" "));

    lbProgName = AddLabel(this, 24, 8);
    lbProgName->setFont(SansSerif(19, true));
    lbProgVersion = AddLabel(this, 0, 16);
    lbCopyright = AddLabel(this, 24, 48, QString::fromUtf8(settings::kCopyright));
    lbEMail1 = AddLabel(this, 24, 64, QStringLiteral("email:"));
    lbEMail2 = AddLink(this, 56, 64);
    lbWWW1 = AddLabel(this, 24, 80, QStringLiteral("www:"));
    lbWWW2 = AddLink(this, 56, 80);
    connect(lbEMail2, &TLinkLabel::Click, this, [this] { lbEMail2Click(); });
    connect(lbWWW2, &TLinkLabel::Click, this, [this] { lbWWW2Click(); });

    bvlSeperator = new TTopLineBevel(this);
    bvlSeperator->setGeometry(24, 208, 265, 9);

    ExplorerButton1 = new TExplorerButton(this);
    ExplorerButton1->setGeometry(264, 216, 25, 25);
    ExplorerButton1->SetFontColor(kBlack);
    ExplorerButton1->SetCaption(QStringLiteral("&OK"));
    ExplorerButton1->OnClick = [this] { ExplorerButton1Click(); };

    URL1 = new TURL(this);
}

void TqdAboutBox::FormCreate() {
    SetCaption(lbProgName, QString::fromUtf8(settings::kProgramName));
    SetCaption(lbProgVersion, QString::fromUtf8(settings::kRelease));
    lbProgVersion->move(290 - lbProgVersion->width(), lbProgVersion->y());
    SetCaption(lbEMail2, QString::fromUtf8(settings::kAuthorEMail));
    SetCaption(lbWWW2, URLPrefix(TURLType::utHttp) + QString::fromUtf8(settings::kAuthorWeb));
    lbEMail2->Target = URLPrefix(TURLType::utMailto) + QString::fromUtf8(settings::kAuthorEMail);
    lbWWW2->Target = lbWWW2->text();
}

void TqdAboutBox::lbEMail2Click() {
    URL1->SetURLType(TURLType::utMailto);
    URL1->SetURL(QString::fromUtf8(settings::kAuthorEMail));
    URL1->Launch();
}

void TqdAboutBox::lbWWW2Click() {
    URL1->SetURLType(TURLType::utHttp);
    URL1->SetURL(QString::fromUtf8(settings::kAuthorWeb));
    URL1->Launch();
}

void TqdAboutBox::ExplorerButton1Click() {
    accept();
}

void TqdAboutBox::showEvent(QShowEvent* event) {
    const QScreen* where = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (where != nullptr) {
        move(where->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}
