#include "viewer/ViewSettings.h"

#include "platform/Registry.h"
#include "settings/Placement.h"

#include <algorithm>
#include <array>

const char* const kViewKey = "Software\\QD\\Lumivane\\View";

namespace {

// Finer steps near the document's own size, where most reading happens.
constexpr std::array<int, 14> kZoomSteps{50,  67,  75,  80,  90,  100, 110,
                                         125, 150, 175, 200, 250, 300, 400};

// The stored integer NAME, if the key and the value exist.
bool ReadStored(const char* name, int& value) {
    TRegistry registry;
    if (!registry.OpenKey(kViewKey, false) || !registry.ValueExists(name)) {
        return false;
    }
    value = registry.ReadInteger(name);
    return true;
}

bool WriteStored(const char* name, int value) {
    TRegistry registry;
    if (!registry.KeyExists(kProductKey)) {
        return false;
    }
    registry.OpenKey(kViewKey, true); // a failure shows as the write error below
    registry.WriteInteger(name, value);
    return true;
}

} // namespace

int ZoomStepIn(int percent) {
    const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
    return next == kZoomSteps.end() ? kMaxZoom : *next;
}

int ZoomStepOut(int percent) {
    const auto next = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
    return next == kZoomSteps.begin() ? kMinZoom : *(next - 1);
}

int ReadZoom() {
    int percent = kNormalZoom;
    ReadStored("Zoom", percent);
    return std::clamp(percent, kMinZoom, kMaxZoom);
}

bool ReadLineNumbers() {
    int shown = 0;
    ReadStored("LineNumbers", shown);
    return shown != 0;
}

bool WriteZoom(int percent) {
    return WriteStored("Zoom", std::clamp(percent, kMinZoom, kMaxZoom));
}

bool WriteLineNumbers(bool shown) {
    return WriteStored("LineNumbers", shown ? 1 : 0);
}
