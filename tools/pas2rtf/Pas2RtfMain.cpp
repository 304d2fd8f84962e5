// pas2rtf: Pascal source to the viewer's RTF document, on the command line.
#include "tools/pas2rtf/Pas2Rtf.h"
#include "tools/pas2rtf/SignalCleanup.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    InstallSignalCleanup();
    // Standard input may hold a whole source; C stdio need not see it.
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunPas2Rtf(args, TPas2RtfStreams{std::cin, std::cout, std::cerr, STDIN_FILENO,
                                            STDOUT_FILENO, ::isatty(STDIN_FILENO) == 1});
}
