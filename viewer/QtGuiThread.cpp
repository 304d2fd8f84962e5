#include "viewer/QtGuiThread.h"

#include "viewer/Application.h"

#include <QCoreApplication>
#include <QMetaObject>

void TQtGuiThread::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [task = std::move(task)] { TApplication::Guarded(task); },
        Qt::QueuedConnection);
}
