#include "settings/URL.h"

#include <QDesktopServices>
#include <QUrl>
#include <array>

namespace {

// In the order of TURLType.
constexpr std::array<const char*, 9> kPrefixes = {
    "file://", "ftp://", "gopher://", "http://", "https://", "mailto:", "news:", "telnet:", "wais:",
};

} // namespace

QString URLPrefix(TURLType type) {
    return QString::fromLatin1(kPrefixes[static_cast<size_t>(type)]);
}

int ShellOpen(const QString& document) {
    // Through the desktop's handler for the scheme, never a command line.
    const QUrl url(document, QUrl::StrictMode);
    if (document.isEmpty() || !url.isValid() || url.scheme().isEmpty()) {
        return kShellBadLink;
    }
    return QDesktopServices::openUrl(url) ? kShellOpened : kShellNoAssociation;
}

TURL::TURL(QObject* parent) : QObject(parent) {}

void TURL::SetURL(const QString& value) {
    if (value != url_) {
        url_ = value;
    }
}

void TURL::SetURLType(TURLType value) {
    if (value != urlType_) {
        urlType_ = value;
    }
}

bool TURL::Launch() {
    if (url_.isEmpty()) {
        return false;
    }
    return ShellOpen(URLPrefix(urlType_) + url_) > kShellSuccessFloor;
}
