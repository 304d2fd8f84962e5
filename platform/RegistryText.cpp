#include "platform/RegistryText.h"

#include "platform/HexDigit.h"
#include "platform/NameQuoting.h"
#include "platform/Registry.h"

#include <cstdio>

namespace platform {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::size_t kWrapColumn = 76;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && NamesEqual(s.substr(0, prefix.size()), prefix);
}

// Reads 1 to maxDigits hexadecimal digits.
bool ParseHex(std::string_view digits, std::size_t maxDigits, std::uint32_t& result) {
    if (digits.empty() || digits.size() > maxDigits) {
        return false;
    }
    result = 0;
    for (char c : digits) {
        const int d = HexDigitValue(c);
        if (d < 0) {
            return false;
        }
        result = result * 16 + static_cast<std::uint32_t>(d);
    }
    return true;
}

// Walks the text line by line; every error names the source and the line.
class Parser {
public:
    Parser(RegKey& root, std::string_view text, const std::string& source)
        : root_(root), text_(text), source_(source) {}

    void Run() {
        if (text_.empty()) {
            return; // a file emptied by hand holds no keys
        }
        std::string_view line;
        if (!NextLine(line) || TrimRight(line) != kHeader) {
            Fail("the file does not start with \"REGEDIT4\"");
        }
        while (NextLine(line)) {
            const std::string_view trimmed = TrimRight(TrimLeft(line));
            if (trimmed.empty() || trimmed.front() == ';') {
                continue;
            }
            if (trimmed.front() == '[') {
                Section(trimmed);
            } else if (trimmed.front() == '"' || trimmed.front() == '@') {
                Value(trimmed);
            } else {
                Fail("unrecognised line");
            }
        }
    }

private:
    bool NextLine(std::string_view& line) {
        if (pos_ >= text_.size()) {
            return false;
        }
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) {
            end = text_.size();
        }
        line = text_.substr(pos_, end - pos_);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        pos_ = end + 1;
        ++lineNo_;
        return true;
    }

    [[noreturn]] void Fail(const std::string& what) const {
        throw ERegistryParseError(ShownName(source_) + ", line " + std::to_string(lineNo_) + ": " +
                                  what);
    }

    void Section(std::string_view line) {
        if (!line.ends_with(']')) {
            Fail("a key line must end with \"]\"");
        }
        std::string_view path = line.substr(1, line.size() - 2);
        const bool remove = path.starts_with('-');
        if (remove) {
            path.remove_prefix(1);
        }
        const std::string_view below = StripRoot(path);
        KeyPath names;
        try {
            names = SplitKeyPath(below);
        } catch (const ERegistryException& e) {
            Fail(e.what());
        }
        if (remove) {
            if (names.empty()) {
                Fail("the root key cannot be deleted");
            }
            KeyPath parentPath(names.begin(), names.end() - 1);
            if (RegKey* parent = FindKey(root_, parentPath)) {
                parent->DeleteSubkey(names.back());
            }
            current_ = nullptr;
        } else {
            current_ = &CreateKey(root_, names);
        }
        inSection_ = true;
    }

    std::string_view StripRoot(std::string_view path) const {
        for (std::string_view root : {kRootName, std::string_view("HKCU")}) {
            if (StartsWithNoCase(path, root) &&
                (path.size() == root.size() || path[root.size()] == '\\')) {
                return path.substr(root.size());
            }
        }
        Fail("only keys under HKEY_CURRENT_USER can be stored: [" + std::string(path) + "]");
    }

    // Reads a quoted text at the start of s (escapes \\ and \"); s moves past it.
    // A NUL would cut the text short when it is read back: our writer stores
    // such strings as hex, so one here means the file is damaged.
    std::string Quoted(std::string_view& s, const char* what) const {
        std::string result;
        std::size_t i = 1;
        for (; i < s.size() && s[i] != '"'; ++i) {
            if (s[i] == '\0') {
                Fail(std::string("a NUL byte inside ") + what);
            }
            if (s[i] == '\\') {
                if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) {
                    Fail(std::string("invalid escape in ") + what + " (only \\\\ and \\\")");
                }
                ++i;
            }
            result.push_back(s[i]);
        }
        if (i >= s.size()) {
            Fail(std::string("missing closing quote of ") + what);
        }
        s.remove_prefix(i + 1);
        return result;
    }

    void Value(std::string_view line) {
        if (!inSection_) {
            Fail("a value before the first key line");
        }
        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            name = Quoted(line, "the value name");
        }
        try {
            CheckValueName(name);
        } catch (const ERegistryException& e) {
            Fail(e.what());
        }
        line = TrimLeft(line);
        if (!line.starts_with('=')) {
            Fail("expected \"=\" after the value name");
        }
        line = TrimLeft(line.substr(1));
        if (line == "-") {
            if (current_) {
                current_->DeleteValue(name);
            }
            return;
        }
        RegValue value = Data(name, line);
        if (current_) {
            current_->SetValue(std::move(value));
        } else {
            Fail("a value under a deleted key");
        }
    }

    RegValue Data(const std::string& name, std::string_view data) {
        if (data.starts_with('"')) {
            std::string text = Quoted(data, "the string");
            if (!TrimLeft(data).empty()) {
                Fail("unexpected text after the closing quote");
            }
            return StringValue(name, text);
        }
        if (StartsWithNoCase(data, "dword:")) {
            std::uint32_t number = 0;
            if (!ParseHex(data.substr(6), 8, number)) {
                Fail("a dword needs 1 to 8 hexadecimal digits");
            }
            return DwordValue(name, static_cast<std::int32_t>(number));
        }
        std::uint32_t type = kRegBinary;
        if (StartsWithNoCase(data, "hex:")) {
            data.remove_prefix(4);
        } else if (StartsWithNoCase(data, "hex(")) {
            const std::size_t close = data.find("):");
            if (close == std::string_view::npos || !ParseHex(data.substr(4, close - 4), 8, type)) {
                Fail("a hex type needs the form hex(N): with N in hexadecimal");
            }
            data.remove_prefix(close + 2);
        } else {
            Fail("unrecognised value data (expected \"text\", dword: or hex:)");
        }
        return RegValue{name, type, HexBytes(data)};
    }

    // Comma-separated bytes; a line ending in "\" goes on in the next line.
    std::string HexBytes(std::string_view first) {
        std::string list(first);
        while (!list.empty() && list.back() == '\\') {
            list.pop_back();
            std::string_view next;
            if (!NextLine(next)) {
                Fail("the file ends inside a continued hex value");
            }
            list += TrimRight(TrimLeft(next));
        }
        std::string bytes;
        std::string_view rest = TrimRight(TrimLeft(list));
        if (rest.ends_with(',')) {
            rest.remove_suffix(1); // a trailing comma
        }
        while (!rest.empty()) {
            const std::size_t comma = rest.find(',');
            const std::string_view token = TrimRight(TrimLeft(rest.substr(0, comma)));
            std::uint32_t byte = 0;
            if (!ParseHex(token, 2, byte)) {
                Fail("invalid hex byte \"" + std::string(token) + "\"");
            }
            bytes.push_back(static_cast<char>(byte));
            if (comma == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(comma + 1);
        }
        return bytes;
    }

    RegKey& root_;
    std::string_view text_;
    const std::string& source_;
    std::size_t pos_ = 0;
    int lineNo_ = 0;
    RegKey* current_ = nullptr;
    bool inSection_ = false;
};

std::string Escaped(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    return out;
}

bool IsPlainText(std::string_view s) {
    for (char c : s) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

// Strings that would not survive as one quoted line (control characters, line
// breaks, inner NULs, no terminator) are written as hex(1) so they come back
// byte for byte.
bool FitsQuoted(const RegValue& value) {
    return value.type == kRegSz && !value.data.empty() && value.data.back() == '\0' &&
           IsPlainText(std::string_view(value.data).substr(0, value.data.size() - 1));
}

void FormatValue(std::string& out, const RegValue& value) {
    // Appended, not "\"" + ...: see QuoteName for the compiler's false alarm.
    std::string line = "@=";
    if (!value.name.empty()) {
        line = "\"";
        line += Escaped(value.name);
        line += "\"=";
    }
    if (FitsQuoted(value)) {
        out += line + "\"" +
               Escaped(std::string_view(value.data).substr(0, value.data.size() - 1)) + "\"\n";
        return;
    }
    char buffer[32];
    if (value.type == kRegDword && value.data.size() == 4) {
        std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(DwordOf(value)));
        out += line + buffer + "\n";
        return;
    }
    if (value.type == kRegBinary) {
        line += "hex:";
    } else {
        std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(value.type));
        line += buffer;
    }
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%02x",
                      static_cast<unsigned>(static_cast<unsigned char>(value.data[i])));
        std::string piece = buffer;
        if (i + 1 < value.data.size()) {
            piece += ',';
        }
        if (line.size() + piece.size() > kWrapColumn && i > 0) {
            out += line + "\\\n";
            line = "  ";
        }
        line += piece;
    }
    out += line + "\n";
}

void FormatKey(std::string& out, const RegKey& key, const std::string& fullPath, bool isRoot) {
    if (!isRoot || !key.Values().empty()) {
        out += "[" + fullPath + "]\n";
        for (const RegValue& value : key.Values()) {
            FormatValue(out, value);
        }
        out += "\n";
    }
    for (const RegKey& sub : key.Subkeys()) {
        FormatKey(out, sub, fullPath + "\\" + sub.Name(), false);
    }
}

} // namespace

void ApplyRegText(RegKey& root, std::string_view text, const std::string& source) {
    Parser(root, text, source).Run();
}

RegKey ParseRegText(std::string_view text, const std::string& source) {
    RegKey root;
    ApplyRegText(root, text, source);
    return root;
}

std::string FormatRegText(const RegKey& key, const std::string& fullPath) {
    std::string out = std::string(kHeader) + "\n\n";
    FormatKey(out, key, fullPath, NamesEqual(fullPath, kRootName));
    return out;
}

} // namespace platform
