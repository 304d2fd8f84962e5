// Names in messages: unchanged unless they hold a control character, then
// quoted with C escapes, worked out by hand from the escape rules.
#include "platform/NameQuoting.h"

#include <gtest/gtest.h>

namespace {

using platform::ShownName;

TEST(NameQuotingTest, PrintableNamesStayAsTheyAre) {
    EXPECT_EQ(ShownName(""), "");
    EXPECT_EQ(ShownName("/tmp/x y/it's a\\b.pas"), "/tmp/x y/it's a\\b.pas");
    EXPECT_EQ(ShownName("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80.rtf"),
              "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80.rtf"); // é, €, an emoji
    EXPECT_FALSE(platform::HasControlCharacters("~/~pa.~pa"));
}

TEST(NameQuotingTest, ControlCharactersAreEscapedInsideQuotes) {
    EXPECT_EQ(ShownName("a\nb"), "'a\\nb'");
    EXPECT_EQ(ShownName("\x1b[31mred"), "'\\e[31mred'");
    EXPECT_EQ(ShownName(std::string("\a\b\t\v\f\r", 6)), "'\\a\\b\\t\\v\\f\\r'");
    EXPECT_EQ(ShownName(std::string("x\0y", 3)), "'x\\000y'");
    EXPECT_EQ(ShownName("\x01\x1f\x7f"), "'\\001\\037\\177'");
    // Once quoted, a quote and a backslash are escaped too, so that the text
    // between the quotes reads back one way only.
    EXPECT_EQ(ShownName("it's\\\n"), "'it\\'s\\\\\\n'");
    EXPECT_TRUE(platform::HasControlCharacters("tab\there"));
}

TEST(NameQuotingTest, C1ControlsAndBytesThatAreNoUtf8AreEscapedInOctal) {
    EXPECT_EQ(ShownName("a\xC2\x9B"
                        "2J"),
              "'a\\302\\2332J'");                              // U+009B, a terminal's CSI
    EXPECT_EQ(ShownName("\x9b"), "'\\233'");                   // a lone C1 byte
    EXPECT_EQ(ShownName("caf\xE9"), "'caf\\351'");             // Windows-1252 é
    EXPECT_EQ(ShownName("\xC0\xAF"), "'\\300\\257'");          // overlong "/"
    EXPECT_EQ(ShownName("\xED\xA0\x80"), "'\\355\\240\\200'"); // a surrogate
    EXPECT_EQ(ShownName("\xE2\x82"), "'\\342\\202'");          // cut short
    EXPECT_EQ(ShownName("\xC2\xA0"), "\xC2\xA0");              // U+00A0 is printable
}

} // namespace
