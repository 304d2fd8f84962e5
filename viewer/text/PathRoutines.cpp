#include "viewer/text/PathRoutines.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr std::size_t kMaxLongName = 259;

// Paths written with "\" (and maybe a drive such as C:) split at "\" and ":";
// native paths, recognised by a "/", split at "/" only and have no drive.
char SeparatorOf(const std::string& path) {
    return path.find('/') != std::string::npos ? '/' : '\\';
}

std::size_t LastSeparator(const std::string& path, char separator) {
    return separator == '/' ? path.rfind('/') : path.find_last_of("\\:");
}

} // namespace

std::string ShortenPathToWidth(const std::string& path, const TextWidthFn& textWidth,
                               int maxWidth) {
    const char sep = SeparatorOf(path);
    const std::string rootedMark = std::string(1, sep) + "..." + sep; // "\...\"
    const std::string mark = std::string("...") + sep;                // "...\"

    std::string result = path;
    const std::size_t split = LastSeparator(path, sep);
    std::string folder = split == std::string::npos ? "" : path.substr(0, split + 1);
    const std::string name = split == std::string::npos ? path : path.substr(split + 1);
    std::string drive;
    if (sep == '\\' && folder.size() >= 2 && folder[1] == ':') {
        drive = folder.substr(0, 2);
        folder.erase(0, 2);
    }

    while ((!folder.empty() || !drive.empty()) && textWidth(result) > maxWidth) {
        if (folder == rootedMark) {
            drive.clear();
            folder = mark;
        } else if (folder.empty()) {
            drive.clear();
        } else {
            DropFirstFolder(folder);
        }
        result = drive + folder + name;
    }
    return result;
}

void DropFirstFolder(std::string& folder) {
    const char sep = SeparatorOf(folder);
    if (folder == std::string(1, sep)) {
        folder.clear();
        return;
    }
    const bool rooted = !folder.empty() && folder[0] == sep;
    if (rooted) {
        folder.erase(0, 1);
    }
    // Takes away a "...\" mark of an earlier pass (and so any leading dot folder).
    if (!folder.empty() && folder[0] == '.') {
        folder.erase(0, 4);
    }
    const std::size_t first = folder.find(sep);
    if (first != std::string::npos) {
        folder = std::string("...") + sep + folder.substr(first + 1);
    } else {
        folder.clear();
    }
    if (rooted) {
        folder.insert(folder.begin(), sep);
    }
}

std::string ExpandLongPath(const std::string& path) {
    const char sep = SeparatorOf(path);
    std::string copy = path;
    std::string result;
    for (std::size_t cut = copy.rfind(sep); cut != std::string::npos; cut = copy.rfind(sep)) {
        result = sep + LongNameOf(copy) + result;
        copy.erase(cut);
    }
    return copy + result;
}

std::string LongNameOf(const std::string& path) {
    const std::size_t cut = path.find_last_of(SeparatorOf(path) == '/' ? "/" : "\\/:");
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    if (name.empty()) {
        return "";
    }
    // On this file system a component's long name is the name it is stored under;
    // the search only tells whether it is there. A dangling link still counts.
    std::error_code error;
    const auto status = std::filesystem::symlink_status(path, error);
    if (error || !std::filesystem::exists(status)) {
        return "";
    }
    return name.substr(0, kMaxLongName);
}
