// Colour slots, colour texts and the document header built from them.

#include "engine/PascalParser.h"
#include "platform/SysColors.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>
#include <random>
#include <stdexcept>

namespace {

class ColorSchemeTest : public ::testing::Test {
protected:
    void SetUp() override { ResetColorsAndStore(); }
    void TearDown() override {
        ResetSysColors();
        ResetColorsAndStore();
    }
};

TEST_F(ColorSchemeTest, SlotsInTheirFixedOrder) {
    const std::array<std::pair<std::string_view, std::string_view>, 7> names = {{
        {"clFGround", "Foreground"},
        {"clBGround", "Background"},
        {"clString", "String"},
        {"clComment", "Comment"},
        {"clNumber", "Number"},
        {"clAssembler", "Assembler"},
        {"clKeyword", "Keyword"},
    }};
    for (std::size_t i = 0; i < ColorSlots.size(); ++i) {
        EXPECT_EQ(ColorSlots[i].ValueName, names[i].first);
        EXPECT_EQ(ColorSlots[i].DisplayName, names[i].second);
    }
    EXPECT_EQ(ColorToString(ColorSlots[ciString].Color), "clRed");
    EXPECT_EQ(ColorToString(ColorSlots[ciComment].Color), "clNavy");
    EXPECT_EQ(ColorToString(ColorSlots[ciNumber].Color), "clFuchsia");
    EXPECT_EQ(ColorToString(ColorSlots[ciAssembler].Color), "clGreen");
}

TEST_F(ColorSchemeTest, DefaultHeader) {
    EXPECT_EQ(TPascalParser::BuildHeader(),
              "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern Courier New;}}{\\colortbl"
              "\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red255\\green0\\blue0;"
              "\\red0\\green0\\blue128;\\red255\\green0\\blue255;\\red0\\green128\\blue0;"
              "\\red0\\green0\\blue0;"
              "}\\deflang1031\\pard\\plain\\f0\\fs18\\cf0");
}

TEST_F(ColorSchemeTest, ColorTableEntryTakesBytesLowToHigh) {
    EXPECT_EQ(TPascalParser::ColorTableEntry(0x00030201), "\\red1\\green2\\blue3;");
    EXPECT_EQ(TPascalParser::ColorTableEntry(0x1FFFFFFF), "\\red255\\green255\\blue255;");
    EXPECT_EQ(TPascalParser::ColorTableEntry(0x7F0A6400), "\\red0\\green100\\blue10;");
}

TEST_F(ColorSchemeTest, SystemColourIsResolvedWhenTheHeaderIsBuilt) {
    ColorSlots[ciKeyword].Color = 0x80000008; // clWindowText
    ColorSlots[ciString].Color = 0x80000018;  // clInfoBk
    const std::string classic = TPascalParser::BuildHeader();
    EXPECT_NE(classic.find("\\red255\\green255\\blue225;\\red0\\green0\\blue128;"),
              std::string::npos);
    SetSysColor(8, 0x00332211);
    const std::string changed = TPascalParser::BuildHeader();
    EXPECT_TRUE(changed.ends_with("\\red17\\green34\\blue51;}\\deflang1031\\pard\\plain\\f0\\fs18"
                                  "\\cf0"))
        << changed;
    ColorSlots[ciKeyword].Color = 0x800000FF; // no such system colour
    EXPECT_NE(TPascalParser::BuildHeader().find("\\red0\\green0\\blue0;}"), std::string::npos);
}

TEST_F(ColorSchemeTest, ColourTextsWritten) {
    EXPECT_EQ(ColorToString(0x800000), "clNavy");
    EXPECT_EQ(ColorToString(0x80000008), "clWindowText");
    EXPECT_EQ(ColorToString(0x80FFFF), "$0080FFFF");
    EXPECT_EQ(ColorToString(0x000000), "clBlack");
    EXPECT_EQ(ColorToString(0x1FFFFFFF), "clNone");
    EXPECT_EQ(ColorToString(0x80000019), "$80000019");
    EXPECT_EQ(ColorToString(0xFFFFFFFF), "$FFFFFFFF");
    EXPECT_EQ(ColorToString(0x00ABCDEF), "$00ABCDEF");
}

TEST_F(ColorSchemeTest, ColourTextsRead) {
    EXPECT_EQ(StringToColor("clNavy"), 0x800000u);
    EXPECT_EQ(StringToColor("CLNAVY"), 0x800000u);
    EXPECT_EQ(StringToColor("clinfobk"), 0x80000018u);
    EXPECT_EQ(StringToColor("$00FF0000"), 0xFF0000u);
    EXPECT_EQ(StringToColor("16711680"), 0xFF0000u);
    EXPECT_EQ(StringToColor("$ff"), 0xFFu);
    EXPECT_EQ(StringToColor("  12"), 12u);
    EXPECT_EQ(StringToColor("+7"), 7u);
    EXPECT_EQ(StringToColor("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(StringToColor("-$10"), 0xFFFFFFF0u);
    EXPECT_EQ(StringToColor("$80000008"), 0x80000008u);
    EXPECT_EQ(StringToColor("$FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(StringToColor("$000000000001"), 1u);
    EXPECT_EQ(StringToColor("2147483647"), 0x7FFFFFFFu);
    EXPECT_EQ(StringToColor("-2147483648"), 0x80000000u);
}

TEST_F(ColorSchemeTest, TextThatIsNoColourIsAnErrorNamingIt) {
    for (std::string_view text :
         {"clNavy ", "navy", "12 ", "1x", "$", "-", "+", "$G", "0x10", "2147483648", "-2147483649",
          "$100000000", "1 2", " ", "--1", "$-1", "\t1"}) {
        try {
            StringToColor(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST_F(ColorSchemeTest, TextsRoundTrip) {
    for (const TColorName& entry : kColorNames) {
        EXPECT_EQ(StringToColor(ColorToString(entry.Value)), entry.Value) << entry.Name;
    }
    std::mt19937 random(3);
    for (int n = 0; n < 10000; ++n) {
        const TColor color = static_cast<TColor>(random());
        ASSERT_EQ(StringToColor(ColorToString(color)), color) << color;
    }
}

TEST_F(ColorSchemeTest, NameTableHasTheSystemColoursInNumberOrder) {
    ASSERT_EQ(kColorNames.size(), 42u);
    EXPECT_EQ(kColorNames[15].Name, "clWhite");
    for (std::size_t i = 0; i < 25; ++i) {
        EXPECT_EQ(kColorNames[16 + i].Value, 0x80000000u + i) << kColorNames[16 + i].Name;
    }
    EXPECT_EQ(kColorNames[16 + 15].Name, "clBtnFace");
    EXPECT_EQ(kColorNames[16 + 24].Name, "clInfoBk");
    EXPECT_EQ(kColorNames[41].Name, "clNone");
}

TEST_F(ColorSchemeTest, ColorToRgbResolvesOnlySystemCodes) {
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
    EXPECT_EQ(ColorToRGB(0x8000000F), 0xC0C0C0u);
    SetSysColor(15, 0x0A0B0C);
    EXPECT_EQ(ColorToRGB(0x8000000F), 0x0A0B0Cu);
}

} // namespace
