#pragma once
// Start-up placement, start mode and the install check, over the settings
// store. No Qt: the main window is reached through TPlacementWindow.

#include <cstdint>
#include <string>

class TRegistry;

// What placement needs of the main window.
class TPlacementWindow {
public:
    enum class Position { poDesigned, poDefault, poScreenCenter };
    enum class State { wsNormal, wsMaximized, wsMinimized };

    virtual ~TPlacementWindow() = default;
    virtual void SetPosition(Position position) = 0;
    virtual void SetWindowState(State state) = 0;
    virtual void SetLeft(int left) = 0;
    virtual void SetTop(int top) = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    // Outer rectangle as the window reports it now (normal rectangle when minimised).
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

enum class TStartMode : std::int32_t { kDefault = 0, kFull = 1, kSaved = 2 };

extern const char* const kProductKey;     // "Software\QD\Lumivane"
extern const char* const kPositionKey;    // "Software\QD\Lumivane\Position"
extern const char* const kInstallMessage; // the two lines, joined by one LF

// Errors of the store (a value of the wrong type, a file that cannot be read)
// propagate as ERegistryException; values applied before the failing one stay.
void ApplyStartupPlacement(TPlacementWindow& window);
// The mode the setup dialog presets, or Default when the key is missing.
TStartMode ReadStartMode();
bool InstallCheck();
// Both return false (writing nothing) when the install check fails; the
// caller shows kInstallMessage as an error box. A write the store refuses
// throws ERegistryException ("Could not set data for 'NAME': ...").
bool WriteStartMode(TStartMode mode);
bool SavePosition(const TPlacementWindow& window);
