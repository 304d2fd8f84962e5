#pragma once
// The command line of lumivane-reg, read the way the Windows "reg" command
// reads its own: a command, positional arguments and "/x" (or "-x") switches.

#include "platform/RegistryTree.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A command line that does not fit the syntax.
class ERegToolSyntax : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TRegToolCommand {
    std::string command;              // "query", "add", "delete", "export", "import"; "help"
    platform::KeyPath key;            // from KEY, without the root
    std::optional<std::string> value; // /v NAME, or "" for /ve
    std::optional<std::string> type;  // /t
    std::optional<std::string> data;  // /d
    std::string file;                 // FILE of export and import
    bool force = false;               // /f
    bool recurse = false;             // /s
    bool allValues = false;           // /va
    bool overwriteFile = false;       // /y
};

TRegToolCommand ParseRegToolArgs(const std::vector<std::string>& args);

// "HKCU\Software\QD" or "HKEY_CURRENT_USER\Software\QD" (any case).
platform::KeyPath ParseKeyArgument(const std::string& key);
