// Widget tests run headless on the offscreen platform, in the classic style
// and with the faces the forms name mapped to installed ones.

#include <QApplication>
#include <QFont>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    QApplication::setStyle("Windows");
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
