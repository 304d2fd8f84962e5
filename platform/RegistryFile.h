#pragma once
// Reading and replacing the store file. Readers take no lock: a write replaces
// the whole file by rename, so a reader sees the old file or the new one.

#include "platform/Registry.h"
#include "platform/RegistryTree.h"

#include <filesystem>
#include <functional>
#include <string>

namespace platform {

// The store's location could not be written (as opposed to read or parsed).
class EStoreWriteError : public ERegistryException {
public:
    using ERegistryException::ERegistryException;
};

// The file as it is now; a missing file is an empty store.
RegKey LoadStore(const std::filesystem::path& file);

// A whole text file, for import. Throws naming the file.
std::string ReadTextFile(const std::filesystem::path& file);

// Read-modify-write under an exclusive lock on FILE.lock. change returns
// false when it changed nothing, and then nothing is written. A file that
// cannot be parsed is never replaced: its parse error propagates. A store
// that is a symbolic link is written through: the file it points to (created
// when missing) is replaced, through platform/AtomicFile.h. A store file
// without write permission is never replaced: EStoreWriteError says so.
void UpdateStore(const std::filesystem::path& file, const std::function<bool(RegKey&)>& change);

} // namespace platform
