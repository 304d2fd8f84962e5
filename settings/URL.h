#pragma once
// A non-visual launcher that hands a link to the desktop: the user's mail
// program for "mailto:", the browser for "http://", and so on.

#include <QObject>
#include <QString>

enum class TURLType : unsigned char {
    utFile,
    utFtp,
    utGopher,
    utHttp,
    utHttps,
    utMailto,
    utNews,
    utTelnet,
    utWais
};

// The text put in front of the address for TYPE ("http://", "news:", ...).
QString URLPrefix(TURLType type);

// Results of ShellOpen: above kShellSuccessFloor the link was handed over.
constexpr int kShellSuccessFloor = 32;
constexpr int kShellOpened = 33;
constexpr int kShellNoAssociation = 31; // no program takes the link
constexpr int kShellBadLink = 2;        // the text is not a link

// Opens DOCUMENT with the program the desktop has for its scheme. Links of any
// length are passed whole: cutting one short would open another address.
int ShellOpen(const QString& document);

class TURL : public QObject {
    Q_OBJECT
public:
    explicit TURL(QObject* parent = nullptr);

    QString URL() const { return url_; }
    void SetURL(const QString& value);
    TURLType URLType() const { return urlType_; }
    void SetURLType(TURLType value);

    // Hands prefix + URL to the desktop. False when URL is empty (nothing is
    // started) or when the link could not be handed over.
    bool Launch();

private:
    QString url_;
    TURLType urlType_ = TURLType::utHttp;
};
