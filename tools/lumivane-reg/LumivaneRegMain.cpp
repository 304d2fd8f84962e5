// lumivane-reg: the settings store on the command line.
#include "platform/Registry.h"
#include "tools/lumivane-reg/RegTool.h"

#include <iostream>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return RunRegTool(args, DefaultRegistryFile(), std::cin, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "ERROR: " << error.what() << "\n";
        return 1;
    }
}
