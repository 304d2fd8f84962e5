#pragma once
// The chrome components' property setters: a value is stored only when it
// differs, and only then does the component repaint or lay itself out again.

#include <utility>

// Stores VALUE in FIELD when it differs from it; whether it did.
template <class T, class U> bool StoreIfChanged(T& field, U&& value) {
    if (field == value) {
        return false;
    }
    field = std::forward<U>(value);
    return true;
}
