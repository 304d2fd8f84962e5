#include "viewer/SaveFormats.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// True when NAME ends with one of PATTERNS' extensions ("*.a;*.b").
bool HasExtensionOf(const std::string& name, std::string_view patterns) {
    while (!patterns.empty()) {
        const std::size_t end = std::min(patterns.find(';'), patterns.size());
        const std::string_view pattern = patterns.substr(0, end);
        if (pattern.starts_with("*") && name.ends_with(Lower(pattern.substr(1)))) {
            return true;
        }
        patterns.remove_prefix(std::min(end + 1, patterns.size()));
    }
    return false;
}

} // namespace

std::string SaveFilter() {
    std::string filter;
    for (const TSaveFormatChoice& choice : kSaveFormats) {
        filter += filter.empty() ? "" : "|";
        filter += std::string(choice.Description) + "|" + choice.Patterns;
    }
    return filter;
}

TSaveFormat SaveFormatFor(std::string_view fileName, std::ptrdiff_t chosen) {
    const std::string name = Lower(fileName);
    for (const TSaveFormatChoice& choice : kSaveFormats) {
        if (HasExtensionOf(name, choice.Patterns)) {
            return choice.Format;
        }
    }
    if (chosen < 0 || chosen >= std::ssize(kSaveFormats)) {
        chosen = 0;
    }
    return kSaveFormats[chosen].Format;
}
