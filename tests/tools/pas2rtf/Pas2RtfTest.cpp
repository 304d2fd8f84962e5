// The converter program, run in-process and, for what only a process shows
// (exit status, standard output), as the real program.

#include "tools/pas2rtf/Pas2Rtf.h"

#include "tests/engine/EngineTestSupport.h"
#include "engine/PascalParser.h"
#include "platform/Registry.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

std::size_t CountEntries(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class Pas2RtfTest : public ::testing::Test {
protected:
    void SetUp() override { ResetColorsAndStore(); }
    void TearDown() override { ResetColorsAndStore(); }

    int Run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        return RunPas2Rtf(args, out_, err_);
    }

    TTempDir dir_;
    std::ostringstream out_;
    std::ostringstream err_;
};

const std::string UnitSource = "unit U;\ninterface\nconst S = 'a{b}'; // c\nend.\n";

TEST_F(Pas2RtfTest, WritesOneDocumentToStandardOutput) {
    EXPECT_EQ(Run({dir_.WriteFile("u.pas", UnitSource)}), 0);
    EXPECT_EQ(out_.str(), Document(UnitSource));
    EXPECT_EQ(err_.str(), "");
}

TEST_F(Pas2RtfTest, WritesOneDocumentToAFile) {
    const std::string output = (dir_.Path() / "u.rtf").string();
    const std::string input = dir_.WriteFile("u.pas", UnitSource);
    EXPECT_EQ(Run({"-o", output, input}), 0);
    EXPECT_EQ(ReadAll(output), Document(UnitSource));
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(CountEntries(dir_.Path()), 2u); // no temporary file left
}

TEST_F(Pas2RtfTest, FailedConversionLeavesAnExistingOutputAlone) {
    const std::string output = dir_.WriteFile("u.rtf", "previous");
    const std::string input = dir_.WriteFile("u.txt", UnitSource);
    EXPECT_EQ(Run({"-o", output, input}), 1);
    EXPECT_EQ(ReadAll(output), "previous");
    EXPECT_EQ(err_.str(), "pas2rtf: " + input + ": Unknown file extension\n");
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
    EXPECT_NE(messages.find("pas2rtf: " + bad + ": Unknown file extension\n"), std::string::npos);
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
    EXPECT_EQ(err_.str(), "pas2rtf: " + input + ": 'teal' is not a valid integer value\n");
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

TEST_F(Pas2RtfTest, DoubleDashEndsTheOptions) {
    const std::string input = dir_.WriteFile("-u.pas", "x");
    EXPECT_EQ(Run({"--", input}), 0);
    EXPECT_EQ(out_.str(), Document("x"));
}

TEST_F(Pas2RtfTest, HelpExplainsEveryForm) {
    EXPECT_EQ(Run({"--help"}), 0);
    const std::string help = out_.str();
    for (const char* part : {"pas2rtf FILE", "-o OUT", "-d DIR", "standard error", "temporary",
                             "Exit status", "LUMIVANE_REGISTRY"}) {
        EXPECT_NE(help.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(Run({"x.pas", "-h"}), 0);
    EXPECT_EQ(out_.str(), help);
}

// The real program: exit status and standard output.
int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(Pas2RtfTest, ProgramExitStatusAndStandardOutput) {
    const std::string program = PAS2RTF_PROGRAM;
    const std::string input = dir_.WriteFile("u.pas", UnitSource);
    const std::string output = (dir_.Path() / "stdout.rtf").string();
    EXPECT_EQ(Shell("'" + program + "' '" + input + "' > '" + output + "'"), 0);
    EXPECT_EQ(ReadAll(output), Document(UnitSource));
    EXPECT_EQ(Shell("'" + program + "' --help > /dev/null"), 0);
    EXPECT_EQ(Shell("'" + program + "' 2> /dev/null"), 2);
    EXPECT_EQ(Shell("'" + program + "' nothing.txt 2> /dev/null"), 1);
    if (fs::exists("/dev/full")) {
        EXPECT_EQ(Shell("'" + program + "' '" + input + "' > /dev/full 2> /dev/null"), 1);
    }
}

} // namespace
