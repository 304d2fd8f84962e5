#include "tools/lumivane-reg/RegTool.h"

#include "platform/AtomicFile.h"
#include "platform/NameQuoting.h"
#include "platform/Registry.h"
#include "platform/RegistryFile.h"
#include "platform/RegistryText.h"
#include "tools/lumivane-reg/RegToolArgs.h"

#include <charconv>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <istream>
#include <limits>
#include <ostream>

using namespace platform;

const char* const kRegToolUsage =
    R"(Usage: lumivane-reg COMMAND ARGUMENTS

Reads and writes the per-user settings store of Lumivane 98, in the manner of
the Windows "reg" command. KEY is HKCU\PATH or HKEY_CURRENT_USER\PATH.

  lumivane-reg query KEY [/v NAME | /ve] [/s]
      Shows the values of KEY and lists its subkeys; /v shows one value, /ve
      the default value, /s every key below KEY as well.
  lumivane-reg add KEY [/v NAME | /ve] [/t REG_SZ|REG_DWORD] [/d DATA] [/f]
      Creates KEY and every missing key above it and, with /v or /ve, sets a
      value (REG_SZ unless /t says otherwise; a REG_DWORD is given in decimal
      or as 0x hexadecimal). /f overwrites an existing value without asking.
  lumivane-reg delete KEY [/v NAME | /ve | /va] [/f]
      Deletes KEY with everything below it, or one value (/v, /ve), or every
      value of KEY (/va). /f deletes without asking.
  lumivane-reg export KEY FILE [/y]
      Writes KEY and everything below it to FILE as REGEDIT4 text; /y replaces
      an existing FILE without asking.
  lumivane-reg import FILE
      Merges a REGEDIT4 file into the store.

Questions are answered with yes or no on standard input; no input counts as no.
The store is the file $LUMIVANE_REGISTRY, else $XDG_CONFIG_HOME/lumivane/user.reg,
else ~/.config/lumivane/user.reg.
Exit status: 0 on success, 1 on an error or when a question is answered no.
"lumivane-reg --version" shows the version.

The install step of Lumivane 98:
  lumivane-reg add "HKCU\Software\QD\Lumivane" /f
)";

namespace {

constexpr const char* kDone = "The operation completed successfully.\n";
// An export's temporary file is recognised by this tag (see platform/AtomicFile.h);
// one of a killed run goes at the next export, or once it is this old.
constexpr const char* kExportTag = "lumivane-reg-tmp";
constexpr std::chrono::hours kStaleAge{24};
constexpr const char* kNotFound = "The system was unable to find the given registry key or value.";

// Ends a command without changing anything: an answered No.
struct Cancelled {
    std::string message;
};

std::string FullPath(const KeyPath& stored) {
    return stored.empty() ? std::string(kRootName)
                          : std::string(kRootName) + "\\" + JoinKeyPath(stored);
}

std::string TypeName(std::uint32_t type) {
    switch (type) {
    case kRegNone:
        return "REG_NONE";
    case kRegSz:
        return "REG_SZ";
    case kRegExpandSz:
        return "REG_EXPAND_SZ";
    case kRegBinary:
        return "REG_BINARY";
    case kRegDword:
        return "REG_DWORD";
    case kRegMultiSz:
        return "REG_MULTI_SZ";
    case kRegQword:
        return "REG_QWORD";
    default:
        return "REG_TYPE(" + std::to_string(type) + ")";
    }
}

std::string DataText(const RegValue& value) {
    char buffer[32];
    if (value.type == kRegSz || value.type == kRegExpandSz) {
        return TextOf(value);
    }
    if (value.type == kRegDword && value.data.size() == 4) {
        std::snprintf(buffer, sizeof buffer, "0x%x", static_cast<unsigned>(DwordOf(value)));
        return buffer;
    }
    if (value.type == kRegQword && value.data.size() == 8) {
        std::uint64_t number = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            number |= std::uint64_t{static_cast<unsigned char>(value.data[i])} << (8 * i);
        }
        std::snprintf(buffer, sizeof buffer, "0x%" PRIx64, number);
        return buffer;
    }
    if (value.type == kRegMultiSz) {
        std::string text = value.data;
        while (!text.empty() && text.back() == '\0') {
            text.pop_back();
        }
        std::string shown;
        for (char c : text) {
            shown += c == '\0' ? std::string("\\0") : std::string(1, c);
        }
        return shown;
    }
    std::string hex;
    for (char c : value.data) {
        std::snprintf(buffer, sizeof buffer, "%02X",
                      static_cast<unsigned>(static_cast<unsigned char>(c)));
        hex += buffer;
    }
    return hex;
}

void PrintValue(std::ostream& out, const RegValue& value) {
    out << "    " << (value.name.empty() ? "(Default)" : value.name) << "    "
        << TypeName(value.type) << "    " << DataText(value) << "\n";
}

std::string ValueLabel(const std::string& name) {
    return name.empty() ? "(Default)" : name;
}

bool Confirm(std::istream& in, std::ostream& out, const std::string& question) {
    while (true) {
        out << question << " (Yes/No)? " << std::flush;
        std::string answer;
        if (!std::getline(in, answer)) {
            out << "\n";
            throw Cancelled{"No answer on standard input: taken as No; nothing was changed "
                            "(use /f to skip the question)."};
        }
        while (!answer.empty() && (answer.back() == '\r' || answer.back() == ' ')) {
            answer.pop_back();
        }
        if (NamesEqual(answer, "y") || NamesEqual(answer, "yes")) {
            return true;
        }
        if (NamesEqual(answer, "n") || NamesEqual(answer, "no")) {
            throw Cancelled{"The operation was cancelled by the user."};
        }
    }
}

const RegKey& ExistingKey(const RegKey& root, const KeyPath& path, KeyPath& stored) {
    const RegKey* key = FindKey(root, path, &stored);
    if (!key) {
        throw ERegistryException(kNotFound);
    }
    return *key;
}

// --- query

// Prints KEY's block; with a value filter only a matching value, and only when
// there is one. Returns whether anything matched.
bool QueryBlock(std::ostream& out, const RegKey& key, const std::string& path,
                const std::optional<std::string>& filter, bool listSubkeys) {
    const RegValue* only = filter ? key.FindValue(*filter) : nullptr;
    if (filter && !only) {
        return false;
    }
    out << "\n" << path << "\n";
    if (only) {
        PrintValue(out, *only);
        return true;
    }
    for (const RegValue& value : key.Values()) {
        PrintValue(out, value);
    }
    if (listSubkeys && !key.Subkeys().empty()) {
        out << "\n";
        for (const RegKey& sub : key.Subkeys()) {
            out << path << "\\" << sub.Name() << "\n";
        }
    }
    return true;
}

bool QueryTree(std::ostream& out, const RegKey& key, const std::string& path,
               const std::optional<std::string>& filter) {
    bool found = QueryBlock(out, key, path, filter, false);
    for (const RegKey& sub : key.Subkeys()) {
        found = QueryTree(out, sub, path + "\\" + sub.Name(), filter) || found;
    }
    return found;
}

void Query(const TRegToolCommand& cmd, const std::filesystem::path& store, std::ostream& out) {
    const RegKey root = LoadStore(store);
    KeyPath stored;
    const RegKey& key = ExistingKey(root, cmd.key, stored);
    const bool found = cmd.recurse ? QueryTree(out, key, FullPath(stored), cmd.value)
                                   : QueryBlock(out, key, FullPath(stored), cmd.value, true);
    if (!found) {
        throw ERegistryException(kNotFound);
    }
    if (cmd.value && !cmd.recurse) {
        out << "\n";
    }
}

// --- add

// Decimal (a sign allowed) or 0x hexadecimal, anything that fits 32 bits.
std::int32_t ParseDword(const std::string& text) {
    std::string_view digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    long long number = 0;
    const char* last = digits.data() + digits.size();
    const auto [end, error] = std::from_chars(digits.data(), last, number, base);
    const long long lowest = base == 16 ? 0 : std::numeric_limits<std::int32_t>::min();
    if (digits.empty() || error != std::errc() || end != last || number < lowest ||
        number > std::numeric_limits<std::uint32_t>::max()) {
        throw ERegistryException("Invalid REG_DWORD data " + QuoteName(text) +
                                 ": give a number from -2147483648 to 4294967295, or 0x0 to "
                                 "0xFFFFFFFF");
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
}

RegValue NewValue(const TRegToolCommand& cmd) {
    const std::string type = cmd.type.value_or("REG_SZ");
    const std::string data = cmd.data.value_or("");
    if (NamesEqual(type, "REG_SZ")) {
        return StringValue(*cmd.value, data);
    }
    if (NamesEqual(type, "REG_DWORD")) {
        return DwordValue(*cmd.value, ParseDword(data.empty() ? "0" : data));
    }
    throw ERegistryException("Unsupported type " + QuoteName(type) +
                             ": only REG_SZ and REG_DWORD values can be added");
}

void Add(const TRegToolCommand& cmd, const std::filesystem::path& store, std::istream& in,
         std::ostream& out) {
    std::optional<RegValue> value;
    if (cmd.value) {
        CheckValueName(*cmd.value);
        value = NewValue(cmd);
        if (!cmd.force) {
            const RegKey root = LoadStore(store);
            const RegKey* key = FindKey(root, cmd.key);
            if (key && key->FindValue(*cmd.value)) {
                Confirm(in, out, "Value " + ValueLabel(*cmd.value) + " exists, overwrite");
            }
        }
    }
    UpdateStore(store, [&](RegKey& root) {
        bool created = false;
        RegKey& key = CreateKey(root, cmd.key, &created);
        const bool changed = value && key.SetValue(*value);
        return created || changed;
    });
    out << kDone;
}

// --- delete

void Delete(const TRegToolCommand& cmd, const std::filesystem::path& store, std::istream& in,
            std::ostream& out) {
    if (cmd.value) {
        CheckValueName(*cmd.value);
    }
    if (!cmd.value && !cmd.allValues && cmd.key.empty()) {
        throw ERegistryException("The root key HKEY_CURRENT_USER cannot be deleted.");
    }
    {
        const RegKey root = LoadStore(store);
        KeyPath stored;
        const RegKey& key = ExistingKey(root, cmd.key, stored);
        if (cmd.value && !key.FindValue(*cmd.value)) {
            throw ERegistryException(kNotFound);
        }
        if (!cmd.force) {
            if (cmd.value) {
                Confirm(in, out, "Delete the registry value " + ValueLabel(*cmd.value));
            } else if (cmd.allValues) {
                Confirm(in, out, "Delete all values under the registry key " + FullPath(stored));
            } else {
                Confirm(in, out, "Permanently delete the registry key " + FullPath(stored));
            }
        }
    }
    UpdateStore(store, [&](RegKey& root) {
        if (!cmd.value && !cmd.allValues) {
            RegKey* parent = FindKey(root, KeyPath(cmd.key.begin(), cmd.key.end() - 1));
            if (!parent || !parent->DeleteSubkey(cmd.key.back())) {
                throw ERegistryException(kNotFound);
            }
            return true;
        }
        RegKey* key = FindKey(root, cmd.key);
        if (!key) {
            throw ERegistryException(kNotFound);
        }
        if (cmd.value) {
            return key->DeleteValue(*cmd.value);
        }
        return key->DeleteAllValues();
    });
    out << kDone;
}

// --- export and import

void Export(const TRegToolCommand& cmd, const std::filesystem::path& store, std::istream& in,
            std::ostream& out) {
    const RegKey root = LoadStore(store);
    KeyPath stored;
    const RegKey& key = ExistingKey(root, cmd.key, stored);
    std::error_code error;
    if (std::filesystem::equivalent(cmd.file, store, error)) {
        throw ERegistryException(ShownName(cmd.file) + " is the settings store itself");
    }
    if (!cmd.overwriteFile && std::filesystem::exists(cmd.file, error)) {
        Confirm(in, out, "File " + ShownName(cmd.file) + " already exists. Overwrite");
    }
    // Leftovers of exports that were killed while writing.
    RemoveStaleTemporaries(FolderOf(FollowLinks(cmd.file)), kExportTag, "", kStaleAge);
    WriteFileAtomically(cmd.file, FormatRegText(key, FullPath(stored)), 0644, kExportTag);
    out << kDone;
}

void Import(const TRegToolCommand& cmd, const std::filesystem::path& store, std::ostream& out) {
    const std::string text = ReadTextFile(cmd.file);
    // The whole file is applied in one locked write; a parse error stops it
    // before anything is written.
    UpdateStore(store, [&](RegKey& root) {
        ApplyRegText(root, text, cmd.file);
        return true;
    });
    out << kDone;
}

} // namespace

int RunRegTool(const std::vector<std::string>& args, const std::filesystem::path& store,
               std::istream& in, std::ostream& out, std::ostream& err) {
    try {
        const TRegToolCommand cmd = ParseRegToolArgs(args);
        if (cmd.command == "help") {
            out << kRegToolUsage;
        } else if (cmd.command == "version") {
            out << "lumivane-reg (Lumivane 98) " << LUMIVANE_VERSION << "\n";
        } else if (cmd.command == "query") {
            Query(cmd, store, out);
        } else if (cmd.command == "add") {
            Add(cmd, store, in, out);
        } else if (cmd.command == "delete") {
            Delete(cmd, store, in, out);
        } else if (cmd.command == "export") {
            Export(cmd, store, in, out);
        } else {
            Import(cmd, store, out);
        }
        return 0;
    } catch (const ERegToolSyntax& error) {
        err << "ERROR: Invalid syntax: " << error.what() << ".\n"
            << "Type \"lumivane-reg --help\" for usage.\n";
    } catch (const Cancelled& cancelled) {
        err << cancelled.message << "\n";
    } catch (const std::exception& error) {
        err << "ERROR: " << error.what() << "\n";
    }
    return 1;
}
