#pragma once
// In-memory form of the settings store: a tree of keys holding values as raw
// typed bytes, the way the registry keeps them. Names compare without regard
// to ASCII case and keep the case they were created with. Each key indexes its
// values and subkeys by name, so a key with a hundred thousand values loads
// and changes in linear time.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;
constexpr std::uint32_t kRegQword = 11;

// The registry's own limits.
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxValueNameLength = 16383;
constexpr std::size_t kMaxKeyDepth = 512;

bool NamesEqual(std::string_view a, std::string_view b);

struct RegValue {
    std::string name; // "" is the key's default value
    std::uint32_t type = kRegSz;
    std::string data; // bytes as stored: strings end with their NUL, a DWORD is 4 bytes
};

RegValue StringValue(std::string name, std::string_view text);
RegValue DwordValue(std::string name, std::int32_t number);
// The number of a 4-byte value, read little-endian.
std::int32_t DwordOf(const RegValue& value);
// The text of a string value: its bytes up to the first NUL.
std::string TextOf(const RegValue& value);

class RegKey {
public:
    RegKey() = default;
    explicit RegKey(std::string name) : name_(std::move(name)) {}

    const std::string& Name() const { return name_; }
    const std::vector<RegValue>& Values() const { return values_; } // in the order created
    const std::vector<RegKey>& Subkeys() const { return subkeys_; } // likewise

    const RegValue* FindValue(std::string_view valueName) const;
    RegKey* FindSubkey(std::string_view keyName);
    const RegKey* FindSubkey(std::string_view keyName) const;
    // Replaces a value of the same name in place (keeping its name's case);
    // false when the stored value was already exactly this.
    bool SetValue(RegValue value);
    bool DeleteValue(std::string_view valueName);
    // False when there was none.
    bool DeleteAllValues();
    // The subkey of that name, created at the end when missing.
    RegKey& Subkey(std::string_view keyName, bool* created = nullptr);
    bool DeleteSubkey(std::string_view keyName);

private:
    std::string name_;
    std::vector<RegValue> values_;
    std::vector<RegKey> subkeys_;
    // Open-addressed hash tables over the names, without regard to case: a
    // slot holds a position in values_ or subkeys_ plus one, 0 when empty.
    std::vector<std::uint32_t> valueSlots_;
    std::vector<std::uint32_t> subkeySlots_;
};

using KeyPath = std::vector<std::string>;

// Splits "Software\QD\Lumivane" into its names. One leading and one trailing
// "\" are allowed; an empty name or a name the registry would refuse throws.
KeyPath SplitKeyPath(std::string_view path);
std::string JoinKeyPath(const KeyPath& path);

// Throw ERegistryException with a clear message for names the registry refuses.
void CheckKeyName(std::string_view name);
void CheckValueName(std::string_view name);

// nullptr when a key on the path is missing. storedPath receives the names
// in their stored case.
const RegKey* FindKey(const RegKey& root, const KeyPath& path, KeyPath* storedPath = nullptr);
RegKey* FindKey(RegKey& root, const KeyPath& path, KeyPath* storedPath = nullptr);
// Creates every missing key on the path; created tells whether any was.
RegKey& CreateKey(RegKey& root, const KeyPath& path, bool* created = nullptr,
                  KeyPath* storedPath = nullptr);

// A name as it may appear inside an error message: quoted, and shortened.
std::string QuoteName(std::string_view name);

} // namespace platform
