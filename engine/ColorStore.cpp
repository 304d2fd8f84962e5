// The colour scheme's persistence in the settings store.

#include "engine/PascalParser.h"
#include "platform/Registry.h"

#include <stdexcept>

namespace {

const std::string kPascalKey = "Software\\QD\\Lumivane\\Pascal";

// A value the user may have typed by hand: the error says where it is and what
// would have been taken, so it can be mended without reading the code.
TColor ColorFromStore(const TRegistry& registry, const std::string& name, const std::string& text) {
    try {
        return StringToColor(text);
    } catch (const std::invalid_argument& error) {
        throw std::invalid_argument(registry.StoreFile().string() + ": HKCU\\" + kPascalKey +
                                    ", value " + name + ": " + error.what() +
                                    "; expected a colour name such as clNavy or a number "
                                    "such as $00FF0000");
    }
}

} // namespace

void TPascalParser::LoadColors() {
    TRegistry registry;
    // A missing key keeps the colours in memory. A store file that cannot be
    // parsed is not a missing key: its error (file and line) goes to the caller.
    if (!registry.OpenKey(kPascalKey, false)) {
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
            slot.Color = ColorFromStore(registry, name, text);
        }
    }
    registry.CloseKey();
}

void TPascalParser::SaveColors() {
    TRegistry registry;
    // A key that cannot be created saves nothing, silently; a store file that
    // cannot be parsed is reported, so the user does not believe the scheme saved.
    if (!registry.OpenKey(kPascalKey, true)) {
        return;
    }
    for (const TColorSlot& slot : ColorSlots) {
        registry.WriteString(std::string(slot.ValueName), ColorToString(slot.Color));
    }
    registry.CloseKey();
}
