#include "viewer/text/RtfLists.h"

#include <algorithm>
#include <array>

namespace {

// Word offers nine levels; deeper \ilvl numbers share the last.
constexpr std::size_t kMaxLevels = 9;
// Numbers beyond this are written in decimal: roman and letters would grow without bound.
constexpr int kMaxStyledNumber = 4999;
// Bounds that keep a hostile document's lists, and the numbers it makes the
// reader write, in proportion to its size.
constexpr std::size_t kMaxLists = 4096;
constexpr std::size_t kMaxNumberText = 24;
constexpr int kMaxCount = 1'000'000;

std::u16string Roman(int number, bool upper) {
    static constexpr std::array<std::pair<int, const char*>, 13> kParts = {{{1000, "m"},
                                                                            {900, "cm"},
                                                                            {500, "d"},
                                                                            {400, "cd"},
                                                                            {100, "c"},
                                                                            {90, "xc"},
                                                                            {50, "l"},
                                                                            {40, "xl"},
                                                                            {10, "x"},
                                                                            {9, "ix"},
                                                                            {5, "v"},
                                                                            {4, "iv"},
                                                                            {1, "i"}}};
    std::u16string out;
    for (const auto& [value, letters] : kParts) {
        for (; number >= value; number -= value) {
            for (const char* p = letters; *p; ++p) {
                out.push_back(static_cast<char16_t>(upper ? *p - 'a' + 'A' : *p));
            }
        }
    }
    return out;
}

// a..z, then aa..zz, aaa..: the letter repeated once more each round.
std::u16string Letters(int number, bool upper) {
    const int letter = (number - 1) % 26;
    const int times = (number - 1) / 26 + 1;
    return std::u16string(static_cast<std::size_t>(times),
                          static_cast<char16_t>((upper ? u'A' : u'a') + letter));
}

std::u16string Decimal(int number) {
    std::u16string out;
    for (const char c : std::to_string(number)) {
        out.push_back(static_cast<char16_t>(c));
    }
    return out;
}

} // namespace

namespace text {

std::u16string FormatListNumber(int number, int style) {
    const bool styled = number >= 1 && number <= kMaxStyledNumber;
    switch (static_cast<TNumberStyle>(style)) {
    case TNumberStyle::kUpperRoman:
    case TNumberStyle::kLowerRoman:
        return styled ? Roman(number, style == static_cast<int>(TNumberStyle::kUpperRoman))
                      : Decimal(number);
    case TNumberStyle::kUpperLetter:
    case TNumberStyle::kLowerLetter:
        return styled ? Letters(number, style == static_cast<int>(TNumberStyle::kUpperLetter))
                      : Decimal(number);
    case TNumberStyle::kLeadingZero: {
        std::u16string digits = Decimal(number);
        if (number >= 0 && number < 10) {
            digits.insert(digits.begin(), u'0');
        }
        return digits;
    }
    case TNumberStyle::kBullet:
    case TNumberStyle::kNone:
        return {};
    default:
        return Decimal(number);
    }
}

void TRtfListTable::BeginList() {
    reading_ = lists_.size() < kMaxLists ? TReading::kList : TReading::kNothing;
    if (reading_ == TReading::kList) {
        lists_.emplace_back();
    }
}

void TRtfListTable::BeginLevel() {
    if (reading_ == TReading::kList && !lists_.empty() &&
        lists_.back().Levels.size() < kMaxLevels) {
        lists_.back().Levels.emplace_back();
    }
}

void TRtfListTable::AppendLevelText(char16_t ch) {
    Set([&](TLevel& l) {
        if (l.Text.size() < 64) {
            l.Text.push_back(ch);
        }
    });
}

void TRtfListTable::AppendLevelNumber(unsigned char place) {
    Set([&](TLevel& l) {
        if (l.Places.size() < kMaxLevels) {
            l.Places.push_back(place);
        }
    });
}

void TRtfListTable::SetListId(int id) {
    if (reading_ == TReading::kList && !lists_.empty()) {
        ids_[id] = lists_.size() - 1;
    } else if (reading_ == TReading::kOverride) {
        overrideList_ = id;
    }
}

void TRtfListTable::BeginOverride() {
    reading_ = TReading::kOverride;
    overrideList_ = 0;
}

void TRtfListTable::SetOverrideNumber(int ls) {
    if (reading_ == TReading::kOverride && overrides_.size() < kMaxLists) {
        overrides_[ls] = overrideList_;
    }
}

TRtfListTable::TList* TRtfListTable::ListOfOverride(int ls) {
    const auto found = overrides_.find(ls);
    if (found == overrides_.end()) {
        return nullptr;
    }
    const auto list = ids_.find(found->second);
    return list == ids_.end() ? nullptr : &lists_[list->second];
}

std::u16string TRtfListTable::NextNumber(int ls, int level) {
    TList* list = ListOfOverride(ls);
    if (!list || list->Levels.empty()) {
        return {};
    }
    const std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(std::max(level, 0)),
                                                 list->Levels.size() - 1);
    list->Counts.resize(list->Levels.size(), -1);
    const auto start = [&](std::size_t i) {
        return std::clamp(list->Levels[i].Start, 0, kMaxCount);
    };
    for (std::size_t i = 0; i < at; ++i) {
        if (list->Counts[i] < 0) { // a higher level not used yet shows its start
            list->Counts[i] = start(i);
        }
    }
    int& count = list->Counts[at];
    count = count < 0 ? start(at) : std::min(count + 1, kMaxCount);
    std::fill(list->Counts.begin() + static_cast<std::ptrdiff_t>(at) + 1, list->Counts.end(), -1);

    const TLevel& shown = list->Levels[at];
    // The text's first character is its length; the ";" after it ends the group.
    std::size_t available = shown.Text.empty() ? 0 : shown.Text.size() - 1;
    if (available > 0 && shown.Text.back() == u';' && shown.Text[0] >= available) {
        --available;
    }
    const std::size_t length =
        shown.Text.empty() ? 0 : std::min<std::size_t>(shown.Text[0], available);
    std::u16string out;
    for (std::size_t i = 1; i <= length; ++i) {
        const char16_t ch = shown.Text[i];
        const bool place =
            std::find(shown.Places.begin(), shown.Places.end(), i) != shown.Places.end();
        if (place && ch < list->Levels.size()) {
            out += FormatListNumber(std::max(list->Counts[ch], 0), list->Levels[ch].Style);
        } else if (shown.Symbols && (ch & 0xFF00) == 0xF000 && (*shown.Symbols)[ch & 0xFF]) {
            out.push_back((*shown.Symbols)[ch & 0xFF]);
        } else if (shown.Symbols && ch < 0x100 && (*shown.Symbols)[ch]) {
            out.push_back((*shown.Symbols)[ch]);
        } else if (!place) {
            out.push_back(ch);
        }
    }
    if (out.size() > kMaxNumberText) {
        out.resize(kMaxNumberText);
    }
    if (shown.Follow == 0) {
        out.push_back(u'\t');
    } else if (shown.Follow == 1) {
        out.push_back(u' ');
    }
    return out;
}

} // namespace text
