#include "tools/pas2rtf/Pas2Rtf.h"

#include "engine/PascalParser.h"
#include "platform/AtomicFile.h"
#include "platform/NameQuoting.h"
#include "platform/Registry.h"
#include "platform/RegistryTree.h"
#include "tools/pas2rtf/FormatDispatch.h"
#include "tools/pas2rtf/JobRunner.h"
#include "tools/pas2rtf/Pas2RtfOptions.h"
#include "tools/pas2rtf/SignalCleanup.h"
#include "tools/pas2rtf/SourceTree.h"
#include "viewer/text/DocumentBuffer.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <sys/stat.h>

const char* const kPas2RtfHelp =
    R"(Usage: pas2rtf [OPTION]... [FILE | -]
       pas2rtf [OPTION]... -o OUT FILE
       pas2rtf [OPTION]... -d DIR FILE...
       pas2rtf [OPTION]... -r -d DIR FOLDER...

Converts Pascal source (.pas, .~pa, .dpr, .~dp, .int, .inc) into the
syntax-coloured RTF document that the Lumivane 98 viewer shows, or into a
web page or terminal output in the same colours.

  FILE                 write the document to standard output
  -                    read the source from standard input (also without
                       FILE when standard input is not a terminal)
  -o OUT, -oOUT, --output=OUT
                       write the document to the file OUT
  -d DIR, -dDIR, --directory=DIR
                       write DIR/NAME.rtf (.html, .ans) for each FILE, NAME
                       being the file's name without its extension; DIR must
                       exist
  -f, --force          convert every FILE as Pascal whatever its extension
                       (Free Pascal's .pp, .lpr and .p, say)
  --encoding=ENC, --encoding ENC
                       how the source's non-ASCII bytes are read: auto (the
                       default: UTF-8 when all of them are valid UTF-8 or the
                       file starts with a UTF-8 byte order mark, else
                       Windows-1252), utf-8 or cp1252. UTF-8 text is written
                       as \uN? escapes (the byte order mark is not written),
                       Windows-1252 text as it is under \ansicpg1252; pure
                       ASCII is written unchanged
  --raw                write the engine's document byte for byte, as the
                       viewer gets it: the source's bytes unchanged, no code
                       page named
  --format=FORMAT, --format FORMAT
                       rtf (the default), html (a UTF-8 HTML5 page, the code
                       in one <pre> with inline colours, titled with the
                       file's name, on the Background colour) or ansi (for
                       terminals and pagers, less -R: 24-bit colour escapes,
                       bold and italic, a reset at every line end; plain text
                       in the terminal's own colour)
  --fragment           html: write the <pre> element alone, for pasting into
                       a page or a Markdown file
  --line-numbers[=START]
                       start each line with its number (from START, 1 when
                       not given; 0 or more), right-aligned and followed by
                       two blanks, in the Foreground colour; in HTML the
                       numbers are not selected or copied with the code
  --font=NAME, --font NAME
                       rtf and html: the font the document names instead of
                       Courier New (no control characters, braces,
                       backslashes or semicolons)
  --font-size=POINTS, --font-size POINTS
                       rtf and html: the size instead of 9 points, from 1 to
                       1638, in whole or half points (9.5)
  -r, --recursive      a FILE that is a folder stands for the source files
                       below it (with --force also .pp, .lpr and .p); links to
                       folders are not followed. Needs -d DIR: the outputs
                       mirror each tree below DIR/FOLDERNAME, each named after
                       its source's whole name (system.pp.rtf)
  -j N, -jN, --jobs=N  convert N files at once (1 to 64; default: one per
                       processor core); messages and the exit status are the
                       same as one at a time, in the order of the files
  -h, --help           show this help and exit
      --version        show the version and exit
  --                   end of options: every argument after it is a FILE

The colours are the viewer's: they are read from the settings store
($LUMIVANE_REGISTRY, else $XDG_CONFIG_HOME/lumivane/user.reg) before each
file is converted; a store that cannot be parsed is reported once as a
warning, and the default colours are used. An output file is written under
a temporary name (.OUT.pas2rtf-tmp.PID.XXXXXX beside it) and renamed when it is
complete, so a failure never leaves a partial .rtf behind; where the file
system allows, it has no name at all until then. An interrupted run (Ctrl+C,
SIGTERM, SIGHUP) removes its temporary file, and the next run into the output
folder removes those of killed runs. An output that is a symbolic link
replaces the file the link points to, except another user's link in a sticky,
world-writable folder such as /tmp, which is refused.
With several files, -d DIR makes the outputs durable with one sync of their
file systems at the end instead of one per file; the exit status is 0 only
once that sync has succeeded.

A FILE that cannot be converted (unknown extension, unreadable, not a regular
file, larger than 2 GiB, a colour setting that cannot be read) is reported on
standard error and skipped; the other files are still converted. An output
that would be one of the input files is refused, and that input is skipped.

Exit status: 0 when every FILE was converted, 1 when any failed, 2 for a
usage error.
)";

namespace {

using TTarget = TPas2RtfCommand::TTarget;

void SetTarget(TPas2RtfCommand& command, TTarget target, const std::string& option,
               const std::string& value) {
    if (command.Target != TTarget::StandardOutput) {
        throw EUsageError("-o and -d can be given only once, and not together");
    }
    command.Target = target;
    command.Output = value;
    if (command.Output.empty()) {
        throw EUsageError("option " + option + " needs a non-empty argument");
    }
}

// The options that take a value, in each of their spellings: "-o OUT",
// "-oOUT", "--output=OUT" and "--output OUT". Returns false for any other
// argument.
bool TakeTargetOption(TPas2RtfCommand& command, const std::vector<std::string>& args,
                      std::size_t& i) {
    struct TTargetOption {
        const char* Short;
        const char* Long;
        TTarget Target;
    };
    static constexpr TTargetOption kTargetOptions[] = {{"-o", "--output", TTarget::File},
                                                       {"-d", "--directory", TTarget::Folder}};
    const std::string& arg = args[i];
    for (const TTargetOption& option : kTargetOptions) {
        const std::string shortName = option.Short;
        const std::string longName = option.Long;
        if (arg == shortName || arg == longName) {
            if (i + 1 == args.size()) {
                throw EUsageError("option " + arg + " needs an argument");
            }
            SetTarget(command, option.Target, arg, args[++i]);
            return true;
        }
        if (arg.starts_with(longName + "=")) {
            SetTarget(command, option.Target, longName, arg.substr(longName.size() + 1));
            return true;
        }
        if (arg.size() > 2 && arg.starts_with(shortName)) {
            SetTarget(command, option.Target, shortName, arg.substr(2));
            return true;
        }
    }
    return false;
}

// --encoding ENC and --encoding=ENC; false for any other argument.
bool TakeEncodingOption(TPas2RtfCommand& command, const std::vector<std::string>& args,
                        std::size_t& i) {
    constexpr std::string_view kName = "--encoding";
    const std::string& arg = args[i];
    std::string value;
    if (arg == kName) {
        if (i + 1 == args.size()) {
            throw EUsageError("option --encoding needs an argument");
        }
        value = args[++i];
    } else if (arg.starts_with("--encoding=")) {
        value = arg.substr(kName.size() + 1);
    } else {
        return false;
    }
    const auto encoding = SourceEncodingNamed(value);
    if (!encoding) {
        throw EUsageError("unknown encoding " + platform::QuoteName(value) +
                          " (auto, utf-8 or cp1252)");
    }
    if (command.EncodingGiven && *encoding != command.Encoding) {
        throw EUsageError("--encoding can be given only once");
    }
    command.Encoding = *encoding;
    command.EncodingGiven = true;
    return true;
}

// Temporaries of ours are recognised by this tag; see platform/AtomicFile.h.
constexpr const char* kTemporaryTag = "pas2rtf-tmp";
// A temporary this old belongs to a run that was killed, not to one that is
// still writing.
constexpr std::chrono::hours kStaleAge{24};

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

// The output file, written atomically; its temporary file is registered for
// removal while it exists, should a signal end the program.
class TFileSink : public TByteSink {
public:
    TFileSink(const std::string& outputFile, bool deferSync)
        : file_(outputFile, 0666, kTemporaryTag) {
        if (deferSync) {
            file_.DeferSync();
        }
        TSignalsHeld held;
        file_.Create();
        registration_.emplace(file_.TemporaryName());
    }
    void Write(std::string_view bytes) override { file_.Write(bytes); }
    void Commit() {
        file_.Commit();
        registration_.reset();
    }

private:
    TAtomicFile file_;
    std::optional<TTemporaryRegistration> registration_;
};

// The whole of standard input, bounded as a file would be.
std::string ReadStandardInput(std::istream& in) {
    std::string source;
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        source.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (source.size() > TMemoryStream::kMaxFileSize) {
            throw std::runtime_error("standard input is larger than the 2 GiB a source may have");
        }
    }
    if (in.bad()) {
        throw std::runtime_error("cannot read standard input");
    }
    return source;
}

// The colours as a conversion starts: read now, or by the run before its
// first file.
void LoadColorsFor(const TPas2RtfCommand& command, TPascalParser& parser) {
    if (!command.ColorsLoaded) {
        parser.LoadColors();
    } else if (!command.ColorError.empty()) {
        throw std::runtime_error(command.ColorError);
    }
}

// INPUT's document from the engine, as it is: standard input and forced
// inputs as Pascal whatever their names, any other input by its extension.
void ConvertRaw(const std::string& input, const TPas2RtfCommand& command, std::istream& in,
                TByteSink& sink) {
    if (input == kStandardInput) {
        const std::string source = ReadStandardInput(in);
        TPascalParser parser;
        LoadColorsFor(command, parser);
        parser.ConvertSource(source, sink);
    } else if (command.ColorsLoaded) {
        if (!command.Force && !IsSourceFileName(input)) {
            throw std::runtime_error("Unknown file extension (--force converts it as Pascal)");
        }
        TPascalParser parser;
        LoadColorsFor(command, parser);
        TMemoryStream file;
        file.LoadFromFile(input);
        parser.ConvertSource(file.View(), sink);
    } else if (command.Force) {
        ConvertFileAsPascal(input, sink);
    } else if (!IsSourceFileName(input)) {
        throw std::runtime_error("Unknown file extension (--force converts it as Pascal)");
    } else {
        ConvertFile(input, sink);
    }
}

// INPUT's document handed to SINK, its text re-expressed unless --raw. The
// source is read here rather than by the engine, so that its bytes say how
// the text is written before the document's header goes out.
void ConvertInto(const std::string& input, const TPas2RtfCommand& command, std::istream& in,
                 TByteSink& sink) {
    if (command.Raw) {
        ConvertRaw(input, command, in, sink);
        return;
    }
    TPascalParser parser;
    std::string standardInput;
    TMemoryStream file;
    std::string_view source;
    if (input == kStandardInput) {
        standardInput = ReadStandardInput(in);
        source = standardInput;
        LoadColorsFor(command, parser);
    } else if (!command.Force && !IsSourceFileName(input)) {
        throw std::runtime_error("Unknown file extension (--force converts it as Pascal)");
    } else {
        LoadColorsFor(command, parser);
        file.LoadFromFile(input);
        source = file.View();
    }
    const TTextWriting writing = TextWritingFor(source, command.Encoding);
    if (writing == TTextWriting::kUtf8 && StartsWithByteOrderMark(source)) {
        // The mark is no text. Its bytes are plain to the scanner, which
        // starts afresh after them, so this is the engine's document without them.
        source.remove_prefix(3);
    }
    TEncodingSink encoded(sink, writing);
    parser.ConvertSource(source, encoded);
    encoded.Finish();
}

// INPUT's document in the format the command asks for: the engine's own, or
// rewritten from the model of it.
void WriteDocument(const std::string& input, const TPas2RtfCommand& command, std::istream& in,
                   TByteSink& sink) {
    if (!NeedsDocumentModel(command)) {
        ConvertInto(input, command, in, sink);
        return;
    }
    TDocumentBuffer engineDocument;
    ConvertInto(input, command, in, engineDocument);
    // A batch converts its files at once already; one file takes every core.
    const unsigned threads = command.ColorsLoaded ? 1 : JobCount(command);
    WriteDocumentAs(engineDocument.View(), command, PageTitle(input), sink, threads);
}

// One input converted and written where the command says, the document passed
// on while it is written; throws naming what failed. DEFERSYNC leaves the
// output's sync to the end of the batch.
void ConvertOne(const std::string& input, const std::string& outputFile,
                const TPas2RtfCommand& command, const TPas2RtfStreams& streams, bool deferSync) {
    if (outputFile.empty()) {
        TStreamSink sink(streams.Out);
        WriteDocument(input, command, streams.In, sink);
        if (!streams.Out.flush()) {
            throw std::runtime_error("cannot write to standard output");
        }
    } else {
        TFileSink file(outputFile, deferSync);
        WriteDocument(input, command, streams.In, file);
        file.Commit();
    }
}

// Why the settings store cannot be parsed, or nothing. The engine takes such a
// store for one without colours, so the user would not learn why the colours
// are not theirs.
std::optional<std::string> StoreParseError() {
    try {
        TRegistry().KeyExists("Software");
    } catch (const ERegistryParseError& error) {
        return error.what();
    } catch (const ERegistryException&) {
        // any other fault is the conversion's to report, naming the input
    }
    return std::nullopt;
}

// A file as the system knows it, whatever the spelling of its path.
struct TFileIdentity {
    dev_t Device;
    ino_t Inode;
    auto operator<=>(const TFileIdentity&) const = default;
};

std::optional<TFileIdentity> IdentityOf(const std::string& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return TFileIdentity{info.st_dev, info.st_ino};
}

// Only a regular file can be an input; a terminal or a pipe is never one.
std::optional<TFileIdentity> IdentityOf(int fd) {
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return TFileIdentity{info.st_dev, info.st_ino};
}

// Leftovers of killed runs in the folder an output goes to, once per folder.
void RemoveStaleTemporariesFor(const std::string& outputFile, std::set<std::string>& cleaned) {
    const std::string folder = FolderOf(FollowLinks(outputFile)).string();
    if (cleaned.insert(folder).second) {
        RemoveStaleTemporaries(folder, kTemporaryTag, "", kStaleAge);
    }
}

// The end of a batch: every output written is made durable at once. False,
// with the reason on ERR, when that fails: the outputs may then be lost in a
// crash, so the run has not succeeded.
bool SyncOutputs(const std::vector<TPlannedFile>& files, const std::vector<char>& fileFailed,
                 std::ostream& err) {
    std::set<std::filesystem::path> folders;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (fileFailed[i] == 0) {
            folders.insert(FolderOf(FollowLinks(files[i].Output)));
        }
    }
    const std::string error = SyncFileSystems({folders.begin(), folders.end()});
    if (!error.empty()) {
        err << "pas2rtf: " << error << "; the outputs may not be on disk\n";
        return false;
    }
    return true;
}

} // namespace

TPas2RtfCommand ParsePas2RtfArguments(const std::vector<std::string>& args, bool inIsTerminal) {
    TPas2RtfCommand command;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options && (arg == "-h" || arg == "--help")) {
            command.Help = true;
            return command;
        }
        if (options && arg == "--version") {
            command.Version = true;
            return command;
        }
        if (options && arg == "--") {
            options = false;
        } else if (options && (arg == "-f" || arg == "--force")) {
            command.Force = true;
        } else if (options && arg == "--raw") {
            command.Raw = true;
        } else if (options && TakeEncodingOption(command, args, i)) {
            continue;
        } else if (options && TakeOutputOption(command, args, i)) {
            continue;
        } else if (options && TakeTargetOption(command, args, i)) {
            continue;
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            throw EUsageError("unknown option " + platform::ShownName(arg));
        } else {
            command.Inputs.push_back(arg);
        }
    }
    if (command.Inputs.empty() && !inIsTerminal) {
        command.Inputs.push_back(kStandardInput);
    }
    if (command.Inputs.empty()) {
        throw EUsageError("no input file");
    }
    if (command.Raw && command.EncodingGiven) {
        throw EUsageError("--raw writes the source's bytes as they are; it takes no --encoding");
    }
    if (command.Target != TTarget::Folder && command.Inputs.size() > 1) {
        throw EUsageError("several input files need -d DIR");
    }
    if (std::count(command.Inputs.begin(), command.Inputs.end(), kStandardInput) > 0 &&
        command.Target == TTarget::Folder) {
        throw EUsageError("standard input has no name for -d; use -o OUT or standard output");
    }
    CheckOutputOptions(command);
    return command;
}

std::string OutputFileFor(const std::string& folder, const std::string& input,
                          const std::string& extension) {
    const std::string_view own = FileExtension(input);
    const std::string withoutExtension = input.substr(0, input.size() - own.size());
    const std::string name = std::filesystem::path(withoutExtension).filename().string();
    return (std::filesystem::path(folder) / (name + extension)).string();
}

int RunPas2Rtf(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               int outFile) {
    std::istringstream noInput;
    return RunPas2Rtf(args, TPas2RtfStreams{noInput, out, err, -1, outFile, true});
}

int RunPas2Rtf(const std::vector<std::string>& args, const TPas2RtfStreams& streams) {
    std::ostream& out = streams.Out;
    std::ostream& err = streams.Err;
    TPas2RtfCommand command;
    try {
        command = ParsePas2RtfArguments(args, streams.InIsTerminal);
        if (command.Target == TTarget::Folder && !std::filesystem::is_directory(command.Output)) {
            throw EUsageError(platform::ShownName(command.Output) + ": no such directory");
        }
    } catch (const EUsageError& e) {
        err << "pas2rtf: " << e.what() << "\nTry 'pas2rtf --help'.\n";
        return 2;
    }
    if (command.Help) {
        out << kPas2RtfHelp;
        return 0;
    }
    if (command.Version) {
        out << "pas2rtf (Lumivane 98) " << LUMIVANE_VERSION << "\n";
        return 0;
    }

    bool failed = false;
    const std::vector<TPlannedFile> files = PlanFiles(command, err, failed);

    // Every input by file identity, so that no output can land on one
    // through another spelling, a symbolic link or a hard link.
    std::map<TFileIdentity, std::string> inputs;
    for (const TPlannedFile& file : files) {
        const std::string& input = file.Input;
        const auto identity =
            input == kStandardInput ? IdentityOf(streams.InFile) : IdentityOf(input);
        if (identity) {
            inputs.emplace(*identity, input);
        }
    }

    // Each file's messages, passed on in the order of the files however the
    // conversions overlap.
    std::vector<std::ostringstream> messages(files.size());
    std::vector<char> converting(files.size(), 0);
    std::vector<char> fileFailed(files.size(), 0);
    bool storeWarned = false;
    std::map<std::string, std::string> written; // output file -> the input it holds
    // Whether FILES[I] is converted; what it is not is reported on ERR.
    const auto check = [&](std::size_t i, std::ostream& err) {
        const std::string& input = files[i].Input;
        const std::string& outputFile = files[i].Output;
        if (command.Target == TTarget::Folder) {
            if (const auto earlier = written.find(outputFile); earlier != written.end()) {
                err << "pas2rtf: " << platform::ShownName(input) << ": skipped, "
                    << platform::ShownName(outputFile) << " already holds the document of "
                    << platform::ShownName(earlier->second) << "\n";
                return false;
            }
        }
        // Standard output appended to an input (">> x.pas") would grow the
        // source with its own document.
        const auto identity =
            outputFile.empty() ? IdentityOf(streams.OutFile) : IdentityOf(outputFile);
        if (const auto same = identity ? inputs.find(*identity) : inputs.end();
            same != inputs.end()) {
            err << "pas2rtf: " << platform::ShownName(input) << ": skipped, the output "
                << (outputFile.empty() ? std::string("(standard output)")
                                       : platform::ShownName(outputFile))
                << " is the input file " << platform::ShownName(same->second)
                << "; nothing was written\n";
            return false;
        }
        if (!storeWarned) {
            if (const auto error = StoreParseError()) {
                err << "pas2rtf: warning: the settings store cannot be parsed (" << *error
                    << "); the default colours are used\n";
                storeWarned = true;
            }
        }
        written.emplace(outputFile, input);
        return true;
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        converting[i] = check(i, messages[i]) ? 1 : 0;
        fileFailed[i] = converting[i] == 0 ? 1 : 0;
    }

    const unsigned jobs = command.Target == TTarget::Folder ? JobCount(command) : 1;
    if (jobs > 1 && files.size() > 1) {
        // Read once, so that no conversion changes the colours another reads.
        command.ColorsLoaded = true;
        try {
            TPascalParser().LoadColors();
        } catch (const std::exception& e) {
            command.ColorError = e.what();
        }
    }
    // A batch is made durable by one sync at its end, not one per file.
    const bool deferSync = command.Target == TTarget::Folder && files.size() > 1;
    std::mutex cleaning;
    std::set<std::string> cleanedFolders;
    const auto convert = [&](std::size_t i) {
        if (converting[i] == 0) {
            return;
        }
        std::ostream& err = messages[i];
        const std::string& input = files[i].Input;
        const std::string& outputFile = files[i].Output;
        try {
            if (!outputFile.empty()) {
                const std::lock_guard guard(cleaning);
                RemoveStaleTemporariesFor(outputFile, cleanedFolders);
            }
            ConvertOne(input, outputFile, command, streams, deferSync);
        } catch (const std::exception& e) {
            err << "pas2rtf: " << platform::ShownName(input) << ": " << e.what() << "\n";
            fileFailed[i] = 1;
        }
    };
    RunInOrder(files.size(), jobs, convert, [&](std::size_t i) {
        err << messages[i].str();
        messages[i].str({}); // its text is passed on: free it
        failed = failed || fileFailed[i] != 0;
    });
    if (deferSync && !SyncOutputs(files, fileFailed, err)) {
        failed = true;
    }
    return failed ? 1 : 0;
}
