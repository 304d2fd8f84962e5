#pragma once
// Helpers shared by the engine's tests.

#include <filesystem>
#include <string>
#include <string_view>

// A fresh directory under the system's temporary directory, removed with its
// contents at the end of the scope.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Writes CONTENT to NAME in the directory and returns the file's path.
    std::string WriteFile(const std::string& name, std::string_view content) const;

private:
    std::filesystem::path path_;
};

// The settings store file the test binary uses ($LUMIVANE_REGISTRY, set to a
// private temporary file before the first test runs).
std::filesystem::path TestStoreFile();
// Puts every colour slot back to its default and removes the store file.
void ResetColorsAndStore();

// The whole document for SOURCE with the colours as they are.
std::string Document(std::string_view source);
// The document without header and trailer (which must be present).
std::string Body(std::string_view source);

// Empty when DOCUMENT is well formed: the header, balanced groups that each
// open with one of the engine's group openers, no stray brace, the trailer.
// Otherwise a description of the first fault.
std::string WellFormedness(std::string_view document);
