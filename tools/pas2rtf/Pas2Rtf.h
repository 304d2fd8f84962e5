#pragma once
// pas2rtf: converts Pascal source files into the viewer's RTF documents.

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

struct TPas2RtfCommand {
    enum class TTarget { StandardOutput, File, Folder };

    bool Help = false;
    TTarget Target = TTarget::StandardOutput;
    std::string Output; // the file (-o) or the folder (-d)
    std::vector<std::string> Inputs;
};

// Thrown for a command line that cannot be run; the message says why.
class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

TPas2RtfCommand ParsePas2RtfArguments(const std::vector<std::string>& args);

// The file -d writes for INPUT: FOLDER/NAME.rtf, NAME being INPUT's file name
// without its extension.
std::string OutputFileFor(const std::string& folder, const std::string& input);

// Runs the program on ARGS (without the program name): documents to OUT (for
// standard output), messages to ERR. OUT_FILE is the descriptor behind OUT,
// when there is one, so that OUT is never an input file either. Returns the
// exit status: 0 when every input was converted, 1 when any failed, 2 for a
// usage error.
int RunPas2Rtf(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               int outFile = -1);

extern const char* const kPas2RtfHelp;
