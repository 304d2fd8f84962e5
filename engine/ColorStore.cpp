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
    // A missing key keeps the colours in memory, and so does a store file that
    // cannot be parsed: its key is not accessible, and the viewer's start-up
    // reports the broken file once. A store that cannot be read at all (its
    // folder is a file, no permission) is reported: nobody else would.
    try {
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
    } catch (const ERegistryParseError&) {
        return;
    }
    registry.CloseKey();
}

void TPascalParser::SaveColors() {
    TRegistry registry;
    // A key that cannot be created saves nothing, silently; a store file that
    // cannot be parsed is reported and left as it is, so the user does not
    // believe the scheme saved.
    if (!registry.OpenKey(kPascalKey, true)) {
        return;
    }
    for (const TColorSlot& slot : ColorSlots) {
        registry.WriteString(std::string(slot.ValueName), ColorToString(slot.Color));
    }
    registry.CloseKey();
}
