#include "tools/pas2rtf/Pas2RtfOptions.h"

#include "viewer/text/WriterOptions.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <sched.h>
#include <thread>

namespace {

using TFormat = TPas2RtfCommand::TFormat;

// The value of an option spelt "--name=VALUE" or "--name VALUE" (and, with a
// short name, "-n VALUE" and "-nVALUE"); none when ARG is not the option.
std::optional<std::string> OptionValue(const std::vector<std::string>& args, std::size_t& i,
                                       const std::string& longName,
                                       const std::string& shortName = "") {
    const std::string& arg = args[i];
    if (arg == longName || (!shortName.empty() && arg == shortName)) {
        if (i + 1 == args.size()) {
            throw EUsageError("option " + arg + " needs an argument");
        }
        return args[++i];
    }
    if (arg.starts_with(longName + "=")) {
        return arg.substr(longName.size() + 1);
    }
    if (!shortName.empty() && arg.size() > shortName.size() && arg.starts_with(shortName)) {
        return arg.substr(shortName.size());
    }
    return std::nullopt;
}

// A whole number written in decimal digits only, or none.
std::optional<std::uint64_t> WholeNumber(const std::string& text) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

TFormat FormatNamed(const std::string& name) {
    if (name == "rtf") {
        return TFormat::Rtf;
    }
    if (name == "html") {
        return TFormat::Html;
    }
    if (name == "ansi") {
        return TFormat::Ansi;
    }
    throw EUsageError("--format: unknown format '" + name + "' (rtf, html or ansi)");
}

// Points as whole or half points ("9", "9.5", "10.0"), as half points.
int HalfPointsOf(const std::string& text) {
    const std::string error = "--font-size: '" + text + "' is not a size in points from 1 to " +
                              std::to_string(kMaxFontPoints) + " (whole or half points)";
    const std::size_t dot = text.find('.');
    const auto whole = WholeNumber(text.substr(0, dot));
    if (!whole || *whole < 1 || *whole > kMaxFontPoints) {
        throw EUsageError(error);
    }
    int half = 0;
    if (dot != std::string::npos) {
        const std::string fraction = text.substr(dot + 1);
        if (fraction.empty() || fraction.find_first_not_of('0', 1) != std::string::npos ||
            (fraction[0] != '0' && fraction[0] != '5')) {
            throw EUsageError(error);
        }
        half = fraction[0] == '5' ? 1 : 0;
    }
    if (*whole == kMaxFontPoints && half != 0) {
        throw EUsageError(error);
    }
    return static_cast<int>(*whole) * 2 + half;
}

// The largest first line number: so large a start leaves room for any file's
// lines without the numbers overflowing.
constexpr std::uint64_t kMaxFirstLine = 999'999'999'999'999ULL;

bool TakeFlag(TPas2RtfCommand& command, const std::string& arg) {
    if (arg == "--fragment") {
        command.Fragment = true;
    } else if (arg == "-r" || arg == "--recursive") {
        command.Recursive = true;
    } else if (arg == "--line-numbers") {
        command.LineNumbers = true;
        command.FirstLineNumber = 1;
    } else if (arg.starts_with("--line-numbers=")) {
        const std::string start = arg.substr(std::string("--line-numbers=").size());
        const auto number = WholeNumber(start);
        if (!number || *number > kMaxFirstLine) {
            throw EUsageError("--line-numbers: '" + start +
                              "' is not a whole number from 0 up to " +
                              std::to_string(kMaxFirstLine));
        }
        command.LineNumbers = true;
        command.FirstLineNumber = *number;
    } else {
        return false;
    }
    return true;
}

} // namespace

bool TakeOutputOption(TPas2RtfCommand& command, const std::vector<std::string>& args,
                      std::size_t& i) {
    if (TakeFlag(command, args[i])) {
        return true;
    }
    if (const auto format = OptionValue(args, i, "--format")) {
        command.Format = FormatNamed(*format);
    } else if (const auto font = OptionValue(args, i, "--font")) {
        if (font->empty() || !IsWritableFontName(*font)) {
            throw EUsageError("--font: a font name must not be empty nor hold a control "
                              "character, a brace, a backslash or a semicolon");
        }
        command.FontName = *font;
    } else if (const auto size = OptionValue(args, i, "--font-size")) {
        command.FontHalfPoints = HalfPointsOf(*size);
    } else if (const auto jobs = OptionValue(args, i, "--jobs", "-j")) {
        const auto count = WholeNumber(*jobs);
        if (!count || *count < 1 || *count > kMaxJobs) {
            throw EUsageError("--jobs: '" + *jobs + "' is not a number of files from 1 to " +
                              std::to_string(kMaxJobs));
        }
        command.Jobs = static_cast<unsigned>(*count);
    } else {
        return false;
    }
    return true;
}

void CheckOutputOptions(const TPas2RtfCommand& command) {
    if (command.Fragment && command.Format != TFormat::Html) {
        throw EUsageError("--fragment is for --format=html only");
    }
    if (command.Format == TFormat::Ansi &&
        (!command.FontName.empty() || command.FontHalfPoints != 0)) {
        throw EUsageError("--font and --font-size are for rtf and html; a terminal has its own");
    }
    if (command.Raw && NeedsDocumentModel(command)) {
        throw EUsageError("--raw writes the engine's RTF as it is; it takes no other "
                          "--format, --line-numbers, --font or --font-size");
    }
    if (command.Recursive && command.Target != TPas2RtfCommand::TTarget::Folder) {
        throw EUsageError("-r needs -d DIR for the tree of outputs");
    }
}

bool NeedsDocumentModel(const TPas2RtfCommand& command) {
    return command.Format != TFormat::Rtf || command.LineNumbers || !command.FontName.empty() ||
           command.FontHalfPoints != 0;
}

std::string FormatExtension(TFormat format) {
    switch (format) {
    case TFormat::Html:
        return ".html";
    case TFormat::Ansi:
        return ".ans";
    case TFormat::Rtf:
        break;
    }
    return ".rtf";
}

unsigned JobCount(const TPas2RtfCommand& command) {
    if (command.Jobs != 0) {
        return command.Jobs;
    }
    cpu_set_t cores;
    CPU_ZERO(&cores);
    int count = 0;
    if (::sched_getaffinity(0, sizeof cores, &cores) == 0) {
        count = CPU_COUNT(&cores);
    }
    if (count < 1) {
        count = static_cast<int>(std::thread::hardware_concurrency());
    }
    return std::clamp(static_cast<unsigned>(count), 1u, kMaxJobs);
}
