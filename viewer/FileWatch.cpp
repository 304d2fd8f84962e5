#include "viewer/FileWatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace {

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

bool TFileWatch::TStamp::operator==(const TStamp& other) const {
    if (Exists != other.Exists) {
        return false;
    }
    return !Exists || (Device == other.Device && Inode == other.Inode && Size == other.Size &&
                       SameTime(Modified, other.Modified) && SameTime(Changed, other.Changed));
}

TFileWatch::TStamp TFileWatch::StampOf(const std::string& fileName) {
    struct stat status {};
    if (stat(fileName.c_str(), &status) != 0) {
        return {};
    }
    return {true, status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
}

TFileWatch::TFileWatch(QObject* parent) : QObject(parent) {
    quiet_.setSingleShot(true);
    quiet_.setInterval(kQuietMs);
    connect(&quiet_, &QTimer::timeout, this, [this] { Check(); });
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] { Check(); });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { quiet_.start(); });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { quiet_.start(); });
}

void TFileWatch::Follow(const std::string& fileName, const TStamp& stamp) {
    const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(fileName)));
    const QString path = info.absoluteFilePath();
    const QString folder = info.absolutePath();
    if (path != path_) {
        Stop();
    }
    fileName_ = fileName;
    path_ = path;
    folder_ = folder;
    stamp_ = stamp;
    SetMissing(!stamp.Exists);
    WatchPaths();
}

void TFileWatch::Stop() {
    if (!watcher_.files().isEmpty()) {
        watcher_.removePaths(watcher_.files());
    }
    if (!watcher_.directories().isEmpty()) {
        watcher_.removePaths(watcher_.directories());
    }
    quiet_.stop();
    fileName_.clear();
    path_.clear();
    folder_.clear();
    SetMissing(false);
}

void TFileWatch::WatchPaths() {
    // A file replaced or removed loses its watch; it is watched again once it is back.
    if (!watcher_.files().contains(path_) && QFileInfo::exists(path_)) {
        watcher_.addPath(path_);
    }
    if (!watcher_.directories().contains(folder_) && QFileInfo::exists(folder_)) {
        watcher_.addPath(folder_);
    }
}

void TFileWatch::Check() {
    if (fileName_.empty()) {
        return;
    }
    WatchPaths();
    const TStamp now = StampOf(fileName_);
    if (!now.Exists) {
        if (!missing_) {
            SetMissing(true);
            if (OnPresence) {
                OnPresence(false);
            }
        }
        return;
    }
    if (missing_) {
        SetMissing(false);
        if (OnPresence) {
            OnPresence(true);
        }
    }
    if (!(now == stamp_)) {
        stamp_ = now;
        if (OnChanged) {
            OnChanged();
        }
    }
}

void TFileWatch::SetMissing(bool missing) {
    missing_ = missing;
    if (missing) {
        poll_.start();
    } else {
        poll_.stop();
    }
}
