#pragma once
// The store's file format: registry-export text, "REGEDIT4".
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\QD\Lumivane\Position]
//   "StartPos"=dword:00000002
//   "Name"="text with \\ and \" escaped"
//   @="the key's default value"
//   "Other"=hex(7):41,00,00,00
//
// Hex bytes may go on over several lines, each but the last ending in "\".
// "[-KEY]" deletes a key and "NAME"=- a value, as an import file may ask.

#include "platform/RegistryTree.h"

#include <string>
#include <string_view>

namespace platform {

// Applies the text to the tree. A text that cannot be parsed throws
// ERegistryException naming source and line; the tree may then be half-changed,
// so callers apply to a copy they throw away.
void ApplyRegText(RegKey& root, std::string_view text, const std::string& source);
RegKey ParseRegText(std::string_view text, const std::string& source);

// The text of KEY and every key below it; fullPath is KEY's path from the
// root, starting with "HKEY_CURRENT_USER". The root's own section is left out
// when it holds no values.
std::string FormatRegText(const RegKey& key, const std::string& fullPath);

constexpr std::string_view kRootName = "HKEY_CURRENT_USER";

} // namespace platform
