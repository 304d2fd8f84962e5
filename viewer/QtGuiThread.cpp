#include "QtGuiThread.h"

#include "Application.h"

#include <QCoreApplication>
#include <QMetaObject>

void TQtGuiThread::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [task = std::move(task)] { TApplication::Guarded(task); },
        Qt::QueuedConnection);
}
