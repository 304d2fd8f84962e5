// rtfdump: shows what the view's reader makes of a file.
//   rtfdump [--runs] [--time] FILE
// Prints the plain text (paragraphs as LF), or with --runs one line per
// formatted run; --time adds the load time on stderr.

#include "viewer/text/CodePage.h"
#include "viewer/text/RtfReader.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

int Usage() {
    std::cerr << "usage: rtfdump [--runs] [--time] FILE\n";
    return 2;
}

std::string ColorText(TColor rgb) {
    if (rgb == kNoColor) {
        return "auto";
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
    return buf;
}

void PrintRuns(const TRtfDocument& doc) {
    for (const TRtfRun& run : doc.Runs) {
        const TRtfCharFormat& f = doc.Formats[run.Format];
        std::cout << run.Start << ' ' << run.Length << ' ' << ColorText(f.Color)
                  << (f.Bold ? " bold" : "") << (f.Italic ? " italic" : "")
                  << (f.Underline ? " underline" : "") << (f.Strike ? " strike" : "");
        if (f.Font >= 0) {
            std::cout << " font=\"" << doc.Fonts[f.Font].Name << '"';
        }
        std::cout << " size=" << f.SizeHalfPoints / 2.0;
        if (f.Background != kNoColor) {
            std::cout << " background=" << ColorText(f.Background);
        }
        std::cout << '\n';
    }
}

} // namespace

int main(int argc, char** argv) {
    bool runs = false;
    bool timed = false;
    std::string fileName;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs") {
            runs = true;
        } else if (arg == "--time") {
            timed = true;
        } else if (arg.starts_with("--") || !fileName.empty()) {
            return Usage();
        } else {
            fileName = arg;
        }
    }
    if (fileName.empty()) {
        return Usage();
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        std::cerr << "rtfdump: cannot open \"" << fileName << "\"\n";
        return 1;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string data = bytes.str();

    const auto start = std::chrono::steady_clock::now();
    const TRtfDocument doc = ReadDocument(data);
    const auto elapsed = std::chrono::steady_clock::now() - start;

    if (runs) {
        PrintRuns(doc);
    } else {
        std::cout << ToUtf8(doc.Text.ToU16String());
        if (!doc.Text.empty()) {
            std::cout << '\n';
        }
    }
    if (timed) {
        std::cerr << "rtfdump: read " << data.size() << " bytes in "
                  << std::chrono::duration<double, std::milli>(elapsed).count() << " ms, "
                  << doc.Text.size() << " characters, " << doc.Runs.size() << " runs\n";
    }
    return std::cout ? 0 : 1;
}
