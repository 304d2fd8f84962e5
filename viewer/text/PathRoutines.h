#pragma once
// Path shortening for the status bar and long-name expansion after an open.
// No Qt: the width measure is passed in.

#include <functional>
#include <string>

// Width in pixels of a text on some surface (the status bar's font metrics).
using TextWidthFn = std::function<int(const std::string&)>;

std::string ShortenPathToWidth(const std::string& path, const TextWidthFn& textWidth, int maxWidth);
void DropFirstFolder(std::string& folder);
std::string ExpandLongPath(const std::string& path);
std::string LongNameOf(const std::string& path);
