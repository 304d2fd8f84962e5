#pragma once
// lumivane-reg: query, add, delete, export and import on the settings store.

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

extern const char* const kRegToolUsage;

// Runs one command line (without the program name) against the store file.
// Questions are asked on out and answered from in; end of input counts as No.
// Returns the exit status: 0 on success, 1 on error (with the message on err)
// or when a question was answered No.
int RunRegTool(const std::vector<std::string>& args, const std::filesystem::path& store,
               std::istream& in, std::ostream& out, std::ostream& err);
