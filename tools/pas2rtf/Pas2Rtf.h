#pragma once
// pas2rtf: converts Pascal source files into the viewer's RTF documents.

#include "tools/pas2rtf/TextEncoding.h"

#include <cstdint>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

struct TPas2RtfCommand {
    enum class TTarget { StandardOutput, File, Folder };
    enum class TFormat { Rtf, Html, Ansi };

    bool Help = false;
    bool Version = false;
    // Every input is Pascal whatever its extension (--force).
    bool Force = false;
    // How the source's text bytes are read (--encoding), and whether the
    // engine's document goes out byte for byte instead (--raw).
    TSourceEncoding Encoding = TSourceEncoding::kAuto;
    bool EncodingGiven = false;
    bool Raw = false;
    TTarget Target = TTarget::StandardOutput;
    std::string Output;              // the file (-o) or the folder (-d)
    std::vector<std::string> Inputs; // "-" is standard input

    // What is written (--format, --fragment) and what the writer adds
    // (--line-numbers, --font, --font-size); see Pas2RtfOptions.h.
    TFormat Format = TFormat::Rtf;
    bool Fragment = false;
    bool LineNumbers = false;
    std::uint64_t FirstLineNumber = 1;
    std::string FontName;
    int FontHalfPoints = 0; // 0: the engine's 9 points
    // Folders among the inputs are walked (-r), and how many files are
    // converted at once (-j; 0: one per processor core).
    bool Recursive = false;
    unsigned Jobs = 0;

    // Set by a run that converts on several threads: the colours were read
    // once before the first file (COLORERROR says why they could not be), so
    // that no conversion changes them while another reads them.
    bool ColorsLoaded = false;
    std::string ColorError;
};

// The input name that stands for standard input.
inline constexpr const char* kStandardInput = "-";

// Thrown for a command line that cannot be run; the message says why.
class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// IN_IS_TERMINAL: without a FILE, standard input is read only when it is not a
// terminal (a pipe or a redirected file); at a terminal that is a usage error.
TPas2RtfCommand ParsePas2RtfArguments(const std::vector<std::string>& args,
                                      bool inIsTerminal = true);

// The file -d writes for INPUT: FOLDER/NAME.EXTENSION (.rtf, .html or .ans),
// NAME being INPUT's file name without its extension.
std::string OutputFileFor(const std::string& folder, const std::string& input,
                          const std::string& extension = ".rtf");

// Runs the program on ARGS (without the program name): documents to OUT (for
// standard output), messages to ERR. OUT_FILE is the descriptor behind OUT,
// when there is one, so that OUT is never an input file either. Returns the
// exit status: 0 when every input was converted, 1 when any failed, 2 for a
// usage error.
int RunPas2Rtf(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               int outFile = -1);

// Where the program's streams lead. IN_FILE and OUT_FILE are the descriptors
// behind IN and OUT when there are any (-1 otherwise), so that no output is
// ever the file standard input reads.
struct TPas2RtfStreams {
    std::istream& In;
    std::ostream& Out;
    std::ostream& Err;
    int InFile = -1;
    int OutFile = -1;
    bool InIsTerminal = true;
};
int RunPas2Rtf(const std::vector<std::string>& args, const TPas2RtfStreams& streams);

extern const char* const kPas2RtfHelp;
