#pragma once
// Tells when the file on show changes on disk, goes, or comes back. Watches
// the file and its folder: editors save by writing a new file and renaming it
// over the old one, which a watch on the old file alone does not see. Changes
// come in bursts while a file is written; they are looked at once things have
// been quiet for a moment.

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <ctime>
#include <functional>
#include <string>
#include <sys/types.h>

class TFileWatch : public QObject {
    Q_OBJECT
public:
    // What says that a file is not the one seen before.
    struct TStamp {
        bool Exists = false;
        dev_t Device = 0;
        ino_t Inode = 0;
        off_t Size = 0;
        timespec Modified{};
        timespec Changed{}; // the inode's own change: permissions, links
        bool operator==(const TStamp& other) const;
    };
    static TStamp StampOf(const std::string& fileName);

    explicit TFileWatch(QObject* parent = nullptr);

    // Watches FILENAME, as it was when STAMP was taken.
    void Follow(const std::string& fileName, const TStamp& stamp);
    // Watches nothing.
    void Stop();
    const std::string& FileName() const { return fileName_; }
    bool Missing() const { return missing_; }

    // The file there now is not the one seen before.
    std::function<void()> OnChanged;
    // The file has gone from the disk (false) or is there again (true).
    std::function<void(bool present)> OnPresence;

    // How long changes must have stopped before they are looked at.
    static constexpr int kQuietMs = 100;
    static constexpr int kPollMs = 1000;

private:
    void Check();
    void WatchPaths();
    void SetMissing(bool missing);

    QFileSystemWatcher watcher_;
    QTimer quiet_;
    QTimer poll_; // while the file is gone: its folder may have gone with it
    std::string fileName_;
    QString path_;   // absolute, for the watcher
    QString folder_; // absolute
    TStamp stamp_;
    bool missing_ = false;
};
