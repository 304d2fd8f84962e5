// GUI tests of the rich-text view run with a QApplication (offscreen platform,
// set by the test's environment).

#include "viewer/SourceViewAccessible.h"

#include <QApplication>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest's discovery) needs no display.
    if (::testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }
    QApplication app(argc, argv);
    // The view alone: its own factory stands in for the program's.
    viewer::InstallSourceViewAccessibility();
    return RUN_ALL_TESTS();
}
