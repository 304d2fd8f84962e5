#include "settings/Placement.h"

#include "platform/Registry.h"

const char* const kProductKey = "Software\\QD\\Lumivane";
const char* const kPositionKey = "Software\\QD\\Lumivane\\Position";
const char* const kInstallMessage = "Lumivane 98 not installed.\nPlease run install first.";

namespace {

std::int32_t StoredStartPos(TRegistry& registry) {
    return registry.ValueExists("StartPos") ? registry.ReadInteger("StartPos") : 0;
}

} // namespace

void ApplyStartupPlacement(TPlacementWindow& window) {
    TRegistry registry;
    if (!registry.OpenKey(kPositionKey, false)) {
        return;
    }
    switch (StoredStartPos(registry)) {
    case static_cast<std::int32_t>(TStartMode::kFull):
        window.SetPosition(TPlacementWindow::Position::poDefault);
        window.SetWindowState(TPlacementWindow::State::wsMaximized);
        break;
    case static_cast<std::int32_t>(TStartMode::kSaved):
        window.SetPosition(TPlacementWindow::Position::poDesigned);
        window.SetWindowState(TPlacementWindow::State::wsNormal);
        // One at a time, so a value that fails to read leaves the earlier ones applied.
        if (registry.ValueExists("X1")) {
            window.SetLeft(registry.ReadInteger("X1"));
        }
        if (registry.ValueExists("Y1")) {
            window.SetTop(registry.ReadInteger("Y1"));
        }
        if (registry.ValueExists("X2")) {
            window.SetWidth(registry.ReadInteger("X2"));
        }
        if (registry.ValueExists("Y2")) {
            window.SetHeight(registry.ReadInteger("Y2"));
        }
        break;
    default:
        break; // keeps the designed, centred placement
    }
}

TStartMode ReadStartMode() {
    TRegistry registry;
    if (!registry.KeyExists(kPositionKey) || !registry.OpenKey(kPositionKey, false)) {
        return TStartMode::kDefault;
    }
    switch (StoredStartPos(registry)) {
    case static_cast<std::int32_t>(TStartMode::kFull):
        return TStartMode::kFull;
    case static_cast<std::int32_t>(TStartMode::kSaved):
        return TStartMode::kSaved;
    default:
        return TStartMode::kDefault;
    }
}

bool InstallCheck() {
    return TRegistry().KeyExists(kProductKey);
}

bool WriteStartMode(TStartMode mode) {
    if (!InstallCheck()) {
        return false;
    }
    TRegistry registry;
    registry.OpenKey(kPositionKey, true); // a failure shows as the write error below
    registry.WriteInteger("StartPos", static_cast<std::int32_t>(mode));
    return true;
}

bool SavePosition(const TPlacementWindow& window) {
    if (!InstallCheck()) {
        return false;
    }
    TRegistry registry;
    registry.OpenKey(kPositionKey, true); // a failure shows as the write error below
    registry.WriteInteger("X1", window.Left());
    registry.WriteInteger("Y1", window.Top());
    registry.WriteInteger("X2", window.Width());
    registry.WriteInteger("Y2", window.Height());
    return true;
}
