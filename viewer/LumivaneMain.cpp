// Program start: the application, the main window, the message loop until
// that window closes.

#include "viewer/Application.h"
#include "viewer/Main.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    R"(Usage: lumivane [FILE]
       lumivane [--] FILE

Shows FILE syntax-coloured: Pascal source (.pas, .~pa, .dpr, .~dp, .int, .inc,
and .pp, .lpr, .p) converted in the background, other files (RTF, plain text)
as they are. Without FILE the window opens empty; Ctrl+O opens a file.

  -h, --help    show this help and exit
  --version     show the version and exit
  --            the next argument is FILE, even when it starts with "-"

Settings: $LUMIVANE_REGISTRY, else $XDG_CONFIG_HOME/lumivane/user.reg.
)";

// --help and --version are answered before the window system is touched, so
// they work without a display. Returns -1 when the program should start.
int AnswerInfoOption(int argc, char** argv) {
    if (argc < 2) {
        return -1;
    }
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (first == "--version") {
        std::fputs("lumivane (Lumivane 98) " LUMIVANE_VERSION "\n", stdout);
        return 0;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (const int status = AnswerInfoOption(argc, argv); status >= 0) {
        return status;
    }
    TApplication application(argc, argv);
    // Qt has taken its own options out of argv; the first one left is the file.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && arguments.front() == "--") {
        arguments.erase(arguments.begin());
    }
    TfrmMain window(std::move(arguments));
    window.show();
    return application.exec();
}
