#pragma once
// pas2rtf's options for what it writes and how much at once: --format,
// --fragment, --line-numbers, --font, --font-size, -r and -j.

#include "tools/pas2rtf/Pas2Rtf.h"

#include <cstddef>
#include <string>
#include <vector>

// Takes ARGS[I] (and the value after it, moving I) when it is one of these
// options; false for any other argument. Throws EUsageError naming the option
// for a value it cannot take.
bool TakeOutputOption(TPas2RtfCommand& command, const std::vector<std::string>& args,
                      std::size_t& i);

// Checks the options against each other once all are read.
void CheckOutputOptions(const TPas2RtfCommand& command);

// True when the document goes through the reader's model rather than
// straight from the engine.
bool NeedsDocumentModel(const TPas2RtfCommand& command);

// The extension of the format's files, dot included.
std::string FormatExtension(TPas2RtfCommand::TFormat format);

// The largest number of files converted at once.
inline constexpr unsigned kMaxJobs = 64;

// The number of conversions at once COMMAND asks for: -j, else the cores
// this process may run on.
unsigned JobCount(const TPas2RtfCommand& command);
