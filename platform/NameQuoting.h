#pragma once
// File and key names in messages. A name may hold any byte but "/" and NUL:
// a line feed in it would split a message in two, an escape sequence would
// reach the terminal. Such a name is shown quoted, with C escapes.

#include <string>
#include <string_view>

namespace platform {

// NAME as it is when it holds no control character (bytes 0-31 and 127, the
// C1 controls U+0080-U+009F, and bytes that are no UTF-8); otherwise quoted:
// 'a\nb', with \e for escape, \t, \r, \a, \b, \f, \v, \\ and \' and three
// octal digits for any other such byte.
std::string ShownName(std::string_view name);

// True when NAME holds a byte that ShownName escapes.
bool HasControlCharacters(std::string_view name);

// The escaped text between the quotes of ShownName, for callers that quote
// names of their own (only the escapes, no quotes added).
std::string EscapedName(std::string_view name);

} // namespace platform
