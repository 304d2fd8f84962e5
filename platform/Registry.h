#pragma once
// The per-user settings store: a tree of keys holding typed values, kept in a
// registry-export text file ("REGEDIT4"). Mirrors what the program needs of a
// registry accessor under HKEY_CURRENT_USER.
//
// Every opening of a key reads the file as it is now; every write is a locked
// read-modify-write that replaces the file atomically.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {
class RegKey;
struct RegValue;
} // namespace platform

// Errors raised by the store. The message always names the file or the value.
class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The store file is there and readable but is no store: its text cannot be
// parsed. Readers may take it for a store they cannot access; writers refuse it.
class ERegistryParseError : public ERegistryException {
public:
    using ERegistryException::ERegistryException;
};

// Value types as the registry numbers them; any other type read from the file
// is kept as it is.
enum class TRegDataType : std::uint32_t {
    kNone = 0,
    kString = 1, // REG_SZ
    kExpandString = 2,
    kBinary = 3,
    kDWord = 4, // REG_DWORD
    kMultiString = 7,
    kQWord = 11,
};

// Where the store lives: $LUMIVANE_REGISTRY, else $XDG_CONFIG_HOME/lumivane/user.reg,
// else ~/.config/lumivane/user.reg.
std::filesystem::path DefaultRegistryFile();

// Short-lived accessor with root HKEY_CURRENT_USER. Releasing it closes its key.
// Key paths are relative to the root, separated by "\" ("Software\QD\Lumivane");
// names compare case-insensitively and keep the case they were created with.
// A key name longer than 255 characters or a value name longer than 16,383, or
// one holding control characters, is refused with an ERegistryException.
//
// Every call reads the file as it is now, so another accessor's (or process's)
// writes are seen at once. Read errors: "Could not get data for 'NAME'" and
// "Invalid data type for 'NAME'"; write errors start "Could not set data for
// 'NAME'" and give the cause. A file that cannot be parsed makes every call
// that reads it throw, naming the file and the line.
class TRegistry {
public:
    TRegistry(); // the default store file
    explicit TRegistry(std::filesystem::path storeFile);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    const std::filesystem::path& StoreFile() const { return storeFile_; }

    // Opens KEY as the current key. Without canCreate a missing key gives false.
    // With canCreate every missing key on the path is created (and written);
    // false when the store cannot be written, and the next write reports why.
    bool OpenKey(const std::string& key, bool canCreate);
    void CloseKey();
    bool HasCurrentKey() const { return open_; }
    const std::string& CurrentPath() const { return currentPath_; }

    bool KeyExists(const std::string& key);
    // Deletes KEY with everything below it; false when it does not exist.
    bool DeleteKey(const std::string& key);

    // The following act on the current key; "" names its default value.
    // Without a current key, reads fail as for a missing value and writes fail.
    bool ValueExists(const std::string& name);
    TRegDataType GetDataType(const std::string& name); // None when missing
    // REG_DWORD only. Another type is the data-type error when its data fits in
    // 4 bytes and the read error when it is longer; a missing value is the read error.
    std::int32_t ReadInteger(const std::string& name);
    // REG_SZ or REG_EXPAND_SZ, up to the first NUL; a missing value is the read error.
    std::string ReadString(const std::string& name);
    void WriteInteger(const std::string& name, std::int32_t value);
    void WriteString(const std::string& name, const std::string& value);
    bool DeleteValue(const std::string& name);
    std::vector<std::string> GetValueNames();
    std::vector<std::string> GetKeyNames();

private:
    // Runs READ on the current key in the file as it is now; not at all when
    // no key is open or the key has gone.
    void ReadCurrentKey(const std::function<void(const platform::RegKey&)>& read);
    // The current key's value in the file as it is now; nothing when the key
    // or the value is missing.
    std::optional<platform::RegValue> FindCurrentValue(const std::string& name);
    // One locked read-modify-write on the current key; every failure becomes
    // the write error naming the value.
    void ChangeCurrentKey(const std::string& name,
                          const std::function<bool(platform::RegKey&)>& change);

    std::filesystem::path storeFile_;
    std::string currentPath_;
    bool open_ = false;
    std::string openError_; // why the last OpenKey with canCreate failed
};
