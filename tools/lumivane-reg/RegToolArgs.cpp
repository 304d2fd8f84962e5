#include "tools/lumivane-reg/RegToolArgs.h"

#include "platform/NameQuoting.h"
#include "platform/Registry.h"

#include <algorithm>
#include <string_view>

using platform::NamesEqual;

namespace {

struct Switch {
    std::string_view name;
    bool takesArgument;
    std::string_view commands; // the commands that accept it
};

constexpr Switch kSwitches[] = {
    {"v", true, "query add delete"},
    {"ve", false, "query add delete"},
    {"t", true, "add"},
    {"d", true, "add"},
    {"f", false, "add delete"},
    {"s", false, "query"},
    {"va", false, "delete"},
    {"y", false, "export"},
};

// Only known switch names count as switches, so a file path such as
// /tmp/settings.reg stays a positional argument.
const Switch* FindSwitch(const std::string& arg) {
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) {
        return nullptr;
    }
    for (const Switch& candidate : kSwitches) {
        if (NamesEqual(std::string_view(arg).substr(1), candidate.name)) {
            return &candidate;
        }
    }
    return nullptr;
}

bool AcceptedBy(const Switch& option, const std::string& command) {
    std::string_view list = option.commands;
    while (!list.empty()) {
        const std::size_t space = list.find(' ');
        if (list.substr(0, space) == command) {
            return true;
        }
        if (space == std::string_view::npos) {
            break;
        }
        list.remove_prefix(space + 1);
    }
    return false;
}

// "/zz" or "-x": a word of letters after one slash or dash, no path.
bool LooksLikeASwitch(const std::string& arg) {
    return arg.size() >= 2 && (arg[0] == '/' || arg[0] == '-') &&
           std::all_of(arg.begin() + 1, arg.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '?';
           });
}

bool IsHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h" || arg == "/?" || arg == "-?" || NamesEqual(arg, "help");
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
    return text;
}

void Apply(TRegToolCommand& result, std::string_view name, std::string argument) {
    const auto once = [&](bool already) {
        if (already) {
            throw ERegToolSyntax("/" + std::string(name) + " is given more than once");
        }
    };
    if (name == "v" || name == "ve") {
        once(result.value.has_value());
        result.value = name == "v" ? std::move(argument) : std::string();
    } else if (name == "t") {
        once(result.type.has_value());
        result.type = std::move(argument);
    } else if (name == "d") {
        once(result.data.has_value());
        result.data = std::move(argument);
    } else if (name == "f") {
        result.force = true;
    } else if (name == "s") {
        result.recurse = true;
    } else if (name == "va") {
        result.allValues = true;
    } else if (name == "y") {
        result.overwriteFile = true;
    }
}

} // namespace

platform::KeyPath ParseKeyArgument(const std::string& key) {
    for (std::string_view root :
         {std::string_view("HKEY_CURRENT_USER"), std::string_view("HKCU")}) {
        if (key.size() >= root.size() &&
            NamesEqual(std::string_view(key).substr(0, root.size()), root) &&
            (key.size() == root.size() || key[root.size()] == '\\')) {
            return platform::SplitKeyPath(std::string_view(key).substr(root.size()));
        }
    }
    throw ERegistryException("Invalid key name " + platform::QuoteName(key) +
                             ": this store holds only HKCU (HKEY_CURRENT_USER) keys");
}

TRegToolCommand ParseRegToolArgs(const std::vector<std::string>& args) {
    TRegToolCommand result;
    if (args.empty()) {
        throw ERegToolSyntax("a command is missing");
    }
    if (IsHelp(args[0])) {
        result.command = "help";
        return result;
    }
    if (args[0] == "--version") {
        result.command = "version";
        return result;
    }
    result.command = Lower(args[0]);
    const std::vector<std::string_view> commands = {"query", "add", "delete", "export", "import"};
    if (std::find(commands.begin(), commands.end(), result.command) == commands.end()) {
        throw ERegToolSyntax("unknown command " + platform::QuoteName(args[0]));
    }

    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "/?" || args[i] == "--help") {
            result.command = "help";
            return result;
        }
        const Switch* known = FindSwitch(args[i]);
        if (!known) {
            positional.push_back(args[i]);
            continue;
        }
        if (!AcceptedBy(*known, result.command)) {
            throw ERegToolSyntax(args[i] + " is not a switch of " + result.command);
        }
        std::string argument;
        if (known->takesArgument) {
            if (i + 1 >= args.size()) {
                throw ERegToolSyntax(args[i] + " needs a value");
            }
            argument = args[++i];
        }
        Apply(result, known->name, std::move(argument));
    }

    const std::size_t wanted =
        result.command == "export" ? 2 : 1; // export KEY FILE, import FILE, the rest KEY
    if (positional.size() != wanted) {
        // An absolute file name starts with "/" too, so only a count that
        // does not add up shows that a switch was meant.
        const auto unknown = std::find_if(positional.begin(), positional.end(), LooksLikeASwitch);
        if (unknown != positional.end()) {
            throw ERegToolSyntax("unknown switch " + platform::ShownName(*unknown) + " for " +
                                 result.command);
        }
        throw ERegToolSyntax(result.command + " takes " +
                             (result.command == "export"   ? "a key and a file"
                              : result.command == "import" ? "one file"
                                                           : "one key") +
                             " (got " + std::to_string(positional.size()) + " arguments)");
    }
    if (result.command == "import") {
        result.file = positional[0];
        return result;
    }
    result.key = ParseKeyArgument(positional[0]);
    if (result.command == "export") {
        result.file = positional[1];
    }
    if (result.allValues && result.value) {
        throw ERegToolSyntax("/va cannot be combined with /v or /ve");
    }
    if (result.command == "add" && !result.value && (result.type || result.data)) {
        throw ERegToolSyntax("/t and /d need /v or /ve");
    }
    return result;
}
