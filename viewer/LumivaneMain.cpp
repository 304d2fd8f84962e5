// Program start: the application, the main window, the message loop until
// that window closes.

#include "viewer/Application.h"
#include "viewer/Main.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    TApplication application(argc, argv);
    // Qt has taken its own options out of argv; the first one left is the file.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    TfrmMain window(std::move(arguments));
    window.show();
    return application.exec();
}
