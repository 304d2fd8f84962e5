#include "platform/RegistryTree.h"

#include "platform/NameQuoting.h"
#include "platform/Registry.h"

#include <algorithm>

namespace platform {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// FNV-1a over the name with ASCII letters folded, so names that compare
// equal hash equal.
std::uint64_t NameHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(LowerAscii(c))) * 1099511628211ull;
    }
    return hash;
}

const std::string& NameOf(const RegValue& value) {
    return value.name;
}

const std::string& NameOf(const RegKey& key) {
    return key.Name();
}

using TSlots = std::vector<std::uint32_t>;

// The slot holding NAME, or the empty slot where it would go. The table is at
// most half full, so the probe always ends.
template <typename Item>
std::size_t SlotOf(const TSlots& slots, const std::vector<Item>& items, std::string_view name) {
    const std::size_t mask = slots.size() - 1;
    std::size_t slot = static_cast<std::size_t>(NameHash(name)) & mask;
    while (slots[slot] != 0 && !NamesEqual(NameOf(items[slots[slot] - 1]), name)) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

template <typename Item> void Rebuild(TSlots& slots, const std::vector<Item>& items) {
    std::size_t size = 16;
    while (size < 2 * items.size()) {
        size *= 2;
    }
    slots.assign(size, 0);
    for (std::size_t i = 0; i < items.size(); ++i) {
        slots[SlotOf(slots, items, NameOf(items[i]))] = static_cast<std::uint32_t>(i + 1);
    }
}

template <typename Item>
const Item* FindIndexed(const TSlots& slots, const std::vector<Item>& items,
                        std::string_view name) {
    if (slots.empty()) {
        return nullptr;
    }
    const std::uint32_t entry = slots[SlotOf(slots, items, name)];
    return entry == 0 ? nullptr : &items[entry - 1];
}

// Indexes the item just added at the end; the table doubles when it would
// become more than half full, so adding n items costs O(n) in all.
template <typename Item> void IndexLast(TSlots& slots, const std::vector<Item>& items) {
    if (slots.size() < 2 * items.size()) {
        Rebuild(slots, items);
        return;
    }
    slots[SlotOf(slots, items, NameOf(items.back()))] = static_cast<std::uint32_t>(items.size());
}

// Removes the named item; the later ones move up, so the table is rebuilt.
template <typename Item>
bool EraseIndexed(TSlots& slots, std::vector<Item>& items, std::string_view name) {
    const Item* item = FindIndexed(slots, items, name);
    if (item == nullptr) {
        return false;
    }
    items.erase(items.begin() + (item - items.data()));
    Rebuild(slots, items);
    return true;
}

// KIND is "Key" or "Value", as the messages start.
void CheckName(std::string_view name, const std::string& kind, std::size_t maxLength) {
    if (name.size() > maxLength) {
        throw ERegistryException(kind + " name too long (" + std::to_string(name.size()) +
                                 " characters, at most " + std::to_string(maxLength) +
                                 "): " + QuoteName(name));
    }
    if (std::any_of(name.begin(), name.end(), IsControl)) {
        std::string lower = kind;
        lower[0] = LowerAscii(lower[0]);
        throw ERegistryException("Invalid " + lower + " name " + QuoteName(name) +
                                 ": control characters are not allowed");
    }
}

template <typename Key> Key* FindKeyIn(Key& root, const KeyPath& path, KeyPath* storedPath) {
    Key* key = &root;
    if (storedPath) {
        storedPath->clear();
    }
    for (const std::string& name : path) {
        key = key->FindSubkey(name);
        if (!key) {
            return nullptr;
        }
        if (storedPath) {
            storedPath->push_back(key->Name());
        }
    }
    return key;
}

} // namespace

bool NamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

RegValue StringValue(std::string name, std::string_view text) {
    RegValue value{std::move(name), kRegSz, std::string(text)};
    value.data.push_back('\0');
    return value;
}

RegValue DwordValue(std::string name, std::int32_t number) {
    const auto bits = static_cast<std::uint32_t>(number);
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) {
        data[static_cast<std::size_t>(i)] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
    return RegValue{std::move(name), kRegDword, std::move(data)};
}

std::int32_t DwordOf(const RegValue& value) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4 && i < value.data.size(); ++i) {
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(value.data[i])) << (8 * i);
    }
    return static_cast<std::int32_t>(bits);
}

std::string TextOf(const RegValue& value) {
    return value.data.substr(0, value.data.find('\0'));
}

const RegValue* RegKey::FindValue(std::string_view valueName) const {
    return FindIndexed(valueSlots_, values_, valueName);
}

RegKey* RegKey::FindSubkey(std::string_view keyName) {
    return const_cast<RegKey*>(FindIndexed(subkeySlots_, subkeys_, keyName));
}

const RegKey* RegKey::FindSubkey(std::string_view keyName) const {
    return FindIndexed(subkeySlots_, subkeys_, keyName);
}

bool RegKey::SetValue(RegValue value) {
    if (const RegValue* found = FindValue(value.name)) {
        RegValue& stored = values_[static_cast<std::size_t>(found - values_.data())];
        if (stored.type == value.type && stored.data == value.data) {
            return false;
        }
        stored.type = value.type;
        stored.data = std::move(value.data);
        return true;
    }
    values_.push_back(std::move(value));
    IndexLast(valueSlots_, values_);
    return true;
}

bool RegKey::DeleteValue(std::string_view valueName) {
    return EraseIndexed(valueSlots_, values_, valueName);
}

bool RegKey::DeleteAllValues() {
    const bool had = !values_.empty();
    values_.clear();
    valueSlots_.clear();
    return had;
}

RegKey& RegKey::Subkey(std::string_view keyName, bool* created) {
    const RegKey* found = FindSubkey(keyName);
    if (created) {
        *created = found == nullptr;
    }
    if (found) {
        return subkeys_[static_cast<std::size_t>(found - subkeys_.data())];
    }
    subkeys_.emplace_back(std::string(keyName));
    IndexLast(subkeySlots_, subkeys_);
    return subkeys_.back();
}

bool RegKey::DeleteSubkey(std::string_view keyName) {
    return EraseIndexed(subkeySlots_, subkeys_, keyName);
}

std::string QuoteName(std::string_view name) {
    constexpr std::size_t kShown = 60;
    // Appended piece by piece: "'" + std::string(...) sends GCC 12 at -O3 into
    // a false overlap warning inside std::string::insert.
    std::string quoted = "'";
    const std::string_view shown = name.substr(0, kShown);
    quoted.append(HasControlCharacters(shown) ? EscapedName(shown) : std::string(shown));
    if (name.size() > kShown) {
        quoted += "...";
    }
    quoted += '\'';
    return quoted;
}

void CheckKeyName(std::string_view name) {
    if (name.empty()) {
        throw ERegistryException("Invalid key name: a key name cannot be empty");
    }
    CheckName(name, "Key", kMaxKeyNameLength);
}

void CheckValueName(std::string_view name) {
    CheckName(name, "Value", kMaxValueNameLength);
}

KeyPath SplitKeyPath(std::string_view path) {
    if (path.starts_with('\\')) {
        path.remove_prefix(1);
    }
    if (path.ends_with('\\')) {
        path.remove_suffix(1);
    }
    KeyPath names;
    if (path.empty()) {
        return names;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('\\', start);
        const std::string_view name = path.substr(start, end - start);
        if (name.empty()) {
            throw ERegistryException("Invalid key path " + QuoteName(path) +
                                     ": it contains an empty key name");
        }
        CheckKeyName(name);
        names.emplace_back(name);
        if (names.size() > kMaxKeyDepth) {
            throw ERegistryException("Key path too deep (more than " +
                                     std::to_string(kMaxKeyDepth) + " levels)");
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return names;
}

std::string JoinKeyPath(const KeyPath& path) {
    std::string joined;
    for (const std::string& name : path) {
        if (!joined.empty()) {
            joined += '\\';
        }
        joined += name;
    }
    return joined;
}

const RegKey* FindKey(const RegKey& root, const KeyPath& path, KeyPath* storedPath) {
    return FindKeyIn(root, path, storedPath);
}

RegKey* FindKey(RegKey& root, const KeyPath& path, KeyPath* storedPath) {
    return FindKeyIn(root, path, storedPath);
}

RegKey& CreateKey(RegKey& root, const KeyPath& path, bool* created, KeyPath* storedPath) {
    if (created) {
        *created = false;
    }
    if (storedPath) {
        storedPath->clear();
    }
    RegKey* key = &root;
    for (const std::string& name : path) {
        bool added = false;
        key = &key->Subkey(name, &added);
        if (created && added) {
            *created = true;
        }
        if (storedPath) {
            storedPath->push_back(key->Name());
        }
    }
    return *key;
}

} // namespace platform
