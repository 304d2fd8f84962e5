#include "viewer/text/RtfTables.h"

#include <algorithm>
#include <cctype>

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

namespace text {

const TSymbolTable* SymbolFontNamed(std::string_view name) {
    if (SameName(name, "Symbol")) {
        return &kSymbolFont;
    }
    if (SameName(name, "Wingdings")) {
        return &kWingdingsFont;
    }
    return nullptr;
}

void TRtfFontTable::Begin(int number) {
    Commit();
    open_ = true;
    number_ = number;
}

void TRtfFontTable::Commit() {
    if (!open_) {
        return;
    }
    const auto first = name_.find_first_not_of(' ');
    const auto last = name_.find_last_not_of(' ');
    entry_.Font.Name = first == std::string::npos ? "" : name_.substr(first, last - first + 1);
    if (entry_.SymbolCharset) {
        entry_.Symbols = SymbolFontNamed(entry_.Font.Name);
    }
    fonts_[number_] = entry_;
    ++generation_;
    open_ = false;
    entry_ = TFontEntry{};
    name_.clear();
}

void TRtfFontTable::SetDefault(int number) {
    default_ = number;
    ++generation_;
}

const TFontEntry* TRtfFontTable::Find(int number) const {
    const auto it = fonts_.find(number < 0 ? default_ : number);
    return it == fonts_.end() ? nullptr : &it->second;
}

int TRtfFontTable::ModelFont(int number, TRtfDocument& doc) {
    const auto it = fonts_.find(number < 0 ? default_ : number);
    if (it == fonts_.end()) {
        return -1;
    }
    if (it->second.ModelIndex < 0) {
        it->second.ModelIndex = doc.FontIndex(it->second.Font);
    }
    return it->second.ModelIndex;
}

void TRtfColorTable::SetChannel(int channel, int value) {
    channels_[static_cast<std::size_t>(channel)] = std::clamp(value, 0, 255);
    given_ = true;
}

void TRtfColorTable::Commit() {
    colors_.push_back(given_ ? RgbColor(channels_[0], channels_[1], channels_[2]) : kNoColor);
    channels_ = {};
    given_ = false;
}

TColor TRtfColorTable::Numbered(int number) const {
    if (number < 0 || static_cast<std::size_t>(number) >= colors_.size()) {
        return kNoColor;
    }
    return colors_[static_cast<std::size_t>(number)];
}

} // namespace text
