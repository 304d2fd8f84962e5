#pragma once
// Storage for the millions of small numbers a large document is made of (its
// characters, the formats of its runs): one byte each while every value fits
// in a byte, the wide type from the first one that does not. Most documents
// never need more than a byte, and so take half or a quarter of the memory.

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

namespace text {

// A random-access iterator over a container whose operator[] gives values.
template <typename Container, typename Value> class TIndexIterator {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = Value;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Value;

    TIndexIterator() = default;
    TIndexIterator(const Container* items, std::size_t index) : items_(items), index_(index) {}

    Value operator*() const { return (*items_)[index_]; }
    Value operator[](difference_type n) const {
        return (*items_)[static_cast<std::size_t>(static_cast<difference_type>(index_) + n)];
    }
    TIndexIterator& operator++() {
        ++index_;
        return *this;
    }
    TIndexIterator operator++(int) {
        TIndexIterator was = *this;
        ++index_;
        return was;
    }
    TIndexIterator& operator--() {
        --index_;
        return *this;
    }
    TIndexIterator operator--(int) {
        TIndexIterator was = *this;
        --index_;
        return was;
    }
    TIndexIterator& operator+=(difference_type n) {
        index_ = static_cast<std::size_t>(static_cast<difference_type>(index_) + n);
        return *this;
    }
    TIndexIterator& operator-=(difference_type n) { return *this += -n; }
    friend TIndexIterator operator+(TIndexIterator it, difference_type n) { return it += n; }
    friend TIndexIterator operator+(difference_type n, TIndexIterator it) { return it += n; }
    friend TIndexIterator operator-(TIndexIterator it, difference_type n) { return it -= n; }
    friend difference_type operator-(const TIndexIterator& a, const TIndexIterator& b) {
        return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
    }
    friend bool operator==(const TIndexIterator& a, const TIndexIterator& b) {
        return a.index_ == b.index_;
    }
    friend auto operator<=>(const TIndexIterator& a, const TIndexIterator& b) {
        return a.index_ <=> b.index_;
    }

private:
    const Container* items_ = nullptr;
    std::size_t index_ = 0;
};

template <typename Wide> class TPackedArray {
public:
    using const_iterator = TIndexIterator<TPackedArray, Wide>;

    std::size_t size() const { return wide_ ? wideItems_.size() : narrowItems_.size(); }
    bool empty() const { return size() == 0; }
    Wide operator[](std::size_t i) const { return wide_ ? wideItems_[i] : narrowItems_[i]; }
    Wide back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // Room for COUNT values without moving the ones held, in either width.
    void reserve(std::size_t count) {
        if (wide_) {
            wideItems_.reserve(count);
        } else {
            narrowItems_.reserve(count);
        }
    }
    void push_back(Wide value) {
        if (!wide_) {
            if (value <= 0xFF) {
                narrowItems_.push_back(static_cast<std::uint8_t>(value));
                return;
            }
            Widen();
        }
        wideItems_.push_back(value);
    }
    // Appends COUNT values of one byte each.
    void AppendNarrow(const std::uint8_t* values, std::size_t count) {
        if (wide_) {
            wideItems_.insert(wideItems_.end(), values, values + count);
        } else {
            narrowItems_.insert(narrowItems_.end(), values, values + count);
        }
    }
    void pop_back() {
        if (wide_) {
            wideItems_.pop_back();
        } else {
            narrowItems_.pop_back();
        }
    }
    void clear() {
        narrowItems_ = {};
        wideItems_ = {};
        wide_ = false;
    }
    // Empty again, keeping the memory of the width in use for the next values.
    void ClearKeepingMemory() {
        narrowItems_.clear();
        wideItems_.clear();
        wide_ = false;
    }

    // The values as stored: one byte each unless IsWide.
    bool IsWide() const { return wide_; }
    const std::uint8_t* NarrowData() const { return narrowItems_.data(); }
    const Wide* WideData() const { return wideItems_.data(); }

    friend bool operator==(const TPackedArray& a, const TPackedArray& b) {
        if (a.wide_ == b.wide_) {
            return a.narrowItems_ == b.narrowItems_ && a.wideItems_ == b.wideItems_;
        }
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
    }

private:
    void Widen() {
        // The room reserved for the narrow values is kept for the wide ones.
        wideItems_.reserve(std::max(narrowItems_.capacity(), narrowItems_.size() + 1));
        wideItems_.assign(narrowItems_.begin(), narrowItems_.end());
        narrowItems_ = {};
        wide_ = true;
    }

    std::vector<std::uint8_t> narrowItems_;
    std::vector<Wide> wideItems_;
    bool wide_ = false;
};

} // namespace text
