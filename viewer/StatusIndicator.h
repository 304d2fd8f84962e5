#pragma once
// What the status bar says beside the file's path, at its right end: how far
// an open has come, and a note about the file shown (that it has gone from
// the disk). Hidden while there is nothing to say.

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;

class TStatusIndicator : public QWidget {
    Q_OBJECT
public:
    // Lives on BAR and follows its size.
    explicit TStatusIndicator(QWidget& bar);

    // PERMILLE thousandths done.
    void ShowProgress(int perMille);
    void HideProgress();
    bool ProgressShown() const;
    int ProgressPerMille() const;

    // An empty note hides it.
    void SetNote(const QString& text);
    QString Note() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();

    QWidget& bar_;
    QLabel* note_;
    QProgressBar* progress_;
};
