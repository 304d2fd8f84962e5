// Glyph images: how many a glyph holds, the state images made from it, the
// generated disabled images, and the lists they are shared in.

#include "widgets/TB97/ButtonGlyph.h"

#include "platform/SysColors.h"
#include "tests/widgets/TB97/TestSupport.h"
#include "widgets/TB97/TB97Common.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace tb97test;

namespace {

constexpr QRgb kOlive = 0x808000; // the usual transparent colour
constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kSilver = 0xC0C0C0;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kYellow = 0xFFFF00;

// A state image as the list holds it: transparent pixels read as 0 alpha.
QImage ListImage(TButtonGlyph& glyph, TButtonState97 state) {
    const int index = glyph.CreateButtonGlyph(state);
    return glyph.List()->Image(index).toImage().convertToFormat(QImage::Format_ARGB32);
}

bool Transparent(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y)) == 0;
}

// 4 × 4 on olive: black (1,1), white (2,1), light grey (1,2), red (2,2).
QImage Sample() {
    QImage image = Picture(4, 4, kOlive);
    image.setPixel(1, 1, kBlack);
    image.setPixel(2, 1, kWhite);
    image.setPixel(1, 2, kSilver);
    image.setPixel(2, 2, kRed);
    return image;
}

class ButtonGlyphTest : public ::testing::Test {
protected:
    void TearDown() override { ResetSysColors(); }
};

} // namespace

TEST_F(ButtonGlyphTest, NumGlyphsFollowsTheGlyphsShape) {
    TButtonGlyph glyph;
    glyph.SetGlyph(Picture(64, 16, kOlive));
    EXPECT_EQ(glyph.NumGlyphs(), 4);
    EXPECT_EQ(glyph.ImageSize(), QSize(16, 16));
    glyph.SetGlyph(Picture(96, 16, kOlive)); // six would be more than five
    EXPECT_EQ(glyph.NumGlyphs(), 1);
    glyph.SetGlyph(Picture(80, 16, kOlive));
    EXPECT_EQ(glyph.NumGlyphs(), 5);
    glyph.SetGlyph(Picture(40, 16, kOlive)); // not a whole multiple: unchanged
    EXPECT_EQ(glyph.NumGlyphs(), 5);
    EXPECT_EQ(glyph.ImageSize(), QSize(8, 16));
    glyph.SetNumGlyphs(9);
    EXPECT_EQ(glyph.NumGlyphs(), 5);
    glyph.SetNumGlyphs(0);
    EXPECT_EQ(glyph.NumGlyphs(), 1);
}

TEST_F(ButtonGlyphTest, TransparentColourIsTheBottomLeftPixel) {
    TButtonGlyph glyph;
    EXPECT_EQ(glyph.TransparentColor(), 0x008080u);
    QImage image = Picture(4, 4, kRed);
    image.setPixel(0, 3, 0x00FF00);
    glyph.SetGlyph(image);
    EXPECT_EQ(glyph.TransparentColor(), 0x00FF00u);
    const QImage up = ListImage(glyph, bsUp);
    EXPECT_EQ(up.size(), QSize(5, 5)); // one more each way, for the embossed copy
    EXPECT_TRUE(Transparent(up, 0, 3));
    EXPECT_EQ(up.pixel(0, 0) & 0xFFFFFFu, kRed);
    EXPECT_TRUE(Transparent(up, 4, 4));
}

TEST_F(ButtonGlyphTest, StatesPickTheirImageOrTheFirst) {
    // Three images: red, white, black strips on an olive corner each.
    QImage image = Picture(12, 4, kOlive);
    for (int i = 0; i < 3; ++i) {
        const QRgb colors[] = {kRed, kWhite, kBlack};
        image.setPixel(i * 4 + 1, 1, colors[i]);
    }
    TButtonGlyph glyph;
    glyph.SetGlyph(image);
    ASSERT_EQ(glyph.NumGlyphs(), 3);
    EXPECT_EQ(ListImage(glyph, bsUp).pixel(1, 1) & 0xFFFFFFu, kRed);
    EXPECT_EQ(ListImage(glyph, bsDown).pixel(1, 1) & 0xFFFFFFu, kBlack);
    EXPECT_EQ(ListImage(glyph, bsExclusive).pixel(1, 1) & 0xFFFFFFu, kRed); // image 3 missing
    EXPECT_EQ(ListImage(glyph, bsHot).pixel(1, 1) & 0xFFFFFFu, kRed);
}

TEST_F(ButtonGlyphTest, DisabledSingleImageEmbossesItsDarkPixels) {
    TButtonGlyph glyph;
    glyph.SetGlyph(Sample());
    const QImage disabled = ListImage(glyph, bsDisabled);
    ASSERT_EQ(disabled.size(), QSize(5, 5));
    // Black and red are ink; white, light grey and olive vanish. Highlight one
    // pixel right and down, shadow in place on top of it.
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
            if ((x == 1 && y == 1) || (x == 2 && y == 2)) {
                EXPECT_EQ(disabled.pixel(x, y) & 0xFFFFFFu, kShadow);
            } else if (x == 3 && y == 3) {
                EXPECT_EQ(disabled.pixel(x, y) & 0xFFFFFFu, kHighlight);
            } else {
                EXPECT_TRUE(Transparent(disabled, x, y));
            }
        }
    }
}

TEST_F(ButtonGlyphTest, OldDisabledStyleEmbossesOnlyBlack) {
    TButtonGlyph glyph;
    glyph.SetGlyph(Sample());
    glyph.SetOldDisabledStyle(true);
    const QImage disabled = ListImage(glyph, bsDisabled);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
            if (x == 1 && y == 1) {
                EXPECT_EQ(disabled.pixel(x, y) & 0xFFFFFFu, kShadow);
            } else if (x == 2 && y == 2) {
                EXPECT_EQ(disabled.pixel(x, y) & 0xFFFFFFu, kHighlight);
            } else {
                EXPECT_TRUE(Transparent(disabled, x, y));
            }
        }
    }
}

TEST_F(ButtonGlyphTest, DisabledFromSecondImageRecolours) {
    // A yellow highlight shows that white becomes the highlight colour.
    SetSysColor(20, 0x00FFFF); // 0x00BBGGRR: yellow
    QImage image = Picture(8, 4, kOlive);
    image.setPixel(4 + 1, 1, kWhite);
    image.setPixel(4 + 2, 1, kShadow);
    image.setPixel(4 + 1, 2, kBlack);
    image.setPixel(1, 1, kRed); // image 0 plays no part
    TButtonGlyph glyph;
    glyph.SetGlyph(image);
    ASSERT_EQ(glyph.NumGlyphs(), 2);
    const QImage disabled = ListImage(glyph, bsDisabled);
    EXPECT_EQ(disabled.pixel(1, 1) & 0xFFFFFFu, kYellow);
    EXPECT_EQ(disabled.pixel(2, 1) & 0xFFFFFFu, kShadow);
    EXPECT_EQ(disabled.pixel(1, 2) & 0xFFFFFFu, kBlack);
    EXPECT_TRUE(Transparent(disabled, 0, 0));
    EXPECT_TRUE(Transparent(disabled, 3, 3));
}

TEST_F(ButtonGlyphTest, StateImagesAreMadeOnceAndSharedPerSize) {
    // The main toolbar's six glyph sizes: four distinct ones.
    const int sizes[] = {18, 16, 17, 16, 20, 20};
    std::vector<std::unique_ptr<TButtonGlyph>> glyphs;
    for (const int size : sizes) {
        glyphs.push_back(std::make_unique<TButtonGlyph>());
        glyphs.back()->SetGlyph(Picture(size, size, kOlive));
        glyphs.back()->CreateButtonGlyph(bsUp);
    }
    ASSERT_NE(TGlyphCache::Instance(), nullptr);
    EXPECT_EQ(TGlyphCache::Instance()->ListCount(), 4);
    const TGlyphList* list16 = TGlyphCache::Instance()->Find(QSize(17, 17));
    ASSERT_NE(list16, nullptr);
    EXPECT_EQ(list16, glyphs[1]->List());
    EXPECT_EQ(list16, glyphs[3]->List());
    EXPECT_EQ(list16->Count(), 2);

    const int first = glyphs[3]->CreateButtonGlyph(bsDisabled);
    const int again = glyphs[3]->CreateButtonGlyph(bsDisabled);
    EXPECT_EQ(first, again);
    EXPECT_EQ(list16->Count(), 3);

    // Dropping a glyph gives its slots back; the lowest free slot is reused.
    glyphs[1].reset();
    EXPECT_EQ(list16->Count(), 2);
    glyphs[3]->CreateButtonGlyph(bsDown);
    EXPECT_EQ(glyphs[3]->CreateButtonGlyph(bsDown), 0);

    // A list left empty goes; the cache goes with the last glyph.
    glyphs[0].reset();
    EXPECT_EQ(TGlyphCache::Instance()->Find(QSize(19, 19)), nullptr);
    EXPECT_EQ(TGlyphCache::Instance()->ListCount(), 3);
    glyphs.clear();
    EXPECT_EQ(TGlyphCache::Instance(), nullptr);
}

TEST_F(ButtonGlyphTest, AListRefusesImagesSmallerThanItsSize) {
    TGlyphList list(QSize(5, 5));
    try {
        list.AddMasked(Picture(4, 5, kOlive), 0x008080);
        FAIL() << "a smaller image was taken";
    } catch (const EInvalidOperation& error) {
        EXPECT_STREQ(error.what(), "Invalid image size");
    }
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.AddMasked(Picture(6, 6, kOlive), 0x008080), 0);
    EXPECT_EQ(list.Image(0).size(), QSize(5, 5));
}

TEST_F(ButtonGlyphTest, NoGlyphNoImage) {
    TButtonGlyph glyph;
    EXPECT_EQ(glyph.ImageSize(), QSize(0, 0)); // takes no room in a layout
    EXPECT_EQ(glyph.CreateButtonGlyph(bsUp), -1);
    QImage canvas = Picture(4, 4, kRed);
    QPainter painter(&canvas);
    glyph.Draw(painter, 0, 0, bsDisabled);
    painter.end();
    EXPECT_EQ(At(canvas, 1, 1), kRed);
}
