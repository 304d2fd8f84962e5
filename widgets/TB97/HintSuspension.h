#pragma once
// Keeps the application's hints (tool tips) from showing while alive: the one
// showing is taken away and no new one comes up until the suspension ends.

#include <QObject>

namespace tb97 {

class THintSuspension : public QObject {
public:
    THintSuspension();
    ~THintSuspension() override;
    THintSuspension(const THintSuspension&) = delete;
    THintSuspension& operator=(const THintSuspension&) = delete;

    // Whether any suspension is in force.
    static bool Active();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tb97
