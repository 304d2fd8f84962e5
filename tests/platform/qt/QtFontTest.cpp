#include "platform/qt/QtFont.h"

#include <QFont>
#include <gtest/gtest.h>

// Heights in both signs are pixel sizes; 0 keeps the default size rather than
// a font no one can read.
TEST(QtFontTest, HeightsWeightAndStyle) {
    const QFont fromCharacterHeight = ToQFont({-11, 700, false, "MS Sans Serif"});
    EXPECT_EQ(fromCharacterHeight.pixelSize(), 11);
    EXPECT_TRUE(fromCharacterHeight.bold());
    EXPECT_FALSE(fromCharacterHeight.italic());
    EXPECT_EQ(fromCharacterHeight.family(), "MS Sans Serif");

    const QFont fromCellHeight = ToQFont({16, 400, true, "Arial"});
    EXPECT_EQ(fromCellHeight.pixelSize(), 16);
    EXPECT_FALSE(fromCellHeight.bold());
    EXPECT_TRUE(fromCellHeight.italic());

    const QFont noHeight = ToQFont({0, 501, false, "Arial"});
    EXPECT_EQ(noHeight.pixelSize(), QFont("Arial").pixelSize());
    EXPECT_EQ(noHeight.pointSizeF(), QFont("Arial").pointSizeF());
    EXPECT_TRUE(noHeight.bold()); // above 500
    EXPECT_FALSE(ToQFont({-11, 500, false, "Arial"}).bold());
}
