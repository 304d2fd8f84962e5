#include "viewer/text/RtfFields.h"

#include <cctype>
#include <vector>

namespace {

// The words of an instruction: quoted text is one word without its quotes.
std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        std::string word;
        if (text[i] == '"') {
            const std::size_t end = text.find('"', i + 1);
            const std::size_t stop = end == std::string_view::npos ? text.size() : end;
            word = text.substr(i + 1, stop - i - 1);
            i = stop + 1;
        } else {
            while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) {
                word.push_back(text[i++]);
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

// A decimal or 0x hexadecimal code up to U+FFFF; -1 otherwise.
int CodeOf(const std::string& word) {
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    if (word.empty() || word.size() > 8) {
        return -1;
    }
    int value = 0;
    for (std::size_t i = hex ? 2 : 0; i < word.size(); ++i) {
        const int digit = std::isdigit(static_cast<unsigned char>(word[i]))
                              ? word[i] - '0'
                              : (hex && std::isxdigit(static_cast<unsigned char>(word[i]))
                                     ? std::tolower(static_cast<unsigned char>(word[i])) - 'a' + 10
                                     : -1);
        if (digit < 0) {
            return -1;
        }
        value = value * (hex ? 16 : 10) + digit;
    }
    return value > 0 && value <= 0xFFFF ? value : -1;
}

bool IsSymbolWord(const std::string& word) {
    if (word.size() != 6) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(word[i])) != "SYMBOL"[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

namespace text {

std::optional<TSymbolField> ParseSymbolField(std::string_view instruction) {
    const std::vector<std::string> words = Words(instruction);
    if (words.size() < 2 || !IsSymbolWord(words[0])) {
        return std::nullopt;
    }
    TSymbolField field;
    field.Code = CodeOf(words[1]);
    if (field.Code < 0) {
        return std::nullopt;
    }
    for (std::size_t i = 2; i < words.size(); ++i) {
        const std::string& w = words[i];
        if ((w == "\\f" || w == "\\F") && i + 1 < words.size()) {
            field.Font = words[++i];
        } else if (w == "\\u" || w == "\\U") {
            field.Unicode = true;
        }
    }
    field.Unicode = field.Unicode || field.Code > 0xFF;
    return field;
}

} // namespace text
