#include "tools/pas2rtf/Pas2Rtf.h"

#include "tools/pas2rtf/AtomicFile.h"
#include "engine/PascalParser.h"

#include <filesystem>
#include <map>

const char* const Pas2RtfHelp =
    R"(Usage: pas2rtf FILE
       pas2rtf -o OUT FILE
       pas2rtf -d DIR FILE...

Converts Pascal source (.pas, .~pa, .dpr, .~dp, .int, .inc) into the
syntax-coloured RTF document that the Lumivane 98 viewer shows.

  FILE          write the document to standard output
  -o OUT        write the document to the file OUT
  -d DIR        write DIR/NAME.rtf for each FILE, NAME being the file's
                name without its extension; DIR must exist
  -h, --help    show this help and exit
  --            end of options: every argument after it is a FILE

The colours are the viewer's: they are read from the settings store
($LUMIVANE_REGISTRY, else $XDG_CONFIG_HOME/lumivane/user.reg) before each
file is converted. An output file is written under a temporary name and
renamed when it is complete, so a failure never leaves a partial .rtf behind.

A FILE that cannot be converted (unknown extension, unreadable, a colour
setting that cannot be read) is reported on standard error and skipped; the
other files are still converted.

Exit status: 0 when every FILE was converted, 1 when any failed, 2 for a
usage error.
)";

namespace {

using TTarget = TPas2RtfCommand::TTarget;

void SetTarget(TPas2RtfCommand& command, TTarget target, const std::string& option,
               const std::vector<std::string>& args, std::size_t& i) {
    if (command.Target != TTarget::StandardOutput) {
        throw EUsageError("-o and -d can be given only once, and not together");
    }
    if (i + 1 == args.size()) {
        throw EUsageError("option " + option + " needs an argument");
    }
    command.Target = target;
    command.Output = args[++i];
    if (command.Output.empty()) {
        throw EUsageError("option " + option + " needs a non-empty argument");
    }
}

class TStreamSink : public TByteSink {
public:
    explicit TStreamSink(std::ostream& out) : out_(out) {}
    void Write(std::string_view bytes) override {
        if (!out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
            throw std::runtime_error("cannot write to standard output");
        }
    }

private:
    std::ostream& out_;
};

// One input converted and written where the command says, the document passed
// on while it is written; throws naming what failed.
void ConvertOne(const std::string& input, const std::string& outputFile, std::ostream& out) {
    if (outputFile.empty()) {
        TStreamSink sink(out);
        ConvertFile(input, sink);
        if (!out.flush()) {
            throw std::runtime_error("cannot write to standard output");
        }
    } else {
        TAtomicFile file(outputFile);
        ConvertFile(input, file);
        file.Commit();
    }
}

} // namespace

TPas2RtfCommand ParsePas2RtfArguments(const std::vector<std::string>& args) {
    TPas2RtfCommand command;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options && (arg == "-h" || arg == "--help")) {
            command.Help = true;
            return command;
        }
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "-o") {
            SetTarget(command, TTarget::File, arg, args, i);
        } else if (options && arg == "-d") {
            SetTarget(command, TTarget::Folder, arg, args, i);
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            throw EUsageError("unknown option " + arg);
        } else {
            command.Inputs.push_back(arg);
        }
    }
    if (command.Inputs.empty()) {
        throw EUsageError("no input file");
    }
    if (command.Target != TTarget::Folder && command.Inputs.size() > 1) {
        throw EUsageError("several input files need -d DIR");
    }
    return command;
}

std::string OutputFileFor(const std::string& folder, const std::string& input) {
    const std::string_view extension = FileExtension(input);
    const std::string withoutExtension = input.substr(0, input.size() - extension.size());
    const std::string name = std::filesystem::path(withoutExtension).filename().string();
    return (std::filesystem::path(folder) / (name + ".rtf")).string();
}

int RunPas2Rtf(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TPas2RtfCommand command;
    try {
        command = ParsePas2RtfArguments(args);
        if (command.Target == TTarget::Folder && !std::filesystem::is_directory(command.Output)) {
            throw EUsageError(command.Output + ": no such directory");
        }
    } catch (const EUsageError& e) {
        err << "pas2rtf: " << e.what() << "\nTry 'pas2rtf --help'.\n";
        return 2;
    }
    if (command.Help) {
        out << Pas2RtfHelp;
        return 0;
    }

    bool failed = false;
    std::map<std::string, std::string> written; // output file -> the input it holds
    for (const std::string& input : command.Inputs) {
        std::string outputFile;
        if (command.Target == TTarget::File) {
            outputFile = command.Output;
        } else if (command.Target == TTarget::Folder) {
            outputFile = OutputFileFor(command.Output, input);
            if (const auto earlier = written.find(outputFile); earlier != written.end()) {
                err << "pas2rtf: " << input << ": skipped, " << outputFile
                    << " already holds the document of " << earlier->second << "\n";
                failed = true;
                continue;
            }
        }
        try {
            ConvertOne(input, outputFile, out);
            written.emplace(outputFile, input);
        } catch (const std::exception& e) {
            err << "pas2rtf: " << input << ": " << e.what() << "\n";
            failed = true;
        }
    }
    return failed ? 1 : 0;
}
