// pas2rtf's formats, writer options, trees and parallel runs: the options as
// parsed, the engine-document reader against the general one, and trees
// converted with -r against the same files converted one at a time.

#include "engine/PascalParser.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/Files.h"
#include "tests/tools/pas2rtf/Pas2RtfFixture.h"
#include "tools/pas2rtf/EngineDocumentReader.h"
#include "tools/pas2rtf/JobRunner.h"
#include "tools/pas2rtf/Pas2Rtf.h"
#include "viewer/text/CodePage.h"
#include "viewer/text/RtfReader.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using TFormat = TPas2RtfCommand::TFormat;

class OutputFormatsTest : public TPas2RtfFixture {};

const std::string kSource = "program P; { a <b> & c }\nbegin\n  s := 'it''s'; // x\nend.\n";

TEST(Pas2RtfOptions, EverySpellingIsRead) {
    const auto parse = [](std::vector<std::string> args) {
        args.push_back("x.pas");
        return ParsePas2RtfArguments(args);
    };
    EXPECT_EQ(parse({}).Format, TFormat::Rtf);
    EXPECT_EQ(parse({"--format=html"}).Format, TFormat::Html);
    EXPECT_EQ(parse({"--format", "ansi"}).Format, TFormat::Ansi);
    EXPECT_TRUE(parse({"--format=html", "--fragment"}).Fragment);
    EXPECT_FALSE(parse({}).LineNumbers);
    const TPas2RtfCommand numbered = parse({"--line-numbers"});
    EXPECT_TRUE(numbered.LineNumbers);
    EXPECT_EQ(numbered.FirstLineNumber, 1u);
    EXPECT_EQ(parse({"--line-numbers=0"}).FirstLineNumber, 0u);
    EXPECT_EQ(parse({"--line-numbers=999999999999999"}).FirstLineNumber, 999999999999999u);
    EXPECT_EQ(parse({"--font=Fira Code"}).FontName, "Fira Code");
    EXPECT_EQ(parse({"--font", "Caf\xc3\xa9"}).FontName, "Caf\xc3\xa9");
    EXPECT_EQ(parse({"--font-size=9.5"}).FontHalfPoints, 19);
    EXPECT_EQ(parse({"--font-size", "1"}).FontHalfPoints, 2);
    EXPECT_EQ(parse({"--font-size=1638"}).FontHalfPoints, 3276);
    EXPECT_EQ(parse({"--font-size=10.0"}).FontHalfPoints, 20);
    EXPECT_EQ(parse({"-d", "out", "-r"}).Recursive, true);
    EXPECT_EQ(parse({"-d", "out", "--recursive"}).Recursive, true);
    EXPECT_EQ(parse({"-j", "3"}).Jobs, 3u);
    EXPECT_EQ(parse({"-j7"}).Jobs, 7u);
    EXPECT_EQ(parse({"--jobs=64"}).Jobs, 64u);
    EXPECT_EQ(parse({"--jobs", "1"}).Jobs, 1u);
    // After "--" an option's spelling is a file name.
    EXPECT_EQ(ParsePas2RtfArguments({"--", "--format=html"}).Inputs.front(), "--format=html");
}

TEST_F(OutputFormatsTest, BadValuesAreUsageErrorsNamingTheOption) {
    const std::string input = dir_.WriteFile("x.pas", kSource);
    const std::string out = dir_.Path().string();
    const struct {
        std::vector<std::string> Args;
        std::string Named;
    } cases[] = {
        {{"--format=pdf"}, "--format"},
        {{"--format=HTML"}, "--format"},
        {{"--format"}, "--format"},
        {{"--font=a;b"}, "--font"},
        {{"--font=a{b"}, "--font"},
        {{"--font=a}b"}, "--font"},
        {{"--font=a\\b"}, "--font"},
        {{"--font=a\tb"}, "--font"},
        {{"--font="}, "--font"},
        {{"--font-size=0"}, "--font-size"},
        {{"--font-size=1638.5"}, "--font-size"},
        {{"--font-size=1639"}, "--font-size"},
        {{"--font-size=9.3"}, "--font-size"},
        {{"--font-size=9."}, "--font-size"},
        {{"--font-size=-9"}, "--font-size"},
        {{"--font-size=nine"}, "--font-size"},
        {{"--font-size=1e1"}, "--font-size"},
        {{"--fragment"}, "--fragment"},
        {{"--format=ansi", "--fragment"}, "--fragment"},
        {{"--format=ansi", "--font=Mono"}, "--font"},
        {{"--line-numbers=-1"}, "--line-numbers"},
        {{"--line-numbers=1.5"}, "--line-numbers"},
        {{"--line-numbers="}, "--line-numbers"},
        {{"--line-numbers=1000000000000000"}, "--line-numbers"},
        {{"--line-numbers=99999999999999999999999"}, "--line-numbers"},
        {{"-r"}, "-r"},
        {{"-j", "0", "-d", out}, "--jobs"},
        {{"-j65", "-d", out}, "--jobs"},
        {{"--jobs=two", "-d", out}, "--jobs"},
        {{"--raw", "--format=html"}, "--raw"},
        {{"--raw", "--line-numbers"}, "--raw"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.Args;
        if (args.back() != "--format") {
            args.push_back(input);
        }
        EXPECT_EQ(Run(args), 2) << c.Args.front();
        EXPECT_NE(err_.str().find(c.Named), std::string::npos)
            << c.Args.front() << ": " << err_.str();
        EXPECT_EQ(out_.str(), "");
    }
    EXPECT_EQ(CountEntries(dir_.Path()), 1u);
}

TEST_F(OutputFormatsTest, FormatsGoToStandardOutputAndToNamedFiles) {
    const std::string input = dir_.WriteFile("Unit1.pas", kSource);
    ASSERT_EQ(Run({"--format=html", input}), 0) << err_.str();
    const std::string html = out_.str();
    EXPECT_TRUE(html.starts_with("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                                 "<title>Unit1.pas</title>"))
        << html;
    // The default scheme: navy italic comments, black bold keywords, white page.
    EXPECT_NE(html.find("<span style=\"color:#000080;font-style:italic\">"
                        "{ a &lt;b&gt; &amp; c }</span>"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("background-color:#ffffff"), std::string::npos);
    ASSERT_EQ(Run({"--format=ansi", "--line-numbers=98", input}), 0) << err_.str();
    EXPECT_TRUE(out_.str().starts_with(" 98  \x1b[0;1;39mprogram\x1b[0;39m P; ")) << out_.str();
    EXPECT_NE(out_.str().find("\n101  \x1b[0;1;39mend"), std::string::npos) << out_.str();

    const fs::path out = dir_.Path() / "out";
    fs::create_directory(out);
    for (const char* format : {"html", "ansi", "rtf"}) {
        ASSERT_EQ(Run({std::string("--format=") + format, "-d", out.string(), input}), 0);
    }
    EXPECT_TRUE(fs::exists(out / "Unit1.html"));
    EXPECT_TRUE(fs::exists(out / "Unit1.ans"));
    EXPECT_EQ(ReadAll(out / "Unit1.rtf"), Document(kSource));
}

TEST_F(OutputFormatsTest, UntouchedOptionsKeepTheEnginesDocument) {
    const std::string input = dir_.WriteFile("u.pas", kSource);
    ASSERT_EQ(Run({"--format=rtf", "-j", "2", input}), 0);
    EXPECT_EQ(out_.str(), Document(kSource));
    // Any writer option takes the document through the model.
    ASSERT_EQ(Run({"--font-size=9", input}), 0);
    EXPECT_NE(out_.str(), Document(kSource));
    EXPECT_EQ(ReadRtf(out_.str()).Text, ReadRtf(Document(kSource)).Text);
}

// Runs by value, so two documents that number their formats differently compare.
struct TFlatRun {
    std::u16string Text;
    TRtfCharFormat Format;
    std::string Font;
    bool operator==(const TFlatRun&) const = default;
};

void PrintTo(const TFlatRun& run, std::ostream* out) {
    *out << ToUtf8(run.Text) << " (colour " << run.Format.Color << (run.Format.Bold ? ", bold" : "")
         << (run.Format.Italic ? ", italic" : "") << ")";
}

std::vector<TFlatRun> Flat(const std::vector<TRtfDocument>& parts) {
    std::vector<TFlatRun> runs;
    for (const TRtfDocument& doc : parts) {
        for (const TRtfRun& run : doc.Runs) {
            TRtfCharFormat f = doc.Formats[run.Format];
            const std::string font = doc.Fonts[static_cast<std::size_t>(f.Font)].Name;
            f.Font = 0;
            const std::u16string text = doc.Text.substr(run.Start, run.Length);
            if (!runs.empty() && runs.back().Format == f && runs.back().Font == font) {
                runs.back().Text += text;
            } else {
                runs.push_back({text, f, font});
            }
        }
    }
    return runs;
}

TEST(EngineDocumentReader, ReadsWhatTheGeneralReaderReads) {
    const std::string asm_ = "begin asm mov ax, 1 { c\\} } end; end.\n";
    const std::string tricky = "x := #13'a\\b{'; (* p\n* q *) // r\n\tq\x01\x7f;";
    for (const std::string& source :
         {kSource, asm_, tricky, std::string(), std::string("\n"), ReadAll(LUMIVANE_SAMPLE_FILE)}) {
        const std::string doc = Document(source);
        const auto fast = ReadEngineDocument(doc);
        ASSERT_TRUE(fast.has_value()) << source;
        EXPECT_EQ(Flat({*fast}), Flat({ReadRtf(doc)})) << source;
        EXPECT_EQ(fast->Text, ReadRtf(doc).Text.ToU16String());
    }
    // pas2rtf's UTF-8 escapes and its Windows-1252 page, both read.
    const std::string utf8 =
        "{\\rtf1\\ansi\\uc1\\deff0\\deftab720" +
        Document("x").substr(std::string("{\\rtf1\\ansi\\deff0\\deftab720").size());
    ASSERT_TRUE(ReadEngineDocument(utf8).has_value());
    const std::string escaped =
        "{\\rtf1\\ansi\\uc1" +
        Document("{ \\u233?\\u-10179?\\u-8704? }\n").substr(std::string("{\\rtf1\\ansi").size());
    EXPECT_EQ(Flat({*ReadEngineDocument(escaped)}), Flat({ReadRtf(escaped)}));
    const std::string cp1252 =
        "{\\rtf1\\ansi\\ansicpg1252" +
        Document("{ caf\xe9 \x80 }").substr(std::string("{\\rtf1\\ansi").size());
    EXPECT_EQ(Flat({*ReadEngineDocument(cp1252)}), Flat({ReadRtf(cp1252)}));
    // Anything else is left to the general reader.
    EXPECT_FALSE(ReadEngineDocument("{\\rtf1\\ansi hello}").has_value());
    std::string foreign = Document("x");
    foreign.insert(foreign.find("x"), "\\ul ");
    EXPECT_FALSE(ReadEngineDocument(foreign).has_value());
    EXPECT_EQ(ReadEngineOrRtf(foreign).Text, ReadRtf(foreign).Text);
    // The engine sets formats in groups only; one set outside is another's document.
    std::string outside = Document("x");
    outside.insert(outside.find("x"), "\\b ");
    EXPECT_FALSE(ReadEngineDocument(outside).has_value());
    EXPECT_EQ(Flat({ReadEngineOrRtf(outside)}), Flat({ReadRtf(outside)}));
    // Raw UTF-8 bytes without a code page are the general reader's to guess at.
    EXPECT_FALSE(ReadEngineDocument(Document("{ caf\xc3\xa9 }")).has_value());
}

TEST(EngineDocumentReader, ControlWordNumbersAtTheirLimits) {
    // RAW in place of the text "x": read by the fast reader as TEXT, or none.
    const auto read = [](const std::string& raw) -> std::optional<std::u16string> {
        std::string doc = Document("x");
        doc.replace(doc.rfind('x'), 1, raw);
        const auto fast = ReadEngineDocument(doc);
        if (!fast) {
            return std::nullopt;
        }
        return fast->Text.ToU16String();
    };
    EXPECT_EQ(read("\\u-32768?"), std::u16string(1, u'\x8000'));
    EXPECT_EQ(read("\\u65535?"), std::u16string(1, u'\xFFFF'));
    EXPECT_EQ(read("\\u000065?"), u"A"); // six characters of number
    EXPECT_EQ(read("\\u-00065?b"), std::u16string(1, static_cast<char16_t>(65536 - 65)) + u"b");
    EXPECT_EQ(read("{\\cf6 y}"), u"y");
    for (const char* bad : {"\\u65536?", "\\u-32769?", "\\u0000065?", "\\u-?", "\\u?", "\\u65",
                            "{\\cf7 y}", "{\\cf-1 y}", "{\\cf y}"}) {
        EXPECT_EQ(read(bad), std::nullopt) << bad;
    }
}

TEST(EngineDocumentReader, PartsJoinToTheWhole) {
    // Several megabytes with comments, strings and assembler across lines.
    std::string source;
    for (int i = 0; i < 40000; ++i) {
        source += "procedure P" + std::to_string(i) + "; { note\n over lines } begin s := 'x\\y';" +
                  " asm mov ax, " + std::to_string(i) + " end; end; // done\n";
    }
    const std::string doc = Document(source);
    ASSERT_GT(doc.size(), 4u << 20);
    const std::vector<TFlatRun> whole = Flat({ReadRtf(doc)});
    // One thread a part, fewer threads than parts taking them in turn, one thread.
    for (const auto& [count, threads] : {std::pair{3u, 0u}, {4u, 2u}, {3u, 1u}}) {
        const std::vector<TRtfDocument> parts = ReadEngineDocumentParts(doc, count, threads);
        EXPECT_EQ(parts.size(), count);
        for (std::size_t k = 0; k + 1 < parts.size(); ++k) {
            EXPECT_EQ(parts[k].Text.back(), kParagraphEnd); // no line spans two parts
        }
        const std::vector<TFlatRun> joined = Flat(parts);
        ASSERT_EQ(joined.size(), whole.size());
        for (std::size_t i = 0; i < whole.size(); ++i) {
            ASSERT_EQ(joined[i], whole[i]) << i;
        }
    }
    EXPECT_EQ(ReadEngineDocumentParts(Document("x"), 3).size(), 1u); // too small to cut
}

TEST(EngineDocumentReader, PartsOfDocumentsThatDefeatQuickCutsStillJoinToTheWhole) {
    const auto joinsToTheWhole = [](const std::string& doc) {
        const std::vector<TFlatRun> whole = Flat({ReadRtf(doc)});
        const std::vector<TFlatRun> joined = Flat(ReadEngineDocumentParts(doc, 4, 2));
        return joined == whole;
    };
    // Lines that end in comments and comments of many lines: the cuts must
    // pass over them rather than split a group.
    std::string comments;
    for (int i = 0; i < 60000; ++i) {
        comments += "x := 1; // line " + std::to_string(i) + "\n{ a comment\nof\nlines }\n";
    }
    EXPECT_EQ(ReadEngineDocumentParts(Document(comments), 4, 2).size(), 4u);
    EXPECT_TRUE(joinsToTheWhole(Document(comments)));
    // One comment over the whole file leaves no place to cut: one part.
    std::string oneComment = "{";
    for (int i = 0; i < 200000; ++i) {
        oneComment += "line " + std::to_string(i) + " \\par\n";
    }
    oneComment += "}";
    const std::string single = Document(oneComment);
    EXPECT_EQ(ReadEngineDocumentParts(single, 4, 2).size(), 1u);
    EXPECT_TRUE(joinsToTheWhole(single));
    // Nested groups are not the engine's, yet its header may stand before
    // them: cuts inside them are noticed, and the whole is read in one.
    std::string nested = Document(comments);
    const std::size_t body = nested.find("x := ");
    ASSERT_NE(body, std::string::npos);
    nested.insert(body, "{\\cf2 ");
    nested.insert(nested.rfind("\\par }"), "}");
    EXPECT_TRUE(joinsToTheWhole(nested));
    // Escaped backslashes before "par" and escaped braces are text, not markup.
    std::string escapes;
    for (int i = 0; i < 80000; ++i) {
        escapes += "s := '\\par {\\\\par}';\n";
    }
    EXPECT_TRUE(joinsToTheWhole(Document(escapes)));
}

TEST(JobRunner, DoneFollowsTheOrderWhateverTheWorkTakes) {
    for (const unsigned threads : {1u, 2u, 5u}) {
        constexpr std::size_t kCount = 40;
        std::vector<std::atomic<int>> worked(kCount);
        std::vector<std::size_t> order;
        RunInOrder(
            kCount, threads,
            [&](std::size_t i) {
                // Early items take longest, so later ones finish first.
                std::this_thread::sleep_for(std::chrono::microseconds((kCount - i) * 200));
                ++worked[i];
            },
            [&](std::size_t i) {
                EXPECT_EQ(worked[i].load(), 1);
                order.push_back(i);
            });
        ASSERT_EQ(order.size(), kCount);
        for (std::size_t i = 0; i < kCount; ++i) {
            EXPECT_EQ(order[i], i);
            EXPECT_EQ(worked[i].load(), 1);
        }
    }
    RunInOrder(
        0, 4, [](std::size_t) { FAIL(); }, [](std::size_t) { FAIL(); });
}

// A small tree: nested folders, a Free Pascal pair that differs only in its
// extension, a file the walk leaves alone, and a link to a folder.
void MakeTree(const fs::path& root) {
    fs::create_directories(root / "rtl" / "inc");
    fs::create_directories(root / "empty");
    WriteAll(root / "main.pas", kSource);
    WriteAll(root / "rtl" / "system.pp", "unit System; {$i system.inc} end.\n");
    WriteAll(root / "rtl" / "system.inc", "procedure X; begin end;\n");
    WriteAll(root / "rtl" / "inc" / "Strings.PAS", "const S = 'a''b';\n");
    WriteAll(root / "rtl" / "notes.txt", "not Pascal\n");
    fs::create_directory_symlink(root / "rtl", root / "link");
}

TEST_F(OutputFormatsTest, TreeIsMirroredAndEachOutputIsTheSingleFileDocument) {
    const fs::path src = dir_.Path() / "src";
    const fs::path out = dir_.Path() / "out";
    MakeTree(src);
    fs::create_directory(out);
    for (const char* jobs : {"-j1", "-j3"}) {
        ASSERT_EQ(Run({"-r", "--force", jobs, "-d", out.string(), src.string()}), 0) << err_.str();
        const struct {
            const char* Output;
            fs::path Input;
        } expected[] = {{"src/main.pas.rtf", src / "main.pas"},
                        {"src/rtl/system.pp.rtf", src / "rtl" / "system.pp"},
                        {"src/rtl/system.inc.rtf", src / "rtl" / "system.inc"},
                        {"src/rtl/inc/Strings.PAS.rtf", src / "rtl" / "inc" / "Strings.PAS"}};
        for (const auto& file : expected) {
            EXPECT_EQ(ReadAll(out / file.Output), Document(ReadAll(file.Input))) << file.Output;
        }
        EXPECT_FALSE(fs::exists(out / "src" / "link")); // links to folders are not followed
        EXPECT_FALSE(fs::exists(out / "src" / "empty"));
        EXPECT_FALSE(fs::exists(out / "src" / "rtl" / "notes.txt.rtf"));
        EXPECT_EQ(CountEntries(out), 1u);
    }
    // Without --force the Free Pascal file is not walked.
    fs::remove_all(out);
    fs::create_directory(out);
    ASSERT_EQ(Run({"-r", "-d", out.string(), src.string() + "/"}), 0) << err_.str();
    EXPECT_FALSE(fs::exists(out / "src" / "rtl" / "system.pp.rtf"));
    EXPECT_TRUE(fs::exists(out / "src" / "rtl" / "system.inc.rtf"));
    // "." has no name of its own: its files go straight below DIR.
    fs::remove_all(out);
    fs::create_directory(out);
    const fs::path before = fs::current_path();
    fs::current_path(src);
    EXPECT_EQ(Run({"-r", "-d", out.string(), "."}), 0) << err_.str();
    fs::current_path(before);
    EXPECT_TRUE(fs::exists(out / "rtl" / "system.inc.rtf"));
}

TEST_F(OutputFormatsTest, BadFilesOfATreeAreReportedInFileOrderAndTheRestConverted) {
    const fs::path src = dir_.Path() / "src";
    const fs::path out = dir_.Path() / "out";
    MakeTree(src);
    // A file too large for a source (sparse, so it takes no room), and a
    // folder named like a source, which is walked like any folder.
    ASSERT_EQ(::truncate(dir_.WriteFile("src/rtl/huge.inc", "").c_str(), (2LL << 30) + 1), 0);
    fs::create_directory(src / "rtl" / "dir.pas");
    // And one without read permission, where that keeps its owner out (not root).
    const bool unreadable = ::geteuid() != 0;
    if (unreadable) {
        fs::permissions(dir_.WriteFile("src/rtl/secret.inc", "x"), fs::perms::none);
    }
    fs::create_directory(out);
    std::string messages;
    for (const char* jobs : {"-j1", "-j4"}) {
        EXPECT_EQ(Run({"-r", jobs, "-d", out.string(), src.string()}), 1);
        const std::string err = err_.str();
        const std::size_t huge = err.find("huge.inc:");
        EXPECT_NE(huge, std::string::npos) << err;
        EXPECT_EQ(err.find("dir.pas"), std::string::npos) << err; // a folder, walked
        if (unreadable) {
            EXPECT_NE(err.find("secret.inc:"), std::string::npos) << err;
        }
        // The same messages in the same order, however many files run at once.
        if (messages.empty()) {
            messages = err;
        } else {
            EXPECT_EQ(err, messages);
        }
        EXPECT_EQ(ReadAll(out / "src" / "rtl" / "system.inc.rtf"),
                  Document(ReadAll(src / "rtl" / "system.inc")));
        EXPECT_FALSE(fs::exists(out / "src" / "rtl" / "huge.inc.rtf"));
    }
    // A folder given without -r is reported and skipped as before.
    EXPECT_EQ(Run({"-d", out.string(), src.string(), (src / "main.pas").string()}), 1);
    EXPECT_NE(err_.str().find(src.string()), std::string::npos) << err_.str();
}

// Real trees: the Free Pascal sources, when installed, converted with -r -d
// and each output compared with the file converted on its own.
TEST_F(OutputFormatsTest, FreePascalTreeMatchesSingleFileConversions) {
    const fs::path rtl = "/usr/share/fpcsrc/3.2.2/rtl";
    const std::vector<fs::path> trees = {rtl / "inc", rtl / "objpas", rtl / "unix", rtl / "linux"};
    if (!std::all_of(trees.begin(), trees.end(),
                     [](const fs::path& tree) { return fs::is_directory(tree); })) {
        GTEST_SKIP() << "the Free Pascal sources are not installed (Debian: fpc-source-3.2.2)";
    }
    const fs::path out = dir_.Path() / "out";
    fs::create_directory(out);
    for (const char* format : {"--format=rtf", "--format=html"}) {
        fs::remove_all(out);
        fs::create_directory(out);
        std::vector<std::string> args = {"-r", "--force", "-j2", format, "-d", out.string()};
        for (const fs::path& tree : trees) {
            args.push_back(tree.string());
        }
        ASSERT_EQ(Run(args), 0) << err_.str();
        std::size_t compared = 0;
        const std::string extension = std::string(".") + (format + 9);
        for (const fs::path& tree : trees) {
            for (const auto& entry : fs::recursive_directory_iterator(tree)) {
                if (!entry.is_regular_file() ||
                    !IsPascalFileName(entry.path().filename().string())) {
                    continue;
                }
                const fs::path output =
                    out / tree.filename() / fs::relative(entry.path(), tree).concat(extension);
                std::ostringstream single, err;
                ASSERT_EQ(RunPas2Rtf({"--force", format, entry.path().string()}, single, err), 0);
                ASSERT_EQ(ReadAll(output), single.str()) << output;
                ++compared;
            }
        }
        EXPECT_GT(compared, 300u);
    }
}

} // namespace
