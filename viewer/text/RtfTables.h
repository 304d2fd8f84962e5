#pragma once
// The RTF reader's font and colour tables: entries as the document's header
// defines them, looked up by number while the body is read.

#include "viewer/text/RtfDocument.h"
#include "viewer/text/SymbolFonts.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace text {

struct TFontEntry {
    TRtfFont Font;
    int CodePage = 0;                      // \cpg, else what \fcharset names; 0: the document's
    bool CodePageNamed = false;            // \cpg given: \fcharset no longer decides
    bool SymbolCharset = false;            // \fcharset2
    const TSymbolTable* Symbols = nullptr; // a symbol font this reader knows
    int ModelIndex = -1;                   // index in the document's fonts once used
};

// The table of a symbol font by its name (Symbol, Wingdings), null for others.
const TSymbolTable* SymbolFontNamed(std::string_view name);

class TRtfFontTable {
public:
    // \fN inside the font table: an entry starts, the one before it ends.
    void Begin(int number);
    // The entry being read, null between entries.
    TFontEntry* Reading() { return open_ ? &entry_ : nullptr; }
    // More of the entry's name, UTF-8.
    void AppendName(std::string_view text) {
        if (open_) {
            name_ += text;
        }
    }
    // The entry being read ends (";" or the end of its group).
    void Commit();

    // \deffN.
    void SetDefault(int number);
    int Default() const { return default_; }
    // Entry NUMBER (-1: the default font), null when the table has none.
    const TFontEntry* Find(int number) const;
    // Entry NUMBER's index in DOC's fonts, added on first use; -1 for none.
    int ModelFont(int number, TRtfDocument& doc);
    // Counts every change of what a number names: cached formats go stale.
    unsigned Generation() const { return generation_; }

private:
    std::unordered_map<int, TFontEntry> fonts_;
    int default_ = 0;
    unsigned generation_ = 0;
    bool open_ = false;
    int number_ = 0;
    TFontEntry entry_;
    std::string name_;
};

class TRtfColorTable {
public:
    // \red, \green, \blue (CHANNEL 0, 1, 2) of the entry being read.
    void SetChannel(int channel, int value);
    // ";": the entry ends; one without channels is the automatic colour.
    void Commit();
    // Entry NUMBER, kNoColor outside the table.
    TColor Numbered(int number) const;

private:
    std::vector<TColor> colors_;
    std::array<int, 3> channels_{};
    bool given_ = false;
};

} // namespace text
