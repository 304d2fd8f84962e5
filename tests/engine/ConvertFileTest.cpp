// The entry point: file-type test, reading the file, the output stream.

#include "engine/PascalParser.h"
#include "tests/engine/EngineTestSupport.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>

namespace {

class ConvertFileTest : public ::testing::Test {
protected:
    void SetUp() override { ResetColorsAndStore(); }

    // The message ConvertFile fails with; empty when it succeeds.
    static std::string FailureOf(const std::string& fileName, TMemoryStream& out) {
        try {
            ConvertFile(fileName, out);
        } catch (const std::exception& e) {
            return e.what();
        }
        return {};
    }

    TTempDir dir_;
};

TEST_F(ConvertFileTest, ExtensionIsTakenAfterTheLastSeparator) {
    EXPECT_EQ(FileExtension("unit1.pas"), ".pas");
    EXPECT_EQ(FileExtension("a.b.PAS"), ".PAS");
    EXPECT_EQ(FileExtension("unit1"), "");
    EXPECT_EQ(FileExtension("C:\\dir.x\\unit1"), "");
    EXPECT_EQ(FileExtension("/home/a.b/unit1"), "");
    EXPECT_EQ(FileExtension("C:unit1"), "");
    EXPECT_EQ(FileExtension("dir/.pas"), ".pas");
    EXPECT_EQ(FileExtension("unit1."), ".");
    EXPECT_EQ(FileExtension(""), "");
    EXPECT_EQ(FileExtension("x." + std::string(300, 'p')).size(), 255u);
}

TEST_F(ConvertFileTest, AcceptsTheSixExtensionsInAnyCase) {
    for (const char* name : {"Unit1.PAS", "unit1.pas", "a.~pa", "P.DPR", "p.~Dp", "x.int", "x.Inc",
                             "/home/a.b/unit1.pas", "C:\\src\\main.pas", ".pas"}) {
        EXPECT_TRUE(IsSourceFileName(name)) << name;
    }
    for (const char* name :
         {"unit1.pas.bak", "unit1", "C:\\dir.x\\unit1", "/home/a.b/unit1", "unit1.pa", "unit1.pass",
          "unit1.pp", "unit1.", "", "pas", "unit1.p\xc1s"}) {
        EXPECT_FALSE(IsSourceFileName(name)) << name;
    }
}

TEST_F(ConvertFileTest, FreePascalExtensionsArePascalButNotSourceExtensions) {
    for (const char* name : {"types.pp", "PROJECT1.LPR", "hello.p", "a.Pp", "unit1.pas", "x.INC"}) {
        EXPECT_TRUE(IsPascalFileName(name)) << name;
    }
    for (const char* name : {"types.ppu", "a.lpi", "x.pl", "p", "dir.pp/readme", "x.rtf", ""}) {
        EXPECT_FALSE(IsPascalFileName(name)) << name;
    }
    // The engine's own entry keeps its six extensions.
    TMemoryStream out;
    EXPECT_EQ(FailureOf(dir_.WriteFile("types.pp", "begin end."), out), "Unknown file extension");
}

TEST_F(ConvertFileTest, AsPascalConvertsWhateverTheExtensionTheSameDocument) {
    const std::string text = "unit u; { c } begin x := 'a' + 1 end.";
    TMemoryStream viaSource;
    ConvertFile(dir_.WriteFile("u.pas", text), viaSource);
    for (const char* name : {"u.pp", "u.txt", "u"}) {
        TMemoryStream out;
        ConvertFileAsPascal(dir_.WriteFile(name, text), out);
        EXPECT_EQ(out.View(), viaSource.View()) << name;
        EXPECT_EQ(out.Position(), 0u) << name;
    }
    TMemoryStream missing;
    EXPECT_THROW(ConvertFileAsPascal(dir_.Path().string() + "/absent.pp", missing),
                 std::runtime_error);
    EXPECT_EQ(missing.Size(), 0u);
}

TEST_F(ConvertFileTest, UnknownExtensionLeavesTheOutputUntouched) {
    const std::string file = dir_.WriteFile("notes.txt", "begin end.");
    TMemoryStream out;
    out.Write("keep");
    out.SetPosition(2);
    for (const std::string& name : {file, std::string(), dir_.Path().string() + "/x.pas.bak"}) {
        EXPECT_EQ(FailureOf(name, out), "Unknown file extension") << name;
        EXPECT_EQ(out.View(), "keep");
        EXPECT_EQ(out.Position(), 2u);
    }
}

TEST_F(ConvertFileTest, UnreadableFileIsNamedAndNothingIsWritten) {
    const std::string missing = (dir_.Path() / "missing.pas").string();
    const std::string directory = (dir_.Path() / "folder.pas").string();
    std::filesystem::create_directory(directory);
    for (const std::string& name : {missing, directory}) {
        TMemoryStream out;
        const std::string message = FailureOf(name, out);
        EXPECT_NE(message.find(name), std::string::npos) << message;
        EXPECT_NE(message.find(name == missing ? "No such file" : "directory"), std::string::npos)
            << message;
        EXPECT_EQ(out.Size(), 0u);
    }
}

TEST_F(ConvertFileTest, WritesTheDocumentAndRewinds) {
    const std::string source = "program P;\nbegin\n  Writeln('Hi'); // greet\nend.\n";
    TMemoryStream out;
    ASSERT_EQ(FailureOf(dir_.WriteFile("p.dpr", source), out), "");
    EXPECT_EQ(out.View(), Document(source));
    EXPECT_EQ(out.Position(), 0u);
}

TEST_F(ConvertFileTest, EmptyFileGivesHeaderAndTrailer) {
    TMemoryStream out;
    ASSERT_EQ(FailureOf(dir_.WriteFile("empty.pas", ""), out), "");
    EXPECT_EQ(out.View(), TPascalParser::BuildHeader() + "\\par }{\r\n");
}

TEST_F(ConvertFileTest, KeepsEveryByteOfAFileWithNulsAndHighBytes) {
    std::string source;
    for (int c = 0; c < 256; ++c) {
        if (c != '\n' && c != '\\' && c != '{' && c != '}' && c != '\'' && c != '#' && c != '$' &&
            c != '(' && c != '/' && c != '_' && !std::isalnum(c)) {
            source += static_cast<char>(c);
        }
    }
    TMemoryStream out;
    ASSERT_EQ(FailureOf(dir_.WriteFile("bytes.inc", source), out), "");
    EXPECT_EQ(out.View(), TPascalParser::BuildHeader() + source + "\\par }{\r\n");
}

// Collects what a conversion hands on, and how often.
class TCollectingSink : public TByteSink {
public:
    void Write(std::string_view bytes) override {
        text += bytes;
        ++writes;
    }
    std::string text;
    int writes = 0;
};

TEST_F(ConvertFileTest, SinkReceivesTheSameDocumentInPieces) {
    std::string source;
    for (int i = 0; i < 20000; ++i) {
        source += "begin x := $1F; { c } end;\n";
    }
    const std::string file = dir_.WriteFile("big.pas", source);
    TMemoryStream stream;
    ConvertFile(file, stream);
    TCollectingSink sink;
    ConvertFile(file, sink);
    EXPECT_EQ(sink.text, stream.View());
    EXPECT_GT(sink.writes, 1); // handed on while written, not at the end in one piece
}

TEST_F(ConvertFileTest, SinkGetsNothingWhenTheConversionCannotStart) {
    TCollectingSink sink;
    EXPECT_THROW(ConvertFile(dir_.WriteFile("a.txt", "x"), sink), std::runtime_error);
    EXPECT_THROW(ConvertFile((dir_.Path() / "none.pas").string(), sink), std::runtime_error);
    EXPECT_EQ(sink.writes, 0);
}

TEST_F(ConvertFileTest, LargeFileGivesTheDocumentOfItsBytes) {
    // Large enough for the scanner to give back pages of its copy of the file
    // in steps, with a comment of two megabytes, in which no step can be
    // taken, across one of them.
    std::ifstream file(LUMIVANE_SAMPLE_FILE, std::ios::binary);
    ASSERT_TRUE(file) << LUMIVANE_SAMPLE_FILE;
    std::stringstream sample;
    sample << file.rdbuf();
    std::string source;
    while (source.size() < (7u << 20)) {
        source += sample.str();
    }
    source += "{ a comment\n";
    while (source.size() < (9u << 20)) {
        source += "  begin 'not a string' end; (* not a comment *)\n";
    }
    source += "}\n";
    while (source.size() < (20u << 20)) {
        source += sample.str();
    }
    const std::string copy = source;
    TStringSink fromBytes;
    TPascalParser().ConvertSource(source, fromBytes);
    EXPECT_TRUE(source == copy) << "the caller's bytes are never given back";

    const std::string name = dir_.WriteFile("big.pas", source);
    TMemoryStream stream;
    ConvertFile(name, stream);
    ASSERT_EQ(stream.Size(), fromBytes.text.size());
    EXPECT_TRUE(stream.View() == fromBytes.text);
    TStringSink sink;
    ConvertFile(name, sink);
    ASSERT_EQ(sink.text.size(), fromBytes.text.size());
    EXPECT_TRUE(sink.text == fromBytes.text);
}

} // namespace
