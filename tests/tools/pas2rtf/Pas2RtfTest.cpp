// The converter program, run in-process and, for what only a process shows
// (exit status, standard output), as the real program.

#include "tools/pas2rtf/Pas2Rtf.h"

#include "engine/PascalParser.h"
#include "platform/Registry.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/Files.h"
#include "tests/tools/pas2rtf/Pas2RtfFixture.h"
#include "viewer/text/RtfReader.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <optional>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class Pas2RtfTest : public TPas2RtfFixture {};

const std::string kUnitSource = "unit U;\ninterface\nconst S = 'a{b}'; // c\nend.\n";

TEST_F(Pas2RtfTest, WritesOneDocumentToStandardOutput) {
    EXPECT_EQ(Run({dir_.WriteFile("u.pas", kUnitSource)}), 0);
    EXPECT_EQ(out_.str(), Document(kUnitSource));
    EXPECT_EQ(err_.str(), "");
}

TEST_F(Pas2RtfTest, WritesOneDocumentToAFile) {
    const std::string output = (dir_.Path() / "u.rtf").string();
    const std::string input = dir_.WriteFile("u.pas", kUnitSource);
    EXPECT_EQ(Run({"-o", output, input}), 0);
    EXPECT_EQ(ReadAll(output), Document(kUnitSource));
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(CountEntries(dir_.Path()), 2u); // no temporary file left
}

TEST_F(Pas2RtfTest, FailedConversionLeavesAnExistingOutputAlone) {
    const std::string output = dir_.WriteFile("u.rtf", "previous");
    const std::string input = dir_.WriteFile("u.txt", kUnitSource);
    EXPECT_EQ(Run({"-o", output, input}), 1);
    EXPECT_EQ(ReadAll(output), "previous");
    EXPECT_EQ(err_.str(),
              "pas2rtf: " + input + ": Unknown file extension (--force converts it as Pascal)\n");
    EXPECT_EQ(CountEntries(dir_.Path()), 2u);
}

TEST_F(Pas2RtfTest, FolderModeConvertsTheRestAndReportsFailures) {
    const fs::path out = dir_.Path() / "out";
    fs::create_directory(out);
    const std::string good1 = dir_.WriteFile("One.PAS", "begin end.");
    const std::string bad = dir_.WriteFile("notes.txt", "x");
    const std::string missing = (dir_.Path() / "gone.pas").string();
    const std::string good2 = dir_.WriteFile("two.dpr", "program two;");
    EXPECT_EQ(Run({"-d", out.string(), good1, bad, missing, good2}), 1);
    EXPECT_EQ(ReadAll(out / "One.rtf"), Document("begin end."));
    EXPECT_EQ(ReadAll(out / "two.rtf"), Document("program two;"));
    EXPECT_EQ(CountEntries(out), 2u);
    const std::string messages = err_.str();
    EXPECT_NE(messages.find("pas2rtf: " + bad +
                            ": Unknown file extension (--force converts it as Pascal)\n"),
              std::string::npos);
    EXPECT_NE(messages.find("pas2rtf: " + missing + ": Cannot open file"), std::string::npos);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 2);
}

TEST_F(Pas2RtfTest, FolderModeNeverOverwritesADocumentOfTheSameRun) {
    const fs::path out = dir_.Path() / "out";
    fs::create_directory(out);
    const std::string first = dir_.WriteFile("u.pas", "first");
    const std::string second = dir_.WriteFile("u.inc", "second");
    EXPECT_EQ(Run({"-d", out.string(), first, second}), 1);
    EXPECT_EQ(ReadAll(out / "u.rtf"), Document("first"));
    EXPECT_NE(err_.str().find(second), std::string::npos);
}

TEST_F(Pas2RtfTest, OutputNames) {
    EXPECT_EQ(OutputFileFor("out", "src/Unit1.pas"), "out/Unit1.rtf");
    EXPECT_EQ(OutputFileFor("out/", "a.b/u.x.inc"), "out/u.x.rtf");
    EXPECT_EQ(OutputFileFor("/tmp", "C:\\src\\main.pas"), "/tmp/C:\\src\\main.rtf");
}

TEST_F(Pas2RtfTest, ReadsTheColourSchemeAtEveryRun) {
    const std::string input = dir_.WriteFile("u.pas", "begin");
    EXPECT_EQ(Run({input}), 0);
    EXPECT_NE(out_.str().find("\\red0\\green0\\blue0;}"), std::string::npos);
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Pascal", true));
        registry.WriteString("clKeyword", "clTeal");
    }
    EXPECT_EQ(Run({input}), 0);
    EXPECT_NE(out_.str().find("\\red0\\green128\\blue128;}"), std::string::npos);
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Pascal", true));
        registry.WriteString("clKeyword", "teal");
    }
    EXPECT_EQ(Run({input}), 1);
    EXPECT_EQ(out_.str(), "");
    // The message says where the bad value is: file, key, value name.
    const std::string message = err_.str();
    EXPECT_TRUE(message.starts_with("pas2rtf: " + input + ": ")) << message;
    for (const std::string& part :
         {TestStoreFile().string(), std::string("Pascal, value clKeyword: 'teal' is not a valid "
                                                "integer value")}) {
        EXPECT_NE(message.find(part), std::string::npos) << part << " not in " << message;
    }
}

TEST_F(Pas2RtfTest, UsageErrors) {
    const std::string input = dir_.WriteFile("u.pas", "x");
    const std::vector<std::vector<std::string>> commands = {
        {},
        {"-o"},
        {"-o", "", input},
        {"-o", "a.rtf"},
        {"-o", "a.rtf", input, input},
        {input, input},
        {"-o", "a.rtf", "-d", dir_.Path().string(), input},
        {"-d", (dir_.Path() / "none").string(), input},
        {"-d", input, input},
        {"-x", input},
        {"--output", input},
    };
    for (const auto& command : commands) {
        EXPECT_EQ(Run(command), 2) << ::testing::PrintToString(command);
        EXPECT_NE(err_.str().find("Try 'pas2rtf --help'."), std::string::npos);
        EXPECT_EQ(out_.str(), "");
    }
}

// --- The source's text: UTF-8 or Windows-1252 ---------------------------------

// The engine's document of SOURCE with WORDS added to its header and each
// (bytes, replacement) pair replaced in its body.
std::string Reexpressed(const std::string& source, const std::string& words,
                        const std::vector<std::pair<std::string, std::string>>& replacements) {
    std::string document = Document(source);
    const std::string opening = "{\\rtf1\\ansi";
    EXPECT_TRUE(document.starts_with(opening));
    document.insert(opening.size(), words);
    for (const auto& [from, to] : replacements) {
        for (std::size_t at = document.find(from); at != std::string::npos;
             at = document.find(from, at + to.size())) {
            document.replace(at, from.size(), to);
        }
    }
    return document;
}

bool IsAscii(const std::string& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

const std::string kUtf8Source = "// caf\xc3\xa9 \xce\xb1\xce\xb2 \xe4\xb8\xad\n"
                                "const S = '\xf0\x9f\x98\x80\xc2\xa0x'; { \xe2\x82\xac }\n";
const std::vector<std::pair<std::string, std::string>> kUtf8Escapes = {
    {"\xc3\xa9", "\\u233?"},
    {"\xce\xb1", "\\u945?"},
    {"\xce\xb2", "\\u946?"},
    {"\xe4\xb8\xad", "\\u20013?"},
    {"\xc2\xa0", "\\u160?"},
    {"\xe2\x82\xac", "\\u8364?"},
    {"\xf0\x9f\x98\x80", "\\u-10179?\\u-8704?"}};

TEST_F(Pas2RtfTest, AsciiSourceIsTheEnginesDocumentUnlessCp1252IsForced) {
    const std::string input = dir_.WriteFile("u.pas", kUnitSource);
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{}, {"--raw"}, {"--encoding=auto"}, {"--encoding", "utf-8"}}) {
        std::vector<std::string> args = options;
        args.push_back(input);
        EXPECT_EQ(Run(args), 0) << err_.str();
        EXPECT_EQ(out_.str(), Document(kUnitSource)) << ::testing::PrintToString(options);
    }
    EXPECT_EQ(Run({"--encoding=cp1252", input}), 0);
    EXPECT_EQ(out_.str(), Reexpressed(kUnitSource, "\\ansicpg1252", {}));
}

TEST_F(Pas2RtfTest, Utf8SourceGetsUnicodeEscapesAndOnlyThose) {
    const std::string input = dir_.WriteFile("u.pas", kUtf8Source);
    const std::string expected = Reexpressed(kUtf8Source, "\\uc1", kUtf8Escapes);
    EXPECT_EQ(Run({input}), 0) << err_.str();
    EXPECT_EQ(out_.str(), expected);
    EXPECT_TRUE(IsAscii(out_.str()));
    EXPECT_EQ(ReadRtf(out_.str()).Text, u"// caf\u00e9 \u03b1\u03b2 \u4e2d\n"
                                        u"const S = '\U0001F600\u00a0x'; { \u20ac }\n");
    EXPECT_EQ(Run({"--encoding=UTF-8", input}), 0);
    EXPECT_EQ(out_.str(), expected);
    // --raw keeps the engine's document byte for byte, as the viewer gets it.
    EXPECT_EQ(Run({"--raw", input}), 0);
    EXPECT_EQ(out_.str(), Document(kUtf8Source));
}

TEST_F(Pas2RtfTest, Windows1252SourceKeepsItsBytesUnderItsCodePage) {
    const std::string source = "// caf\xe9 \x80 \xdf\nconst S = '\xe9';\n";
    const std::string input = dir_.WriteFile("u.pas", source);
    const std::string expected = Reexpressed(source, "\\ansicpg1252", {});
    EXPECT_EQ(Run({input}), 0);
    EXPECT_EQ(out_.str(), expected);
    EXPECT_EQ(ReadRtf(out_.str()).Text, u"// caf\u00e9 \u20ac \u00df\nconst S = '\u00e9';\n");
    EXPECT_EQ(Run({"--encoding", "cp1252", input}), 0);
    EXPECT_EQ(out_.str(), expected);
    // A UTF-8 file read as Windows-1252 on request.
    EXPECT_EQ(Run({"--encoding=windows-1252", dir_.WriteFile("v.pas", kUtf8Source)}), 0);
    EXPECT_EQ(out_.str(), Reexpressed(kUtf8Source, "\\ansicpg1252", {}));
}

TEST_F(Pas2RtfTest, BadUtf8HasADefinedReadingAndLosesNoByte) {
    // One bad sequence anywhere makes the whole file Windows-1252 under auto.
    for (const char* bad :
         {"\xe9", "\xc0\xaf", "\xed\xa0\x80", "\xed\xbf\xbf", "\xf4\x90\x80\x80", "\xc3"}) {
        const std::string source = std::string("// \xc3\xa9 ") + bad + " \xc3\xa9\n";
        const std::string input = dir_.WriteFile("u.pas", source);
        EXPECT_EQ(Run({input}), 0);
        EXPECT_EQ(out_.str(), Reexpressed(source, "\\ansicpg1252", {}))
            << ::testing::PrintToString(bad);
    }
    // Forced UTF-8: each byte outside a valid character is its Windows-1252 character.
    const std::string source = "// \xc3\xa9 \xe9\x80 \xed\xa0\x80\n";
    EXPECT_EQ(Run({"--encoding=utf-8", dir_.WriteFile("u.pas", source)}), 0);
    EXPECT_EQ(out_.str(), Reexpressed(source, "\\uc1",
                                      {{"\xc3\xa9", "\\u233?"},
                                       {"\xe9\x80", "\\u233?\\u8364?"},
                                       {"\xed\xa0\x80", "\\u237?\\u160?\\u8364?"}}));
    EXPECT_TRUE(IsAscii(out_.str()));
    // A NUL byte is the engine's, and does not change the reading.
    const std::string withNul("x\0 \xc3\xa9\n", 6);
    EXPECT_EQ(Run({dir_.WriteFile("n.pas", withNul)}), 0);
    EXPECT_EQ(out_.str(), Reexpressed(withNul, "\\uc1", {{"\xc3\xa9", "\\u233?"}}));
}

// A byte order mark says UTF-8 and is no text: it is not written, whatever
// the rest holds; --raw keeps it, and cp1252 asked for reads it as three characters.
TEST_F(Pas2RtfTest, AByteOrderMarkSaysUtf8AndIsNotWritten) {
    const std::string bom = "\xef\xbb\xbf";
    struct TCase {
        std::string Body;
        std::vector<std::pair<std::string, std::string>> Escapes;
    };
    const TCase cases[] = {
        {kUtf8Source, kUtf8Escapes},
        {kUnitSource, {}},                      // otherwise ASCII
        {"// \xc3\xa9 \xe9\x80 \xed\xa0\x80\n", // bytes that are no UTF-8 later on
         {{"\xc3\xa9", "\\u233?"},
          {"\xe9\x80", "\\u233?\\u8364?"},
          {"\xed\xa0\x80", "\\u237?\\u160?\\u8364?"}}},
    };
    for (const TCase& c : cases) {
        const std::string input = dir_.WriteFile("u.pas", bom + c.Body);
        const std::string expected = Reexpressed(c.Body, "\\uc1", c.Escapes);
        for (const char* encoding : {"--encoding=auto", "--encoding=utf-8"}) {
            EXPECT_EQ(Run({encoding, input}), 0) << err_.str();
            EXPECT_EQ(out_.str(), expected) << encoding << " " << c.Body;
        }
        EXPECT_EQ(Run({"--raw", input}), 0);
        EXPECT_EQ(out_.str(), Document(bom + c.Body));
        EXPECT_EQ(Run({"--encoding=cp1252", input}), 0);
        EXPECT_EQ(out_.str(), Reexpressed(bom + c.Body, "\\ansicpg1252", {}));
    }
    // Only a mark at the very start is one.
    const std::string later = "x" + bom + "\n";
    EXPECT_EQ(Run({dir_.WriteFile("v.pas", later)}), 0);
    EXPECT_EQ(out_.str(), Reexpressed(later, "\\uc1", {{bom, "\\u-257?"}}));
}

// The engine hands its document over in pieces: a character cut between two
// of them is written as if it came whole.
TEST(EncodingSink, PiecesOfAnySizeGiveTheSameDocument) {
    const std::string document = Document(kUtf8Source + "\xe9\xc3\xa9");
    for (TTextWriting writing :
         {TTextWriting::kAsIs, TTextWriting::kUtf8, TTextWriting::kWindows1252}) {
        TStringSink whole;
        TEncodingSink wholeSink(whole, writing);
        wholeSink.Write(document);
        wholeSink.Finish();
        for (std::size_t piece : {1u, 2u, 3u, 5u, 7u}) {
            TStringSink pieces;
            TEncodingSink sink(pieces, writing);
            for (std::size_t at = 0; at < document.size(); at += piece) {
                sink.Write(std::string_view(document).substr(at, piece));
            }
            sink.Finish();
            EXPECT_EQ(pieces.text, whole.text) << "pieces of " << piece;
        }
    }
}

TEST(EncodingSink, ACharacterCutOffByTheEndIsKeptAsWindows1252) {
    TStringSink out;
    TEncodingSink sink(out, TTextWriting::kUtf8);
    sink.Write("{\\rtf1\\ansi x\xe2\x82");
    sink.Finish();
    EXPECT_EQ(out.text, "{\\rtf1\\ansi\\uc1 x\\u226?\\u8218?");
    // Data that is not the engine's document gets no header words.
    TStringSink other;
    TEncodingSink otherSink(other, TTextWriting::kWindows1252);
    otherSink.Write("{\\rt");
    otherSink.Write("x\xe9");
    otherSink.Finish();
    EXPECT_EQ(other.text, "{\\rtx\xe9");
}

TEST_F(Pas2RtfTest, EncodingUsageErrors) {
    const std::string input = dir_.WriteFile("u.pas", "x");
    const std::vector<std::vector<std::string>> commands = {
        {"--encoding", "latin9", input},
        {"--encoding=", input},
        {input, "--encoding"},
        {"--raw", "--encoding=utf-8", input},
        {"--encoding=utf-8", "--encoding=cp1252", input},
    };
    for (const auto& command : commands) {
        EXPECT_EQ(Run(command), 2) << ::testing::PrintToString(command);
        EXPECT_NE(err_.str().find("Try 'pas2rtf --help'."), std::string::npos);
        EXPECT_EQ(out_.str(), "");
    }
    EXPECT_NE(Run({"--help"}), 2);
    EXPECT_NE(out_.str().find("--encoding"), std::string::npos);
    EXPECT_NE(out_.str().find("--raw"), std::string::npos);
}

TEST_F(Pas2RtfTest, DoubleDashEndsTheOptions) {
    const std::string input = dir_.WriteFile("-u.pas", "x");
    EXPECT_EQ(Run({"--", input}), 0);
    EXPECT_EQ(out_.str(), Document("x"));
}

TEST_F(Pas2RtfTest, HelpExplainsEveryForm) {
    EXPECT_EQ(Run({"--help"}), 0);
    const std::string help = out_.str();
    for (const char* part :
         {"[FILE | -]", "-o OUT", "-d DIR", "--force", "--version", "standard input",
          "standard error", "temporary", "Exit status", "LUMIVANE_REGISTRY"}) {
        EXPECT_NE(help.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(Run({"x.pas", "-h"}), 0);
    EXPECT_EQ(out_.str(), help);
}

TEST_F(Pas2RtfTest, AnOutputThatIsAnInputIsRefusedWhateverItsSpelling) {
    fs::create_directories(dir_.Path() / "in");
    fs::create_directories(dir_.Path() / "other");
    const std::string input = dir_.WriteFile("in/x.pas", kUnitSource);
    const std::string sameName = input;
    const std::string otherSpelling = (dir_.Path() / "other" / ".." / "in" / "x.pas").string();
    const fs::path link = dir_.Path() / "in" / "link.rtf";
    fs::create_symlink("x.pas", link);
    const fs::path hard = dir_.Path() / "in" / "hard.rtf";
    fs::create_hard_link(input, hard);
    for (const std::string& output : {sameName, otherSpelling, link.string(), hard.string()}) {
        EXPECT_EQ(Run({"-o", output, input}), 1) << output;
        EXPECT_EQ(err_.str(), "pas2rtf: " + input + ": skipped, the output " + output +
                                  " is the input file " + input + "; nothing was written\n");
        EXPECT_EQ(ReadAll(input), kUnitSource);
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(CountEntries(dir_.Path() / "in"), 3u);
    }

    // -d: an output that would land on another input of the run.
    const fs::path out = dir_.Path() / "out";
    fs::create_directory(out);
    const std::string first = dir_.WriteFile("u.pas", "first");
    const std::string second = dir_.WriteFile("w.pas", "second");
    fs::create_symlink(second, out / "u.rtf");
    EXPECT_EQ(Run({"-d", out.string(), first, second}), 1);
    EXPECT_NE(err_.str().find("pas2rtf: " + first + ": skipped, the output " +
                              (out / "u.rtf").string() + " is the input file " + second),
              std::string::npos)
        << err_.str();
    EXPECT_EQ(ReadAll(second), "second");
    EXPECT_EQ(ReadAll(out / "w.rtf"), Document("second"));
}

TEST_F(Pas2RtfTest, AnOutputLinkIsFollowedToItsFileEvenWhenThatIsMissing) {
    const std::string input = dir_.WriteFile("u.pas", kUnitSource);
    fs::create_directory(dir_.Path() / "real");
    const std::string existing = dir_.WriteFile("real/old.rtf", "old");
    fs::create_symlink(existing, dir_.Path() / "absolute.rtf");
    fs::create_symlink("real/new.rtf", dir_.Path() / "relative.rtf");
    for (const char* name : {"absolute.rtf", "relative.rtf"}) {
        EXPECT_EQ(Run({"-o", (dir_.Path() / name).string(), input}), 0) << err_.str();
        EXPECT_TRUE(fs::is_symlink(dir_.Path() / name)) << name;
    }
    EXPECT_EQ(ReadAll(existing), Document(kUnitSource));
    EXPECT_EQ(ReadAll(dir_.Path() / "real" / "new.rtf"), Document(kUnitSource));
    EXPECT_EQ(CountEntries(dir_.Path() / "real"), 2u);
}

TEST_F(Pas2RtfTest, DevicesAndFifosAreReportedAndSkippedWithoutWaiting) {
    const fs::path out = dir_.Path() / "out";
    fs::create_directory(out);
    const fs::path zero = dir_.Path() / "zero.pas";
    const fs::path null = dir_.Path() / "null.pas";
    const fs::path fifo = dir_.Path() / "fifo.pas";
    fs::create_symlink("/dev/zero", zero);
    fs::create_symlink("/dev/null", null);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string good = dir_.WriteFile("good.pas", "begin end.");
    auto run = std::async(std::launch::async, [&] {
        return Run({"-d", out.string(), zero.string(), null.string(), fifo.string(), good});
    });
    if (run.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ::close(::open(fifo.c_str(), O_WRONLY)); // lets a waiting reader go
        FAIL() << "pas2rtf waited on a FIFO";
    }
    EXPECT_EQ(run.get(), 1);
    for (const fs::path& special : {zero, null, fifo}) {
        EXPECT_NE(err_.str().find("pas2rtf: " + special.string() + ": Cannot open file \"" +
                                  special.string() + "\": not a regular file\n"),
                  std::string::npos)
            << err_.str();
    }
    EXPECT_EQ(ReadAll(out / "good.rtf"), Document("begin end."));
    EXPECT_EQ(CountEntries(out), 1u);
}

TEST_F(Pas2RtfTest, TemporariesOfKilledRunsAreRemovedOnceADayOld) {
    const fs::path out = dir_.Path() / "out";
    fs::create_directory(out);
    const auto leftover = [&](const std::string& name, std::chrono::hours age) {
        const fs::path file = out / name;
        std::ofstream(file) << "half a document";
        fs::last_write_time(file, fs::file_time_type::clock::now() - age);
        return file;
    };
    const fs::path stale = leftover(".gone.rtf.pas2rtf-tmp.Ab12Cd", std::chrono::hours(25));
    const fs::path recent = leftover(".busy.rtf.pas2rtf-tmp.Xy34Zw", std::chrono::hours(2));
    const fs::path foreign = leftover(".old.rtf.other-tmp.Ab12Cd", std::chrono::hours(48));
    std::optional<fs::path> othersUser;
    if (const passwd* nobody = ::getpwnam("nobody"); nobody != nullptr && ::geteuid() == 0) {
        othersUser = leftover(".theirs.rtf.pas2rtf-tmp.Qw56Er", std::chrono::hours(48));
        ASSERT_EQ(::chown(othersUser->c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    const std::string input = dir_.WriteFile("u.pas", "begin end.");
    EXPECT_EQ(Run({"-o", (out / "u.rtf").string(), input}), 0) << err_.str();
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(recent)); // may be a run still writing
    EXPECT_TRUE(fs::exists(foreign));
    if (othersUser) {
        EXPECT_TRUE(fs::exists(*othersUser)); // not ours to remove
    }
    EXPECT_EQ(ReadAll(out / "u.rtf"), Document("begin end."));
}

// The real program: exit status and standard output.
int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(Pas2RtfTest, StandardOutputAppendedToTheInputIsRefused) {
    const std::string program = PAS2RTF_PROGRAM;
    const std::string input = dir_.WriteFile("u.pas", kUnitSource);
    EXPECT_EQ(Shell("'" + program + "' '" + input + "' >> '" + input + "' 2> /dev/null"), 1);
    EXPECT_EQ(ReadAll(input), kUnitSource);
    const std::string output = (dir_.Path() / "u.rtf").string();
    EXPECT_EQ(Shell("'" + program + "' '" + input + "' >> '" + output + "'"), 0);
    EXPECT_EQ(ReadAll(output), Document(kUnitSource));
}

TEST_F(Pas2RtfTest, AStoreThatCannotBeReadFailsTheConversionInsteadOfDefaultColours) {
    // The store's folder is a regular file: the colours cannot be known.
    const std::string blocker = dir_.WriteFile("config", "not a folder");
    const std::string store = blocker + "/user.reg";
    const std::string saved = TestStoreFile().string();
    ::setenv("LUMIVANE_REGISTRY", store.c_str(), 1);
    const std::string input = dir_.WriteFile("u.pas", kUnitSource);
    const int status = Run({input});
    ::setenv("LUMIVANE_REGISTRY", saved.c_str(), 1);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out_.str(), "");
    EXPECT_NE(err_.str().find("pas2rtf: " + input + ": " + store), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("Not a directory"), std::string::npos) << err_.str();
}

TEST_F(Pas2RtfTest, ProgramExitStatusAndStandardOutput) {
    const std::string program = PAS2RTF_PROGRAM;
    const std::string input = dir_.WriteFile("u.pas", kUnitSource);
    const std::string output = (dir_.Path() / "stdout.rtf").string();
    EXPECT_EQ(Shell("'" + program + "' '" + input + "' > '" + output + "'"), 0);
    EXPECT_EQ(ReadAll(output), Document(kUnitSource));
    EXPECT_EQ(Shell("'" + program + "' --help > /dev/null"), 0);
    EXPECT_EQ(Shell("'" + program + "' -o 2> /dev/null"), 2);
    EXPECT_EQ(Shell("'" + program + "' nothing.txt 2> /dev/null"), 1);
    if (fs::exists("/dev/full")) {
        EXPECT_EQ(Shell("'" + program + "' '" + input + "' > /dev/full 2> /dev/null"), 1);
    }
}

// The real program, ended by SIGNAL while it writes OUTPUT: its temporary
// file must go with it, and the signal must still end it.
void InterruptConversion(const std::string& input, const fs::path& output, int signal) {
    const std::string program = PAS2RTF_PROGRAM;
    const pid_t child = ::fork();
    if (child == 0) {
        // As a user's shell would start it, whatever the test runner ignores.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        std::signal(signal, SIG_DFL);
        ::execl(program.c_str(), program.c_str(), "-o", output.c_str(), input.c_str(), nullptr);
        ::_exit(127);
    }
    ASSERT_GT(child, 0);
    // The temporary file may have no name: it is seen among the program's
    // open files.
    const std::string folder = output.parent_path().string() + "/";
    const fs::path fds = "/proc/" + std::to_string(child) + "/fd";
    bool seen = false;
    int status = 0;
    while (!seen && ::waitpid(child, &status, WNOHANG) == 0) {
        std::error_code error;
        for (fs::directory_iterator it(fds, error), end; !error && it != end; it.increment(error)) {
            seen = seen || fs::read_symlink(it->path(), error).string().starts_with(folder);
        }
        if (!seen) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ASSERT_TRUE(seen) << "the conversion ended before its temporary file was seen";
    ::kill(child, signal);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal)
        << "signal " << signal << ", status " << status;
    EXPECT_EQ(CountEntries(output.parent_path()), 0u) << "signal " << signal;
}

TEST_F(Pas2RtfTest, AnInterruptedProgramRemovesItsTemporaryFile) {
    // Large enough that the program is still reading or writing when signalled.
    std::string source;
    const std::string unit = "procedure P; begin S := 'text'; { comment } X := 42 end;\n";
    while (source.size() < (96u << 20)) {
        source += unit;
    }
    const std::string input = dir_.WriteFile("big.pas", source);
    source.clear();
    const fs::path out = dir_.Path() / "out";
    fs::create_directory(out);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        InterruptConversion(input, out / "big.rtf", signal);
    }
}

} // namespace

// ---- command-line conventions ----

TEST_F(Pas2RtfTest, StandardInputIsConvertedLikeAFile) {
    const std::string viaFile = Document(kUnitSource);
    for (const bool dash : {true, false}) {
        std::istringstream in(kUnitSource);
        std::ostringstream out;
        std::ostringstream err;
        const std::vector<std::string> args =
            dash ? std::vector<std::string>{"-"} : std::vector<std::string>{};
        EXPECT_EQ(RunPas2Rtf(args, TPas2RtfStreams{in, out, err, -1, -1, false}), 0) << err.str();
        EXPECT_EQ(out.str(), viaFile) << "dash " << dash;
    }
    // At a terminal, no FILE is a usage error rather than a wait for typing.
    std::istringstream in(kUnitSource);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunPas2Rtf({}, TPas2RtfStreams{in, out, err, -1, -1, true}), 2);
    EXPECT_EQ(out.str(), "");
    // Standard input has no name to derive a -d output from.
    std::istringstream again(kUnitSource);
    EXPECT_EQ(RunPas2Rtf({"-d", dir_.Path().string(), "-"},
                         TPas2RtfStreams{again, out, err, -1, -1, false}),
              2);
    EXPECT_EQ(CountEntries(dir_.Path()), 0u);
}

TEST_F(Pas2RtfTest, EverySpellingOfTheOutputOptionWritesTheFile) {
    const std::string input = dir_.WriteFile("u.pas", kUnitSource);
    const std::string output = (dir_.Path() / "u.rtf").string();
    const std::vector<std::vector<std::string>> spellings = {{"-o" + output, input},
                                                             {"--output=" + output, input},
                                                             {"--output", output, input},
                                                             {input, "-o", output}};
    for (const auto& args : spellings) {
        fs::remove(output);
        EXPECT_EQ(Run(args), 0) << ::testing::PrintToString(args) << err_.str();
        EXPECT_EQ(ReadAll(output), Document(kUnitSource)) << ::testing::PrintToString(args);
        EXPECT_EQ(out_.str(), "");
    }
    const std::string folder = (dir_.Path() / "out").string();
    fs::create_directory(folder);
    EXPECT_EQ(Run({"-d" + folder, input}), 0);
    EXPECT_EQ(Run({"--directory=" + folder, input}), 0);
    EXPECT_EQ(ReadAll(fs::path(folder) / "u.rtf"), Document(kUnitSource));
    EXPECT_EQ(Run({"--output=", input}), 2);
    EXPECT_EQ(Run({"--outputs=x", input}), 2);
}

TEST_F(Pas2RtfTest, ForceConvertsFreePascalFilesThatAreOtherwiseRefused) {
    const std::string input = dir_.WriteFile("types.pp", kUnitSource);
    EXPECT_EQ(Run({input}), 1);
    EXPECT_NE(err_.str().find("--force"), std::string::npos) << err_.str();
    EXPECT_EQ(out_.str(), "");
    for (const char* force : {"-f", "--force"}) {
        EXPECT_EQ(Run({force, input}), 0) << err_.str();
        EXPECT_EQ(out_.str(), Document(kUnitSource));
    }
}

TEST_F(Pas2RtfTest, VersionIsTheProjectsOnStandardOutput) {
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(out_.str(), std::string("pas2rtf (Lumivane 98) ") + LUMIVANE_VERSION + "\n");
    EXPECT_EQ(err_.str(), "");
}

TEST_F(Pas2RtfTest, TheRealProgramReadsAPipeAndNeverWritesOverItsStandardInput) {
    const std::string program = PAS2RTF_PROGRAM;
    const std::string input = dir_.WriteFile("u.pas", kUnitSource);
    const std::string output = (dir_.Path() / "piped.rtf").string();
    EXPECT_EQ(Shell("cat '" + input + "' | '" + program + "' > '" + output + "'"), 0);
    EXPECT_EQ(ReadAll(output), Document(kUnitSource));
    EXPECT_EQ(Shell("'" + program + "' - -o '" + input + "' < '" + input + "' 2> /dev/null"), 1);
    EXPECT_EQ(ReadAll(input), kUnitSource);
}
