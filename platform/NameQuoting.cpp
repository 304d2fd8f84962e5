#include "platform/NameQuoting.h"

#include <cstddef>

namespace platform {

namespace {

using Byte = unsigned char;

// The length of the UTF-8 sequence at TEXT[AT] that is neither invalid nor a
// C1 control, or 0.
std::size_t PrintableSequence(std::string_view text, std::size_t at) {
    const Byte lead = static_cast<Byte>(text[at]);
    std::size_t length = 0;
    unsigned int code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const Byte next = static_cast<Byte>(text[at + i]);
        if ((next & 0xC0u) != 0x80u) {
            return 0;
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool invalid = code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF);
    const bool c1 = code >= 0x80 && code <= 0x9F;
    return overlong || invalid || c1 ? 0 : length;
}

bool IsPlainAscii(Byte c) {
    return c >= 0x20 && c < 0x7F;
}

char EscapeLetter(Byte c) {
    switch (c) {
    case 0x07:
        return 'a';
    case 0x08:
        return 'b';
    case 0x09:
        return 't';
    case 0x0A:
        return 'n';
    case 0x0B:
        return 'v';
    case 0x0C:
        return 'f';
    case 0x0D:
        return 'r';
    case 0x1B:
        return 'e';
    default:
        return 0;
    }
}

bool NeedsQuoting(std::string_view name) { // see HasControlCharacters
    for (std::size_t i = 0; i < name.size();) {
        const Byte c = static_cast<Byte>(name[i]);
        if (IsPlainAscii(c)) {
            ++i;
        } else if (const std::size_t length = PrintableSequence(name, i); length > 0) {
            i += length;
        } else {
            return true;
        }
    }
    return false;
}

} // namespace

bool HasControlCharacters(std::string_view name) {
    return NeedsQuoting(name);
}

std::string EscapedName(std::string_view name) {
    std::string escaped;
    escaped.reserve(name.size() + 8);
    for (std::size_t i = 0; i < name.size();) {
        const Byte c = static_cast<Byte>(name[i]);
        if (c == '\\' || c == '\'') {
            escaped += '\\';
            escaped += static_cast<char>(c);
            ++i;
        } else if (IsPlainAscii(c)) {
            escaped += static_cast<char>(c);
            ++i;
        } else if (const std::size_t length = PrintableSequence(name, i); length > 0) {
            escaped.append(name.substr(i, length));
            i += length;
        } else {
            escaped += '\\';
            if (const char letter = EscapeLetter(c); letter != 0) {
                escaped += letter;
            } else {
                escaped += static_cast<char>('0' + (c >> 6));
                escaped += static_cast<char>('0' + ((c >> 3) & 7));
                escaped += static_cast<char>('0' + (c & 7));
            }
            ++i;
        }
    }
    return escaped;
}

std::string ShownName(std::string_view name) {
    if (!NeedsQuoting(name)) {
        return std::string(name);
    }
    std::string quoted = "'";
    quoted += EscapedName(name);
    quoted += '\'';
    return quoted;
}

} // namespace platform
