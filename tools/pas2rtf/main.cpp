// pas2rtf: Pascal source to the viewer's RTF document, on the command line.
#include "tools/pas2rtf/Pas2Rtf.h"
#include "tools/pas2rtf/SignalCleanup.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    InstallSignalCleanup();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunPas2Rtf(args, std::cout, std::cerr, STDOUT_FILENO);
}
