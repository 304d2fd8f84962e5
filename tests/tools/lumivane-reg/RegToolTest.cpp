// lumivane-reg run in-process on a real store file.
#include "tools/lumivane-reg/RegTool.h"

#include "platform/Registry.h"
#include "tests/platform/TempStore.h"

#include <gmock/gmock.h>
#include <sstream>

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

class RegToolTest : public TempStoreTest {
protected:
    Result Run(const std::vector<std::string>& args, const std::string& input = "") {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunRegTool(args, store_, in, out, err);
        return {status, out.str(), err.str()};
    }

    static std::int32_t ReadInteger(const std::string& key, const std::string& name) {
        TRegistry registry;
        EXPECT_TRUE(registry.OpenKey(key, false));
        return registry.ReadInteger(name);
    }

    static std::string ReadString(const std::string& key, const std::string& name) {
        TRegistry registry;
        EXPECT_TRUE(registry.OpenKey(key, false));
        return registry.ReadString(name);
    }

    static const std::string kDone;
    static const std::string kNotFound;
};

const std::string RegToolTest::kDone = "The operation completed successfully.\n";
const std::string RegToolTest::kNotFound =
    "ERROR: The system was unable to find the given registry key or value.\n";

const std::string kPosition = "HKCU\\Software\\QD\\Lumivane\\Position";

} // namespace

TEST_F(RegToolTest, TheInstallStepCreatesTheProductKeyAndCanBeRepeated) {
    for (int run = 0; run < 2; ++run) {
        const Result result = Run({"add", "HKCU\\Software\\QD\\Lumivane", "/f"});
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, kDone);
        EXPECT_THAT(result.err, IsEmpty());
    }
    EXPECT_TRUE(TRegistry().KeyExists("Software\\QD\\Lumivane"));
}

TEST_F(RegToolTest, BothSpellingsOfTheRootAreAcceptedInAnyCase) {
    EXPECT_EQ(Run({"add", "HKEY_CURRENT_USER\\Software\\A", "/v", "x", "/d", "1"}).status, 0);
    EXPECT_EQ(Run({"ADD", "hkcu\\software\\a\\", "/V", "y", "/D", "2"}).status, 0);
    EXPECT_EQ(ReadString("Software\\A", "Y"), "2");
    const Result other = Run({"add", "HKLM\\Software\\A", "/f"});
    EXPECT_EQ(other.status, 1);
    EXPECT_THAT(other.err, HasSubstr("Invalid key name 'HKLM\\Software\\A'"));
    EXPECT_EQ(Run({"query", "HKCUX\\Software"}).status, 1);
}

TEST_F(RegToolTest, QueryShowsValuesAndSubkeysInTheRegManner) {
    Run({"add", kPosition, "/v", "StartPos", "/t", "REG_DWORD", "/d", "2"});
    Run({"add", kPosition, "/v", "Note", "/d", "saved by hand"});
    Run({"add", kPosition, "/ve", "/d", "default"});
    Run({"add", kPosition + "\\Sub", "/f"});
    Result result = Run({"query", kPosition});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "\nHKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position\n"
                          "    StartPos    REG_DWORD    0x2\n"
                          "    Note    REG_SZ    saved by hand\n"
                          "    (Default)    REG_SZ    default\n"
                          "\n"
                          "HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position\\Sub\n");
    result = Run({"query", "hkcu\\software\\qd\\lumivane\\position", "/v", "STARTPOS"});
    EXPECT_EQ(result.out, "\nHKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position\n"
                          "    StartPos    REG_DWORD    0x2\n\n");
    result = Run({"query", "HKCU", "/s", "/v", "note"});
    EXPECT_EQ(result.out, "\nHKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position\n"
                          "    Note    REG_SZ    saved by hand\n");
    result = Run({"query", "HKCU\\Software", "/s"});
    EXPECT_THAT(result.out, HasSubstr("\nHKEY_CURRENT_USER\\Software\\QD\n"));
    EXPECT_THAT(result.out,
                HasSubstr("\nHKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position\\Sub\n"));
}

TEST_F(RegToolTest, QueryOfSomethingMissingFails) {
    Run({"add", kPosition, "/f"});
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"query", kPosition, "/v", "X1"},
          std::vector<std::string>{"query", kPosition + "\\Nope"},
          std::vector<std::string>{"query", "HKCU", "/s", "/v", "Nope"}}) {
        const Result result = Run(args);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, kNotFound);
    }
}

TEST_F(RegToolTest, ValuesOfOtherTypesAreShownAsTheyAre) {
    WriteStore("REGEDIT4\n\n[HKEY_CURRENT_USER\\T]\n\"Bin\"=hex:0a,ff\n"
               "\"Multi\"=hex(7):61,00,62,00,00,00\n\"Q\"=hex(b):10,00,00,00,00,00,00,00\n"
               "\"Odd\"=hex(5):01\n");
    const Result result = Run({"query", "HKCU\\T"});
    EXPECT_THAT(result.out, HasSubstr("    Bin    REG_BINARY    0AFF\n"));
    EXPECT_THAT(result.out, HasSubstr("    Multi    REG_MULTI_SZ    a\\0b\n"));
    EXPECT_THAT(result.out, HasSubstr("    Q    REG_QWORD    0x10\n"));
    EXPECT_THAT(result.out, HasSubstr("    Odd    REG_TYPE(5)    01\n"));
}

TEST_F(RegToolTest, DwordDataIsDecimalOrHexWithinThirtyTwoBits) {
    const std::vector<std::pair<std::string, std::int32_t>> good = {
        {"0", 0},           {"2", 2},     {"-1", -1},         {"-2147483648", INT32_MIN},
        {"4294967295", -1}, {"0x10", 16}, {"0XFFFFFFFF", -1}, {"2147483647", INT32_MAX}};
    for (const auto& [text, number] : good) {
        EXPECT_EQ(Run({"add", kPosition, "/v", "X1", "/t", "REG_DWORD", "/d", text, "/f"}).status,
                  0)
            << text;
        EXPECT_EQ(ReadInteger("Software\\QD\\Lumivane\\Position", "X1"), number) << text;
    }
    for (const std::string text : {"4294967296", "-2147483649", "abc", "12abc", "0x", "0x-1",
                                   "0x100000000", " 5", "+5", "1.5", "0x 5", "0x+5", "--1"}) {
        const Result result =
            Run({"add", kPosition, "/v", "X1", "/t", "REG_DWORD", "/d", text, "/f"});
        EXPECT_EQ(result.status, 1) << text;
        EXPECT_THAT(result.err, HasSubstr("Invalid REG_DWORD data")) << text;
    }
    EXPECT_EQ(ReadInteger("Software\\QD\\Lumivane\\Position", "X1"), INT32_MAX);
    EXPECT_EQ(Run({"add", kPosition, "/v", "Y1", "/t", "reg_dword"}).status, 0); // no /d: 0
    EXPECT_EQ(ReadInteger("Software\\QD\\Lumivane\\Position", "Y1"), 0);
}

TEST_F(RegToolTest, OnlyStringAndDwordValuesCanBeAdded) {
    const Result result = Run({"add", kPosition, "/v", "B", "/t", "REG_BINARY", "/d", "00"});
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr("only REG_SZ and REG_DWORD"));
    EXPECT_FALSE(std::filesystem::exists(store_));
}

TEST_F(RegToolTest, OverwritingAValueAsksFirst) {
    Run({"add", kPosition, "/v", "StartPos", "/t", "REG_DWORD", "/d", "1"});
    const auto stored = [] { return ReadInteger("Software\\QD\\Lumivane\\Position", "StartPos"); };

    Result result = Run({"add", kPosition, "/v", "startpos", "/t", "REG_DWORD", "/d", "2"}, "no\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Value startpos exists, overwrite (Yes/No)? ");
    EXPECT_EQ(result.err, "The operation was cancelled by the user.\n");
    EXPECT_EQ(stored(), 1);

    // No input at all counts as No, and says so.
    result = Run({"add", kPosition, "/v", "StartPos", "/t", "REG_DWORD", "/d", "2"}, "");
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr("No answer on standard input: taken as No"));
    EXPECT_EQ(stored(), 1);

    // Anything but yes or no asks again.
    result =
        Run({"add", kPosition, "/v", "StartPos", "/t", "REG_DWORD", "/d", "2"}, "maybe\nYes\r\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Value StartPos exists, overwrite (Yes/No)? "
                          "Value StartPos exists, overwrite (Yes/No)? " +
                              kDone);
    EXPECT_EQ(stored(), 2);

    result = Run({"add", kPosition, "/v", "StartPos", "/t", "REG_DWORD", "/d", "0", "/f"});
    EXPECT_EQ(result.out, kDone);
    EXPECT_EQ(stored(), 0);
}

TEST_F(RegToolTest, DeleteRemovesAValueAllValuesOrAWholeKey) {
    Run({"add", kPosition, "/v", "X1", "/t", "REG_DWORD", "/d", "1"});
    Run({"add", kPosition, "/v", "Y1", "/t", "REG_DWORD", "/d", "1"});
    Run({"add", kPosition + "\\Deeper\\Still", "/f"});

    Result result = Run({"delete", kPosition, "/v", "x1"}, "");
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.out, StartsWith("Delete the registry value x1 (Yes/No)? "));
    result = Run({"delete", kPosition, "/v", "x1"}, "y\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(Run({"delete", kPosition, "/v", "X1", "/f"}).err, kNotFound);

    result = Run({"delete", kPosition, "/va", "/f"});
    EXPECT_EQ(result.status, 0);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Position", false));
    EXPECT_TRUE(registry.GetValueNames().empty());
    EXPECT_EQ(registry.GetKeyNames(), std::vector<std::string>{"Deeper"});

    result = Run({"delete", "HKCU\\Software\\QD"}, "no\n");
    EXPECT_EQ(result.out,
              "Permanently delete the registry key HKEY_CURRENT_USER\\Software\\QD (Yes/No)? ");
    EXPECT_TRUE(registry.KeyExists("Software\\QD\\Lumivane\\Position\\Deeper\\Still"));
    EXPECT_EQ(Run({"delete", "HKCU\\Software\\QD", "/f"}).status, 0);
    EXPECT_FALSE(registry.KeyExists("Software\\QD"));
    EXPECT_TRUE(registry.KeyExists("Software"));
    EXPECT_EQ(Run({"delete", "HKCU\\Software\\QD", "/f"}).err, kNotFound);

    result = Run({"delete", "HKCU", "/f"});
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr("cannot be deleted"));
}

TEST_F(RegToolTest, ExportAndImportCarryAKeyToAnotherStore) {
    Run({"add", kPosition, "/v", "StartPos", "/t", "REG_DWORD", "/d", "2"});
    Run({"add", "HKCU\\Software\\QD\\Lumivane\\Pascal", "/v", "clComment", "/d", "cl\"Navy\\"});
    Run({"add", "HKCU\\Software\\Other", "/v", "keep", "/d", "out of the export"});
    const auto file = dir_ / "lumivane.reg";
    Result result = Run({"export", "HKCU\\Software\\QD\\Lumivane", file.string()});
    EXPECT_EQ(result.status, 0);
    const std::string text = ReadFile(file);
    EXPECT_THAT(text, StartsWith("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\QD\\Lumivane]\n"));
    EXPECT_THAT(text, HasSubstr("\"clComment\"=\"cl\\\"Navy\\\\\"\n"));
    EXPECT_THAT(text, ::testing::Not(HasSubstr("Other")));

    // Another store: the import brings the key and its parents.
    store_ = dir_ / "second" / "user.reg";
    result = Run({"import", file.string()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, kDone);
    TRegistry second(store_);
    ASSERT_TRUE(second.OpenKey("Software\\QD\\Lumivane\\Pascal", false));
    EXPECT_EQ(second.ReadString("clComment"), "cl\"Navy\\");
    EXPECT_FALSE(second.KeyExists("Software\\Other"));

    // An existing file is replaced only after a yes (or with /y).
    result = Run({"export", "HKCU\\Software", file.string()}, "");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(ReadFile(file), text);
    EXPECT_EQ(Run({"export", "HKCU\\Software", file.string(), "/y"}).status, 0);
    EXPECT_THAT(ReadFile(file), HasSubstr("[HKEY_CURRENT_USER\\Software]\n"));

    EXPECT_THAT(Run({"export", "HKCU", store_.string(), "/y"}).err,
                HasSubstr("is the settings store itself"));
    EXPECT_EQ(Run({"export", "HKCU\\Nope", (dir_ / "nope.reg").string()}).err, kNotFound);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "nope.reg"));
}

TEST_F(RegToolTest, ABrokenImportFileChangesNothing) {
    Run({"add", kPosition, "/v", "StartPos", "/t", "REG_DWORD", "/d", "2"});
    const std::string before = ReadFile(store_);
    const auto file = dir_ / "broken.reg";
    WriteFile(file, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position]\n"
                    "\"StartPos\"=dword:00000001\n\"X1\"=dword:nonsense\n");
    const Result result = Run({"import", file.string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr(file.string() + ", line 5: "));
    EXPECT_EQ(ReadFile(store_), before);
    EXPECT_THAT(Run({"import", (dir_ / "missing.reg").string()}).err, HasSubstr("no such file"));
}

TEST_F(RegToolTest, ACorruptStoreIsReportedAndLeftAlone) {
    const std::string corrupt = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\"A\"=\"open\n";
    WriteStore(corrupt);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"query", "HKCU"},
          std::vector<std::string>{"add", "HKCU\\Software\\QD\\Lumivane", "/f"},
          std::vector<std::string>{"delete", "HKCU\\Software", "/f"},
          std::vector<std::string>{"import", store_.string()}}) {
        const Result result = Run(args);
        EXPECT_EQ(result.status, 1);
        EXPECT_THAT(result.err, HasSubstr(store_.string() + ", line 4: "));
    }
    EXPECT_EQ(ReadFile(store_), corrupt);
}

TEST_F(RegToolTest, BadCommandLinesAreSyntaxErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate", "HKCU"},
        {"query"},
        {"query", "HKCU", "HKCU"},
        {"query", "HKCU", "/v"},
        {"query", "HKCU", "/f"},
        {"add", "HKCU\\A", "/d", "x"},
        {"add", "HKCU\\A", "/v", "a", "/v", "b"},
        {"delete", "HKCU\\A", "/v", "a", "/va"},
        {"export", "HKCU\\A"},
        {"import"},
    };
    for (const auto& args : bad) {
        const Result result = Run(args);
        EXPECT_EQ(result.status, 1);
        EXPECT_THAT(result.err, StartsWith("ERROR: Invalid syntax: "));
        EXPECT_THAT(result.err, HasSubstr("lumivane-reg --help"));
    }
    EXPECT_FALSE(std::filesystem::exists(store_));
    // A path that looks like a switch is still a file.
    EXPECT_THAT(Run({"import", "/no/such/file.reg"}).err, HasSubstr("no such file"));
    // Names the registry refuses are refused here too.
    EXPECT_THAT(Run({"add", "HKCU\\" + std::string(256, 'k'), "/f"}).err, HasSubstr("too long"));
    EXPECT_THAT(Run({"add", "HKCU\\A", "/v", std::string(16384, 'v'), "/f"}).err,
                HasSubstr("too long"));
}

TEST_F(RegToolTest, AnUnknownSwitchIsNamed) {
    for (const auto& [args, named] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"query", "HKCU\\A", "/zz"}, "unknown switch /zz for query"},
             {{"add", "HKCU\\A", "-x", "/f"}, "unknown switch -x for add"},
             {{"export", "HKCU\\A", "out.reg", "/q"}, "unknown switch /q for export"}}) {
        const Result result = Run(args);
        EXPECT_EQ(result.status, 1);
        EXPECT_THAT(result.err, HasSubstr(named));
    }
    EXPECT_FALSE(std::filesystem::exists(store_));
    // An absolute file name where one is expected is still a file, not a switch.
    EXPECT_THAT(Run({"import", "/tmp"}).err, Not(HasSubstr("switch")));
}

TEST_F(RegToolTest, VersionIsTheProjects) {
    const Result result = Run({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, std::string("lumivane-reg (Lumivane 98) ") + LUMIVANE_VERSION + "\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(RegToolTest, HelpDescribesEveryCommandAndTheInstallStep) {
    for (const std::string flag : {"--help", "/?", "-h", "help"}) {
        const Result result = Run({flag});
        EXPECT_EQ(result.status, 0);
        EXPECT_THAT(result.out, StartsWith("Usage: lumivane-reg"));
        for (const std::string command : {"query", "add", "delete", "export", "import"}) {
            EXPECT_THAT(result.out, HasSubstr("lumivane-reg " + command + " "));
        }
        EXPECT_THAT(result.out, HasSubstr("lumivane-reg add \"HKCU\\Software\\QD\\Lumivane\" /f"));
    }
    EXPECT_EQ(Run({"add", "HKCU\\A", "/?"}).status, 0);
    // A value named like a help switch is a value.
    EXPECT_EQ(Run({"add", "HKCU\\A", "/v", "-h", "/d", "--help"}).out, kDone);
    EXPECT_EQ(ReadString("A", "-h"), "--help");
}
