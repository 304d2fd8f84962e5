// The reader against LibreOffice on the same hand-made documents: shapes,
// footnotes, font code pages, fields and lists, each read by LibreOffice as
// text (as HTML where its text drops frames or footnotes) and compared with
// what the view shows. Skipped when soffice is not installed
// (libreoffice-writer-nogui).

#include "tests/support/Files.h"
#include "viewer/text/CodePage.h"
#include "viewer/text/RtfReader.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Whitespace runs become one space, and the ends go.
std::string Squeezed(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        if (space && !out.empty() && out.back() != ' ') {
            out.push_back(' ');
        } else if (!space) {
            out.push_back(c);
        }
    }
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out;
}

std::vector<std::string> Lines(std::string text) {
    if (text.starts_with("\xef\xbb\xbf")) {
        text.erase(0, 3);
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(Squeezed(text.substr(start, end - start)));
        start = end + 1;
    }
    while (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

std::string Without(std::string text, const std::string& what) {
    for (std::size_t at; (at = text.find(what)) != std::string::npos;) {
        text.erase(at, what.size());
    }
    return text;
}

// The text of HTML's body: tags become spaces.
std::string HtmlText(const std::string& html) {
    const std::size_t body = html.find("<body");
    return Squeezed(std::regex_replace(html.substr(body == std::string::npos ? 0 : body),
                                       std::regex("<[^>]*>"), " "));
}

// The text of each element of HTML whose opening tag matches OPENING, up to CLOSING.
std::vector<std::string> Blocks(const std::string& html, const std::string& opening,
                                const std::string& closing) {
    std::vector<std::string> blocks;
    const std::regex block(opening + "([\\s\\S]*?)" + closing);
    for (auto it = std::sregex_iterator(html.begin(), html.end(), block);
         it != std::sregex_iterator(); ++it) {
        blocks.push_back(HtmlText((*it)[1].str()));
    }
    return blocks;
}

// Each test converts only the document and the formats it compares: every
// start of soffice takes seconds.
class LibreOfficeRead : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "soffice is not installed (Debian: libreoffice-writer-nogui)";
        }
        std::string pattern = (fs::temp_directory_path() / "lumivane-lo-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        if (!folder_.empty()) {
            fs::remove_all(folder_);
        }
    }

    // LibreOffice's FORMAT ("txt:Text", "html") of document NAME; a private
    // profile keeps the user's own settings out of it.
    void Convert(const std::string& name, const std::string& format) {
        if (!fs::exists(folder_ / (name + ".rtf"))) {
            fs::copy_file(fs::path(LUMIVANE_RTF_DOCUMENTS) / (name + ".rtf"),
                          folder_ / (name + ".rtf"));
        }
        const std::string command = "cd '" + folder_.string() +
                                    "' && soffice -env:UserInstallation=file://" +
                                    folder_.string() + "/profile --headless --convert-to " +
                                    format + " --outdir out " + name + ".rtf >>soffice.log 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << ReadAll(folder_ / "soffice.log");
    }

    static std::vector<std::string> Ours(const std::string& name) {
        const std::string rtf = ReadAll(fs::path(LUMIVANE_RTF_DOCUMENTS) / (name + ".rtf"));
        return Lines(ToUtf8(ReadRtf(rtf).Text.ToU16String()));
    }
    std::vector<std::string> Theirs(const std::string& name) {
        Convert(name, "txt:Text");
        return Lines(ReadAll(folder_ / "out" / (name + ".txt")));
    }
    std::string TheirHtml(const std::string& name) {
        Convert(name, "html");
        return ReadAll(folder_ / "out" / (name + ".html"));
    }

    fs::path folder_;
};

TEST_F(LibreOfficeRead, ShapeTextIsEveryFrameLibreOfficeShowsInItsOwnParagraph) {
    const std::vector<std::string> ours = Ours("shapes");
    const std::string html = TheirHtml("shapes");
    const std::vector<std::string> frames =
        Blocks(html, "<span id=\"Frame[0-9]+\"[^>]*>", "</span>");
    ASSERT_EQ(frames.size(), 3u) << html;
    std::string body = Without(
        HtmlText(std::regex_replace(html, std::regex("<span id=\"Frame[\\s\\S]*?</span>"), "")),
        " ");
    std::string ourBody;
    for (const std::string& line : ours) {
        if (std::find(frames.begin(), frames.end(), line) != frames.end()) {
            continue;
        }
        ourBody += line;
    }
    for (const std::string& frame : frames) {
        EXPECT_NE(std::find(ours.begin(), ours.end(), frame), ours.end()) << frame;
    }
    // The rest, without the frames (LibreOffice anchors them inside a word) and
    // without the grouped shape's text, which LibreOffice does not show.
    EXPECT_EQ(Without(Without(ourBody, " "), "Groupedbox."), body);
}

TEST_F(LibreOfficeRead, FootnoteMarksInTheTextAndTheNotesAfterIt) {
    const std::vector<std::string> ours = Ours("footnotes");
    const std::vector<std::string> theirs = Theirs("footnotes");
    ASSERT_EQ(ours.size(), 4u);
    ASSERT_EQ(theirs.size(), 1u);
    EXPECT_EQ(ours[0], theirs[0]);
    EXPECT_EQ(ours[1], "__________");
    const std::vector<std::string> notes =
        Blocks(TheirHtml("footnotes"), "<div id=\"sdfootnote[0-9]+\">", "</div>");
    EXPECT_EQ(std::vector<std::string>(ours.begin() + 2, ours.end()), notes);
}

TEST_F(LibreOfficeRead, FontCodePagesAndSymbolFonts) {
    const std::vector<std::string> ours = Ours("codepages");
    std::vector<std::string> theirs = Theirs("codepages");
    ASSERT_EQ(theirs.size(), 5u);
    // LibreOffice gives a symbol font's characters as U+F000 plus their byte;
    // what those fonts draw there, worked out from the fonts' charts.
    const std::pair<const char*, const char*> drawn[] = {
        {"\uf061", "\u03b1"}, {"\uf062", "\u03b2"}, {"\uf067", "\u03b3"},
        {"\uf0b7", "\u2022"}, {"\uf0a5", "\u221e"}, {"\uf0b9", "\u2260"},
        {"\uf04a", "\u263a"}, {"\uf0a7", "\u25aa"}, {"\uf020", " "}};
    for (std::string& line : theirs) {
        for (const auto& [pua, ch] : drawn) {
            for (std::size_t at; (at = line.find(pua)) != std::string::npos;) {
                line.replace(at, std::string(pua).size(), ch);
            }
        }
    }
    EXPECT_EQ(ours, theirs);
}

TEST_F(LibreOfficeRead, SymbolFieldsLikeLibreOfficeAndPageFieldsEmpty) {
    const std::vector<std::string> ours = Ours("fields");
    const std::vector<std::string> theirs = Theirs("fields");
    ASSERT_EQ(ours.size(), 3u);
    ASSERT_EQ(theirs.size(), 3u);
    // LibreOffice keeps byte 183 as U+00B7 in the Symbol font, which draws a bullet there.
    EXPECT_EQ(ours[0], std::regex_replace(theirs[0], std::regex("\u00b7"), "\u2022"));
    // A view has no pages: LibreOffice counts them, we show nothing.
    EXPECT_EQ(ours[1], "Page of .");
    EXPECT_EQ(Squeezed(std::regex_replace(theirs[1], std::regex("[0-9]+"), "")), "Page of .");
    // The stored date stays; LibreOffice works out today's.
    EXPECT_EQ(ours[2], "Date 8 December 2026.");
    EXPECT_TRUE(theirs[2].starts_with("Date ")) << theirs[2];
}

TEST_F(LibreOfficeRead, ListNumbersAsLibreOfficeNumbersThem) {
    const std::vector<std::string> ours = Ours("lists");
    std::vector<std::string> theirs = Theirs("lists");
    ASSERT_EQ(ours.size(), theirs.size());
    // The bullet level: LibreOffice's text shows a white bullet where the font draws a black one.
    ASSERT_TRUE(theirs[7].starts_with("\u25e6 ")) << theirs[7];
    theirs[7] = "\u2022 " + theirs[7].substr(std::string("\u25e6 ").size());
    EXPECT_EQ(ours, theirs);
}

} // namespace
