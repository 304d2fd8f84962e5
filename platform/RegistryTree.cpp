#include "platform/RegistryTree.h"

#include "platform/Registry.h"

#include <algorithm>

namespace regstore {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

template <typename Key> Key* FindKeyIn(Key& root, const KeyPath& path, KeyPath* storedPath) {
    Key* key = &root;
    if (storedPath)
        storedPath->clear();
    for (const std::string& name : path) {
        key = key->FindSubkey(name);
        if (!key)
            return nullptr;
        if (storedPath)
            storedPath->push_back(key->name);
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
    RegValue value{std::move(name), RegSz, std::string(text)};
    value.data.push_back('\0');
    return value;
}

RegValue DwordValue(std::string name, std::int32_t number) {
    const auto bits = static_cast<std::uint32_t>(number);
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[static_cast<std::size_t>(i)] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    return RegValue{std::move(name), RegDword, std::move(data)};
}

std::int32_t DwordOf(const RegValue& value) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4 && i < value.data.size(); ++i)
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(value.data[i])) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

std::string TextOf(const RegValue& value) {
    return value.data.substr(0, value.data.find('\0'));
}

const RegValue* RegKey::FindValue(std::string_view valueName) const {
    for (const RegValue& value : values)
        if (NamesEqual(value.name, valueName))
            return &value;
    return nullptr;
}

RegKey* RegKey::FindSubkey(std::string_view keyName) {
    for (RegKey& key : subkeys)
        if (NamesEqual(key.name, keyName))
            return &key;
    return nullptr;
}

const RegKey* RegKey::FindSubkey(std::string_view keyName) const {
    return const_cast<RegKey*>(this)->FindSubkey(keyName);
}

bool RegKey::SetValue(RegValue value) {
    for (RegValue& stored : values) {
        if (NamesEqual(stored.name, value.name)) {
            if (stored.type == value.type && stored.data == value.data)
                return false;
            stored.type = value.type;
            stored.data = std::move(value.data);
            return true;
        }
    }
    values.push_back(std::move(value));
    return true;
}

bool RegKey::DeleteValue(std::string_view valueName) {
    return std::erase_if(values, [&](const RegValue& v) { return NamesEqual(v.name, valueName); }) >
           0;
}

bool RegKey::DeleteSubkey(std::string_view keyName) {
    return std::erase_if(subkeys, [&](const RegKey& k) { return NamesEqual(k.name, keyName); }) > 0;
}

std::string QuoteName(std::string_view name) {
    constexpr std::size_t shown = 60;
    if (name.size() <= shown)
        return "'" + std::string(name) + "'";
    return "'" + std::string(name.substr(0, shown)) + "...'";
}

void CheckKeyName(std::string_view name) {
    if (name.empty())
        throw ERegistryException("Invalid key name: a key name cannot be empty");
    if (name.size() > MaxKeyNameLength)
        throw ERegistryException("Key name too long (" + std::to_string(name.size()) +
                                 " characters, at most " + std::to_string(MaxKeyNameLength) +
                                 "): " + QuoteName(name));
    if (std::any_of(name.begin(), name.end(), IsControl))
        throw ERegistryException("Invalid key name " + QuoteName(name) +
                                 ": control characters are not allowed");
}

void CheckValueName(std::string_view name) {
    if (name.size() > MaxValueNameLength)
        throw ERegistryException("Value name too long (" + std::to_string(name.size()) +
                                 " characters, at most " + std::to_string(MaxValueNameLength) +
                                 "): " + QuoteName(name));
    if (std::any_of(name.begin(), name.end(), IsControl))
        throw ERegistryException("Invalid value name " + QuoteName(name) +
                                 ": control characters are not allowed");
}

KeyPath SplitKeyPath(std::string_view path) {
    if (path.starts_with('\\'))
        path.remove_prefix(1);
    if (path.ends_with('\\'))
        path.remove_suffix(1);
    KeyPath names;
    if (path.empty())
        return names;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('\\', start);
        const std::string_view name = path.substr(start, end - start);
        if (name.empty())
            throw ERegistryException("Invalid key path " + QuoteName(path) +
                                     ": it contains an empty key name");
        CheckKeyName(name);
        names.emplace_back(name);
        if (names.size() > MaxKeyDepth)
            throw ERegistryException("Key path too deep (more than " + std::to_string(MaxKeyDepth) +
                                     " levels)");
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return names;
}

std::string JoinKeyPath(const KeyPath& path) {
    std::string joined;
    for (const std::string& name : path) {
        if (!joined.empty())
            joined += '\\';
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
    if (created)
        *created = false;
    if (storedPath)
        storedPath->clear();
    RegKey* key = &root;
    for (const std::string& name : path) {
        RegKey* sub = key->FindSubkey(name);
        if (!sub) {
            key->subkeys.push_back(RegKey{name, {}, {}});
            sub = &key->subkeys.back();
            if (created)
                *created = true;
        }
        if (storedPath)
            storedPath->push_back(sub->name);
        key = sub;
    }
    return *key;
}

} // namespace regstore
