#pragma once
// Everything that puts a file into the view once the window is up: the open
// command, a file dropped on the window, and a reload, by hand (F5) or when
// the file on show changes on disk. All go the open command's way: converted
// or shown as it is, on a worker while the window waits (see TOpenRunner);
// a file that cannot be shown leaves the view, the name and the status as
// they were. The start-up conversion and a load under way are never
// disturbed: a change seen meanwhile is reloaded once they are over.

#include "viewer/FileWatch.h"
#include "viewer/OpenRunner.h"

#include <QObject>
#include <string>

class TGuiThread;
class TStartupConversion;
class TStatusIndicator;
class TfrmMain;

class TFileLoader : public QObject {
    Q_OBJECT
public:
    TFileLoader(TfrmMain& form, TStartupConversion& startup, TGuiThread& gui);
    ~TFileLoader() override;

    // The open command's load: FILENAME replaces what the view shows. Throws,
    // changing nothing, when it cannot be shown.
    void Open(const std::string& fileName);
    // The current file again, with the caret on its line and the same first
    // line shown. Nothing while the start-up conversion or a load runs.
    void Reload();
    // Follows the file of the start-up conversion, which has just begun.
    void FollowStartupFile(const std::string& fileName);

    // A load or the start-up conversion has the view.
    bool Busy() const;
    const TFileWatch& Watch() const { return watch_; }
    const TStatusIndicator& Indicator() const { return *indicator_; }

    // What the status bar says while the file on show is gone from the disk.
    static constexpr const char* kGoneNote = "File gone from the disk";

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load(const std::string& fileName, bool keepPlace);
    void FileChanged();
    void StartupSettled(bool shown);
    void ReloadSeenChange();

    TfrmMain& form_;
    TStartupConversion& startup_;
    TStatusIndicator* indicator_; // a child of the status bar
    TFileWatch watch_;
    TOpenRunner runner_;
    // The file that changed while the view was busy; reloaded when it is free.
    std::string changedWhileBusy_;
};
