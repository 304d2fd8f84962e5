// The colour scheme's persistence in the settings store.

#include "PascalParser.h"
#include "registry.h"

namespace {

const std::string PascalKey = "Software\\QD\\Lumivane\\Pascal";

} // namespace

void TPascalParser::LoadColors() {
    TRegistry registry;
    try {
        if (!registry.OpenKey(PascalKey, false)) {
            return;
        }
    } catch (const ERegistryException&) {
        // A key that cannot be read counts as missing: the colours in memory stay.
        return;
    }
    // A failure below leaves the slots read so far with their new colours.
    for (TColorSlot& slot : ColorSlots) {
        const std::string name(slot.ValueName);
        if (!registry.ValueExists(name)) {
            continue;
        }
        const std::string text = registry.ReadString(name);
        if (!text.empty()) {
            slot.Color = StringToColor(text);
        }
    }
    registry.CloseKey();
}

void TPascalParser::SaveColors() {
    TRegistry registry;
    try {
        if (!registry.OpenKey(PascalKey, true)) {
            return;
        }
    } catch (const ERegistryException&) {
        return; // nothing is saved, and nobody is told
    }
    for (const TColorSlot& slot : ColorSlots) {
        registry.WriteString(std::string(slot.ValueName), ColorToString(slot.Color));
    }
    registry.CloseKey();
}
