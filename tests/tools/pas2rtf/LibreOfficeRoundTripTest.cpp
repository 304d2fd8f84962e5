// A real RTF reader on what we write: pas2rtf's documents and the viewer's
// saved RTF, converted to text by LibreOffice, read back as the source's
// text. Skipped when soffice is not installed (libreoffice-writer-nogui).

#include "engine/PascalParser.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/Files.h"
#include "tools/pas2rtf/Pas2Rtf.h"
#include "viewer/text/RtfReader.h"
#include "viewer/text/RtfWriter.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

namespace fs = std::filesystem;

bool HaveSoffice() {
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

// LibreOffice's text of every .rtf in FOLDER, by file name. A private profile
// keeps the user's own settings out of it.
void ConvertWithLibreOffice(const fs::path& folder) {
    const std::string command = "cd '" + folder.string() +
                                "' && soffice -env:UserInstallation=file://" + folder.string() +
                                "/profile --headless --convert-to txt:Text --outdir out *.rtf "
                                ">soffice.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadAll(folder / "soffice.log");
}

// The text as compared: without the byte-order mark LibreOffice starts its
// text with (only that one: a mark of ours would remain), LF line ends, no
// empty lines at the end (the document's closing paragraph mark gives one).
std::string Normalised(std::string text) {
    if (text.starts_with("\xef\xbb\xbf")) {
        text.erase(0, 3);
    }
    std::erase(text, '\r');
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

// Latin, Greek, CJK and an emoji, in comments and strings.
const std::string kUtf8Source =
    "program P; // caf\xc3\xa9 na\xc3\xafve \xce\xba\xce\xb1\xce\xbb\xce"
    "\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1\n"
    "{ \xe4\xb8\xad\xe6\x96\x87 \xf0\x9f\x98\x80 }\n"
    "begin s := '\xe2\x82\xac \xc3\x9f \xe6\x97\xa5\xf0\x9f\x9a\x80'; end.\n";
// "café", "€" and "ß" in Windows-1252, and the same text in UTF-8.
const std::string kCp1252Source = "program Q; // caf\xe9\nbegin s := '\x80 \xdf'; end.\n";
const std::string kCp1252Text =
    "program Q; // caf\xc3\xa9\nbegin s := '\xe2\x82\xac \xc3\x9f'; end.";
// Saved with a byte order mark, which is no text; also with a byte that is no
// UTF-8 after it, read as its Windows-1252 character.
const std::string kByteOrderMark = "\xef\xbb\xbf";
const std::string kMarkedSource = "program R; // caf\xc3\xa9 \xe9\n";
const std::string kMarkedText = "program R; // caf\xc3\xa9 \xc3\xa9";

TEST(LibreOfficeRoundTrip, Pas2RtfAndTheViewersSavedRtfReadBackAsTheSource) {
    if (!HaveSoffice()) {
        GTEST_SKIP() << "soffice is not installed (Debian: libreoffice-writer-nogui)";
    }
    ResetColorsAndStore();
    TTempDir dir;
    const struct {
        std::string Name;
        std::string Source;
        std::string Text;
    } sources[] = {{"utf8", kUtf8Source, Normalised(kUtf8Source)},
                   {"cp1252", kCp1252Source, kCp1252Text},
                   {"bom", kByteOrderMark + kUtf8Source, Normalised(kUtf8Source)},
                   {"bom-latin", kByteOrderMark + kMarkedSource, kMarkedText}};
    for (const auto& source : sources) {
        const std::string input = dir.WriteFile(source.Name + ".pas", source.Source);
        std::ostringstream out, err;
        ASSERT_EQ(RunPas2Rtf({"-o", (dir.Path() / (source.Name + "-pas2rtf.rtf")).string(), input},
                             out, err),
                  0)
            << err.str();
        // What the viewer saves: the engine's document as the view reads it, written again.
        WriteAll(dir.Path() / (source.Name + "-viewer.rtf"),
                 WriteRtf(ReadRtf(Document(source.Source))));
    }
    ConvertWithLibreOffice(dir.Path());
    for (const auto& source : sources) {
        for (const char* writer : {"-pas2rtf", "-viewer"}) {
            const fs::path text = dir.Path() / "out" / (source.Name + writer + ".txt");
            ASSERT_TRUE(fs::exists(text)) << text;
            EXPECT_EQ(Normalised(ReadAll(text)), source.Text) << source.Name << writer;
        }
    }
    ResetColorsAndStore();
}

TEST(LibreOfficeRoundTrip, NumberedRtfInAnotherFontReadsBackWithItsNumbers) {
    if (!HaveSoffice()) {
        GTEST_SKIP() << "soffice is not installed (Debian: libreoffice-writer-nogui)";
    }
    ResetColorsAndStore();
    TTempDir dir;
    // Twelve lines, numbered from 0: two digits from the tenth on.
    std::string source;
    for (int i = 0; i < 12; ++i) {
        source += i % 3 == 0 ? "begin { c } s := 'x'; end;\n" : "  x := x + 1;\n";
    }
    const std::string input = dir.WriteFile("numbered.pas", source + kUtf8Source);
    std::ostringstream out, err;
    ASSERT_EQ(RunPas2Rtf({"--line-numbers=0", "--font=DejaVu Sans Mono", "--font-size=10.5", "-o",
                          (dir.Path() / "numbered.rtf").string(), input},
                         out, err),
              0)
        << err.str();
    ConvertWithLibreOffice(dir.Path());
    std::string expected;
    std::istringstream lines(source + Normalised(kUtf8Source));
    int number = 0;
    for (std::string line; std::getline(lines, line); ++number) {
        expected += (number < 10 ? " " : "") + std::to_string(number) + "  " + line + "\n";
    }
    // LibreOffice's text export puts a U+2006 SIX-PER-EM SPACE between the
    // blanks of a run; the document holds the blanks alone.
    std::string shown = Normalised(ReadAll(dir.Path() / "out" / "numbered.txt"));
    for (std::size_t at; (at = shown.find("\xe2\x80\x86")) != std::string::npos;) {
        shown.replace(at, 3, "");
    }
    EXPECT_EQ(shown, Normalised(expected));
    ResetColorsAndStore();
}

} // namespace
