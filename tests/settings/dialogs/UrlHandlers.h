#pragma once
// Stands in for the desktop's programs: records every link handed over for
// the schemes it is installed for, so nothing real is started.

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

class TRecordingHandler : public QObject {
    Q_OBJECT
public:
    static inline const QStringList kSchemes = {"file",   "ftp",  "gopher", "http", "https",
                                                "mailto", "news", "telnet", "wais"};

    TRecordingHandler() {
        for (const QString& scheme : kSchemes) {
            QDesktopServices::setUrlHandler(scheme, this, "Open");
        }
    }
    ~TRecordingHandler() override {
        for (const QString& scheme : kSchemes) {
            QDesktopServices::unsetUrlHandler(scheme);
        }
    }
    // Installs, for every scheme, a handler the desktop cannot call: each
    // link handed over fails.
    void Fail() {
        for (const QString& scheme : kSchemes) {
            QDesktopServices::setUrlHandler(scheme, this, "NoSuchHandler");
        }
    }

    QStringList Opened;

public slots:
    void Open(const QUrl& url) { Opened << url.toString(); }
};
