#include "tools/pas2rtf/SourceTree.h"

#include "engine/PascalParser.h"
#include "platform/NameQuoting.h"
#include "tools/pas2rtf/Pas2RtfOptions.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

using TTarget = TPas2RtfCommand::TTarget;

bool IsWalkedFile(const fs::directory_entry& entry, bool force) {
    std::error_code error;
    // A link to a file is a file; a link to a folder is never walked into.
    if (!entry.is_regular_file(error)) {
        return false;
    }
    const std::string name = entry.path().filename().string();
    return force ? IsPascalFileName(name) : IsSourceFileName(name);
}

class TTreeWalk {
public:
    TTreeWalk(const TPas2RtfCommand& command, std::ostream& err, bool& failed,
              std::vector<TPlannedFile>& files)
        : command_(command), err_(err), failed_(failed), files_(files),
          extension_(FormatExtension(command.Format)) {}

    // FOLDER's files and, after them, its folders, each in byte order of name.
    void Walk(const fs::path& folder, const fs::path& below) {
        std::vector<fs::directory_entry> entries;
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            entries.push_back(*it);
        }
        if (error) {
            err_ << "pas2rtf: " << platform::ShownName(folder.string())
                 << ": cannot read the folder: " << error.message() << "\n";
            failed_ = true;
            return;
        }
        std::sort(entries.begin(), entries.end(),
                  [](const fs::directory_entry& a, const fs::directory_entry& b) {
                      return a.path().filename().string() < b.path().filename().string();
                  });
        const fs::path outputFolder = (fs::path(command_.Output) / below).lexically_normal();
        bool any = false;
        for (const fs::directory_entry& entry : entries) {
            if (IsWalkedFile(entry, command_.Force)) {
                const std::string name = entry.path().filename().string();
                files_.push_back(
                    {entry.path().string(), (outputFolder / (name + extension_)).string()});
                any = true;
            }
        }
        // Only folders that get a document appear below DIR. One that cannot be
        // made fails its files' conversions, which say why.
        if (any) {
            std::error_code ignored;
            fs::create_directories(outputFolder, ignored);
        }
        for (const fs::directory_entry& entry : entries) {
            std::error_code kind;
            if (entry.is_directory(kind) && !entry.is_symlink(kind)) {
                Walk(entry.path(), below / entry.path().filename());
            }
        }
    }

private:
    const TPas2RtfCommand& command_;
    std::ostream& err_;
    bool& failed_;
    std::vector<TPlannedFile>& files_;
    std::string extension_;
};

// The folder a walked tree gets below DIR: the tree's own name, as a
// recursive copy into DIR makes it, so that trees given together never
// collide; none for "." and "..", which name no folder of their own.
fs::path TreeName(const std::string& input) {
    fs::path folder = fs::path(input).lexically_normal();
    if (folder.filename().empty()) {
        folder = folder.parent_path();
    }
    const fs::path name = folder.filename();
    if (name.empty() || name == "." || name == "..") {
        return {};
    }
    return name;
}

bool IsFolder(const std::string& input) {
    std::error_code error;
    return input != kStandardInput && fs::is_directory(input, error);
}

} // namespace

std::vector<TPlannedFile> PlanFiles(const TPas2RtfCommand& command, std::ostream& err,
                                    bool& failed) {
    std::vector<TPlannedFile> files;
    const std::string extension = FormatExtension(command.Format);
    TTreeWalk walk(command, err, failed, files);
    for (const std::string& input : command.Inputs) {
        if (command.Recursive && IsFolder(input)) {
            walk.Walk(input, TreeName(input));
        } else if (command.Target == TTarget::Folder) {
            files.push_back({input, OutputFileFor(command.Output, input, extension)});
        } else if (command.Target == TTarget::File) {
            files.push_back({input, command.Output});
        } else {
            files.push_back({input, ""});
        }
    }
    return files;
}
