#include "platform/Registry.h"

#include "platform/RegistryFile.h"
#include "platform/RegistryTree.h"

using namespace platform;

namespace {

std::string ReadFailed(const std::string& name) {
    return "Could not get data for " + QuoteName(name);
}

std::string WrongType(const std::string& name) {
    return "Invalid data type for " + QuoteName(name);
}

std::string WriteFailed(const std::string& name) {
    return "Could not set data for " + QuoteName(name);
}

} // namespace

TRegistry::TRegistry() : TRegistry(DefaultRegistryFile()) {}

TRegistry::TRegistry(std::filesystem::path storeFile) : storeFile_(std::move(storeFile)) {}

TRegistry::~TRegistry() {
    CloseKey();
}

void TRegistry::ReadCurrentKey(const std::function<void(const RegKey&)>& read) {
    if (!open_) {
        return;
    }
    const RegKey root = LoadStore(storeFile_);
    if (const RegKey* key = FindKey(root, SplitKeyPath(currentPath_))) {
        read(*key);
    }
}

std::optional<RegValue> TRegistry::FindCurrentValue(const std::string& name) {
    CheckValueName(name);
    std::optional<RegValue> found;
    ReadCurrentKey([&](const RegKey& key) {
        if (const RegValue* value = key.FindValue(name)) {
            found = *value;
        }
    });
    return found;
}

void TRegistry::ChangeCurrentKey(const std::string& name,
                                 const std::function<bool(RegKey&)>& change) {
    CheckValueName(name);
    if (!open_) {
        throw ERegistryException(WriteFailed(name) + ": " +
                                 (openError_.empty() ? "no key is open" : openError_));
    }
    try {
        UpdateStore(storeFile_, [&](RegKey& root) {
            RegKey* key = FindKey(root, SplitKeyPath(currentPath_));
            if (!key) {
                throw ERegistryException("the key " + QuoteName(currentPath_) +
                                         " no longer exists");
            }
            return change(*key);
        });
    } catch (const ERegistryException& error) {
        throw ERegistryException(WriteFailed(name) + ": " + error.what());
    }
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    CloseKey();
    const KeyPath path = SplitKeyPath(key);
    KeyPath stored;
    const bool exists = FindKey(LoadStore(storeFile_), path, &stored) != nullptr;
    if (!exists && canCreate) {
        try {
            UpdateStore(storeFile_, [&](RegKey& root) {
                bool created = false;
                CreateKey(root, path, &created, &stored);
                return created;
            });
        } catch (const EStoreWriteError& error) {
            // Not reported here: the next write reports it, naming its value.
            openError_ = "cannot create key " + QuoteName(key) + ": " + error.what();
            return false;
        }
    } else if (!exists) {
        return false;
    }
    currentPath_ = JoinKeyPath(stored);
    open_ = true;
    return true;
}

void TRegistry::CloseKey() {
    open_ = false;
    currentPath_.clear();
    openError_.clear();
}

bool TRegistry::KeyExists(const std::string& key) {
    const KeyPath path = SplitKeyPath(key);
    return FindKey(LoadStore(storeFile_), path) != nullptr;
}

bool TRegistry::DeleteKey(const std::string& key) {
    const KeyPath path = SplitKeyPath(key);
    if (path.empty()) {
        throw ERegistryException("The root key cannot be deleted");
    }
    bool deleted = false;
    UpdateStore(storeFile_, [&](RegKey& root) {
        RegKey* parent = FindKey(root, KeyPath(path.begin(), path.end() - 1));
        deleted = parent && parent->DeleteSubkey(path.back());
        return deleted;
    });
    return deleted;
}

bool TRegistry::ValueExists(const std::string& name) {
    return FindCurrentValue(name).has_value();
}

TRegDataType TRegistry::GetDataType(const std::string& name) {
    const auto value = FindCurrentValue(name);
    return value ? static_cast<TRegDataType>(value->type) : TRegDataType::kNone;
}

std::int32_t TRegistry::ReadInteger(const std::string& name) {
    const auto value = FindCurrentValue(name);
    // As with the registry's own query into a 4-byte buffer: longer data fails
    // the query itself, shorter data of another type fails the type test.
    if (!value || value->data.size() > 4) {
        throw ERegistryException(ReadFailed(name));
    }
    if (value->type != kRegDword) {
        throw ERegistryException(WrongType(name));
    }
    if (value->data.size() != 4) {
        throw ERegistryException(ReadFailed(name));
    }
    return DwordOf(*value);
}

std::string TRegistry::ReadString(const std::string& name) {
    const auto value = FindCurrentValue(name);
    if (!value) {
        throw ERegistryException(ReadFailed(name));
    }
    if (value->type != kRegSz && value->type != kRegExpandSz) {
        throw ERegistryException(WrongType(name));
    }
    return TextOf(*value);
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
    ChangeCurrentKey(name, [&](RegKey& key) { return key.SetValue(DwordValue(name, value)); });
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    ChangeCurrentKey(name, [&](RegKey& key) { return key.SetValue(StringValue(name, value)); });
}

bool TRegistry::DeleteValue(const std::string& name) {
    bool deleted = false;
    ChangeCurrentKey(name, [&](RegKey& key) {
        deleted = key.DeleteValue(name);
        return deleted;
    });
    return deleted;
}

std::vector<std::string> TRegistry::GetValueNames() {
    std::vector<std::string> names;
    ReadCurrentKey([&](const RegKey& key) {
        for (const RegValue& value : key.Values()) {
            names.push_back(value.name);
        }
    });
    return names;
}

std::vector<std::string> TRegistry::GetKeyNames() {
    std::vector<std::string> names;
    ReadCurrentKey([&](const RegKey& key) {
        for (const RegKey& sub : key.Subkeys()) {
            names.push_back(sub.Name());
        }
    });
    return names;
}
