// Token classes, escapes and end-of-source rules, checked as document bytes.

#include "engine/PascalParser.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct TCase {
    std::string_view Source;
    std::string_view Written;
};

void ExpectBodies(std::initializer_list<TCase> cases) {
    for (const TCase& c : cases) {
        EXPECT_EQ(Body(c.Source), c.Written) << "source: " << c.Source;
    }
}

class ScannerTest : public ::testing::Test {
protected:
    void SetUp() override { ResetColorsAndStore(); }
};

TEST_F(ScannerTest, WorkedLine) {
    EXPECT_EQ(Body("begin s := 'it''s'; { note } end;\r\n"),
              "{\\cf6\\b begin} s := {\\cf2 'it'}{\\cf2 's'}; {\\cf3\\i \\{ note \\}} "
              "{\\cf6\\b end};\r\\par ");
}

TEST_F(ScannerTest, EmptySourceIsHeaderAndTrailer) {
    EXPECT_EQ(Document(""), TPascalParser::BuildHeader() + "\\par }{\r\n");
}

TEST_F(ScannerTest, PlainBytes) {
    ExpectBodies({
        {"a\nb", "a\\par b"},
        {"\\", "\\\\"},
        {"}", "\\}"},
        {"x }", "x \\}"},
        {"\r\n", "\r\\par "},
        {"a\rb", "a\rb"}, // CR is no line end
        {std::string_view("\0\t ;:=+-*)@^[]\"", 15), std::string_view("\0\t ;:=+-*)@^[]\"", 15)},
        {"\x80\xff\xe4", "\x80\xff\xe4"},
        {"\xe4x", "\xe4x"}, // high bytes are never part of a word
    });
}

TEST_F(ScannerTest, WordsAndKeywords) {
    ExpectBodies({
        {"Begin", "{\\cf6\\b Begin}"},
        {"BEGIN end", "{\\cf6\\b BEGIN} {\\cf6\\b end}"},
        {"Begins end1 _begin", "Begins end1 _begin"},
        {"or in to", "or in to"}, // not in the table
        {"abc#13", "abc#13"},     // "#" continues a word
        {"x_1.y", "x_1.y"},
        {"ASSEMBLER;", "{\\cf6\\b ASSEMBLER};"},
        {"_", "_"},
    });
}

TEST_F(ScannerTest, NumbersAndCharacterCodes) {
    ExpectBodies({
        {"1..10", "{\\cf4 1..10}"},
        {"1.5E-3", "{\\cf4 1.5E}-{\\cf4 3}"},
        {"$FF $ff", "{\\cf4 $FF} {\\cf4 $ff}"},
        {"$", "{\\cf4 $}"},
        {"$fg", "{\\cf4 $f}g"},
        {"#13#10", "{\\cf2 #13#10}"},
        {"#$0D", "{\\cf2 #}{\\cf4 $0D}"},
        {"12ab", "{\\cf4 12}ab"},
        {"1e5e", "{\\cf4 1e5e}"},
    });
}

TEST_F(ScannerTest, Strings) {
    ExpectBodies({
        {"'it''s'", "{\\cf2 'it'}{\\cf2 's'}"},
        {"''", "{\\cf2 ''}"},
        {"'a\\b{c}d'", "{\\cf2 'a\\\\b\\{c\\}d'}"},
        {"'open\nx", "{\\cf2 'open\\par}x"}, // cut off by the line end
        {"'open\r\nx", "{\\cf2 'open\r\\par}x"},
        {"'open", "{\\cf2 'open}"}, // cut off by the end of the source
        {"'", "{\\cf2 '}"},
        {"'(* // {'", "{\\cf2 '(* // \\{'}"},
        {"'\t\xe9'", "{\\cf2 '\t\xe9'}"},
    });
}

TEST_F(ScannerTest, BraceComments) {
    ExpectBodies({
        {"{}", "{\\cf3\\i \\{\\}}"},
        {"{a{b\\c}d", "{\\cf3\\i \\{a\\{b\\\\c\\}}d"},
        {"{$R+}", "{\\cf3\\i \\{$R+\\}}"},
        {"{1\n2}", "{\\cf3\\i \\{1\\par 2\\}}"},
        {"{open", "{\\cf3\\i \\{open}"},
        {"{", "{\\cf3\\i \\{}"},
        {"{ 'x }'", "{\\cf3\\i \\{ 'x \\}}{\\cf2 '}"},
    });
}

TEST_F(ScannerTest, ParenComments) {
    ExpectBodies({
        {"(*)", "{\\cf3\\i (*)}"},
        {"(**)", "{\\cf3\\i (**)}"},
        {"(* a *)b", "{\\cf3\\i (* a *)}b"},
        {"(* a ) b *)", "{\\cf3\\i (* a ) b *)}"},
        {"(* *\n) x", "{\\cf3\\i (* *\\par )} x"},           // LF keeps the star
        {"(* *\r\n) x *)", "{\\cf3\\i (* *\r\\par ) x *)}"}, // CR clears it
        {"(* *{) *)", "{\\cf3\\i (* *\\{)} *)"},
        {"(* *\\) *)", "{\\cf3\\i (* *\\\\)} *)"},
        {"(* *}) *)", "{\\cf3\\i (* *\\})} *)"},
        {"(* *x) *)", "{\\cf3\\i (* *x) *)}"},
        {"(* {a} \\ *)", "{\\cf3\\i (* \\{a\\} \\\\ *)}"},
        {"(* open", "{\\cf3\\i (* open}"},
        {"(*", "{\\cf3\\i (*}"},
        {"(a)", "(a)"},
        {"(", "("},
    });
}

TEST_F(ScannerTest, LineComments) {
    ExpectBodies({
        {"// a\nb", "{\\cf3\\i // a\\par}b"},
        {"// a\r\nb", "{\\cf3\\i // a\r\\par}b"},
        {"// {x} \\", "{\\cf3\\i // \\{x\\} \\\\}"}, // last line without LF
        {"//", "{\\cf3\\i //}"},
        {"a/b", "a/b"},
        {"/", "/"},
        {"/ /", "/ /"},
    });
}

TEST_F(ScannerTest, AssemblerBlocks) {
    ExpectBodies({
        {"asm mov ax,1 end;", "{\\cf6\\b asm}{\\cf5  mov ax,1 }{\\b end};"},
        {"Asm\n nop\nEnd", "{\\cf6\\b Asm}{\\cf5 \\par  nop\\par }{\\b End}"},
        {"ASM x END", "{\\cf6\\b ASM}{\\cf5  x }{\\b END}"},
        {"asm @@end: end", "{\\cf6\\b asm}{\\cf5  @@}{\\b end}: {\\cf6\\b end}"},
        {"asm _end", "{\\cf6\\b asm}{\\cf5  _}{\\b end}"},
        {"asm x_end end", "{\\cf6\\b asm}{\\cf5  x_end }{\\b end}"},
        {"asm 1end", "{\\cf6\\b asm}{\\cf5  1}{\\b end}"},
        {"asm 'end'", "{\\cf6\\b asm}{\\cf5  '}{\\b end}{\\cf2 '}"},
        {"asm begin 'a' 12 $F #1 end", "{\\cf6\\b asm}{\\cf5  begin 'a' 12 $F #1 }{\\b end}"},
        {"asm {end} end", "{\\cf6\\b asm}{\\cf5  {\\cf3\\i \\{end\\}} }{\\b end}"},
        {"asm (* end *) end", "{\\cf6\\b asm}{\\cf5  {\\cf3\\i (* end *)} }{\\b end}"},
        {"asm // end\nend", "{\\cf6\\b asm}{\\cf5  {\\cf3\\i // end\\par}}{\\b end}"},
        {"asm (a)/b\\c} end", "{\\cf6\\b asm}{\\cf5  (a)/b\\\\c\\} }{\\b end}"},
        {"asm nop", "{\\cf6\\b asm}{\\cf5  nop}"}, // to the end of the source
        {"asm", "{\\cf6\\b asm}{\\cf5 }"},
        {"asm(", "{\\cf6\\b asm}{\\cf5 (}"},
        {"asm /", "{\\cf6\\b asm}{\\cf5  /}"},
        {"asm end end", "{\\cf6\\b asm}{\\cf5  }{\\b end} {\\cf6\\b end}"},
        {"asm {", "{\\cf6\\b asm}{\\cf5  {\\cf3\\i \\{}}"},
        {"assembler; asm", "{\\cf6\\b assembler}; {\\cf6\\b asm}{\\cf5 }"},
        {"asm endx end", "{\\cf6\\b asm}{\\cf5  endx }{\\b end}"},
        {"_asm asm1", "_asm asm1"},
    });
}

TEST_F(ScannerTest, LastByteOpensNothing) {
    ExpectBodies({
        {"x(", "x("},
        {"x/", "x/"},
        {"x\\", "x\\\\"},
    });
}

} // namespace
