#pragma once
// The RTF reader's view of its bytes: the reading position, control-word
// names and parameters, \bin data, and skipping a group whole.

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace text {

inline bool IsRtfLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsRtfDigit(char c) {
    return c >= '0' && c <= '9';
}

class TRtfScanner {
protected:
    explicit TRtfScanner(std::string_view data) : data_(data) {}

    std::string_view data_;
    std::size_t pos_ = 0;

    // Steps over the rest of a group (its opening brace already read) and its
    // closing brace, reading nothing but braces, escapes and \bin data.
    void SkipBalanced() {
        std::size_t depth = 0;
        while (pos_ < data_.size()) {
            const char c = data_[pos_++];
            if (c == '{') {
                ++depth;
            } else if (c == '}') {
                if (depth == 0) {
                    return;
                }
                --depth;
            } else if (c == '\\' && pos_ < data_.size()) {
                if (!IsRtfLetter(data_[pos_])) {
                    ++pos_;
                    continue;
                }
                const std::string_view word = ReadLetters();
                bool hasParam = false;
                const int param = ReadParameter(hasParam);
                if (word == "bin") {
                    SkipBinary(param);
                }
            }
        }
    }

    // The name of a control word: the letters from the reading position on.
    std::string_view ReadLetters() {
        const std::size_t start = pos_;
        while (pos_ < data_.size() && IsRtfLetter(data_[pos_])) {
            ++pos_;
        }
        return data_.substr(start, pos_ - start);
    }

    // The numeric parameter after a control word, saturated to int; and its delimiter.
    int ReadParameter(bool& hasParam) {
        bool negative = false;
        if (pos_ + 1 < data_.size() && data_[pos_] == '-' && IsRtfDigit(data_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        std::int64_t value = 0;
        hasParam = false;
        while (pos_ < data_.size() && IsRtfDigit(data_[pos_])) {
            hasParam = true;
            if (value <= INT_MAX) {
                value = value * 10 + (data_[pos_] - '0');
            }
            ++pos_;
        }
        if (pos_ < data_.size() && data_[pos_] == ' ') {
            ++pos_;
        }
        value = std::min<std::int64_t>(value, INT_MAX);
        return static_cast<int>(negative ? -value : value);
    }

    void SkipBinary(int count) {
        if (count > 0) {
            pos_ += std::min<std::size_t>(static_cast<std::size_t>(count), data_.size() - pos_);
        }
    }

    // The name of the control word at the reading position, without moving; empty for none.
    std::string_view PeekWord() const {
        if (pos_ >= data_.size() || data_[pos_] != '\\') {
            return {};
        }
        std::size_t end = pos_ + 1;
        while (end < data_.size() && IsRtfLetter(data_[end])) {
            ++end;
        }
        return data_.substr(pos_ + 1, end - pos_ - 1);
    }
};

} // namespace text
