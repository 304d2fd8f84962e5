// Qt widget tests run headless on the offscreen platform, in the classic style,
// with the classic system colours and the faces the forms name mapped to
// installed ones: the pixels they check are the program's own.

#include "platform/SysColors.h"

#include <QApplication>
#include <QFont>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    QApplication::setStyle("Windows");
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    ResetSysColors();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
