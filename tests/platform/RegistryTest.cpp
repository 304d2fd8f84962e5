// The accessor over a real store file.
#include "platform/Registry.h"

#include "tests/platform/TempStore.h"

#include <climits>
#include <gmock/gmock.h>
#include <pwd.h>
#include <sys/stat.h>

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

class RegistryTest : public TempStoreTest {};

} // namespace

TEST_F(RegistryTest, AMissingFileIsAnEmptyStoreAndReadingCreatesNothing) {
    TRegistry registry;
    EXPECT_EQ(registry.StoreFile(), store_);
    EXPECT_FALSE(registry.KeyExists("Software\\QD\\Lumivane"));
    EXPECT_FALSE(registry.OpenKey("Software\\QD\\Lumivane\\Pascal", false));
    EXPECT_FALSE(registry.HasCurrentKey());
    EXPECT_FALSE(registry.ValueExists("clNavy"));
    EXPECT_EQ(ErrorOf([&] { registry.ReadString("clNavy"); }), "Could not get data for 'clNavy'");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "config"));
}

TEST_F(RegistryTest, CreatingAKeyCreatesThePathAndWritesEmptyKeys) {
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Pascal", true));
        EXPECT_EQ(registry.CurrentPath(), "Software\\QD\\Lumivane\\Pascal");
    }
    const std::string file = ReadFile(store_);
    EXPECT_THAT(file, HasSubstr("[HKEY_CURRENT_USER\\Software\\QD\\Lumivane]\n"));
    EXPECT_THAT(file, HasSubstr("[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Pascal]\n"));
    TRegistry other;
    EXPECT_TRUE(other.KeyExists("software\\qd\\LUMIVANE"));
    ASSERT_TRUE(other.OpenKey("\\SOFTWARE\\qd\\lumivane\\pascal\\", false));
    EXPECT_EQ(other.CurrentPath(), "Software\\QD\\Lumivane\\Pascal"); // the stored case
    EXPECT_EQ(other.GetKeyNames(), std::vector<std::string>{});
    ASSERT_TRUE(other.OpenKey("Software\\QD", false));
    EXPECT_EQ(other.GetKeyNames(), std::vector<std::string>{"Lumivane"});
}

TEST_F(RegistryTest, IntegersAndStringsComeBackWithTheirTypes) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Position", true));
    for (std::int32_t number : {0, 2, -1, INT_MIN, INT_MAX}) {
        registry.WriteInteger("X1", number);
        EXPECT_EQ(registry.ReadInteger("x1"), number);
    }
    registry.WriteString("Name", "clNavy");
    registry.WriteString("", "default value");
    EXPECT_EQ(registry.ReadString("NAME"), "clNavy");
    EXPECT_EQ(registry.ReadString(""), "default value");
    EXPECT_EQ(registry.GetDataType("X1"), TRegDataType::kDWord);
    EXPECT_EQ(registry.GetDataType("Name"), TRegDataType::kString);
    EXPECT_EQ(registry.GetDataType("Missing"), TRegDataType::kNone);
    // A new write under another case keeps the name as first created.
    registry.WriteString("NAME", "clRed");
    EXPECT_EQ(registry.GetValueNames(), (std::vector<std::string>{"X1", "Name", ""}));
    EXPECT_EQ(registry.ReadString("name"), "clRed");
    EXPECT_THAT(ReadFile(store_), HasSubstr("\"X1\"=dword:7fffffff\n\"Name\"=\"clRed\"\n@=\""));
}

TEST_F(RegistryTest, ReadingAnIntegerOfAnotherTypeFailsAsTheRegistryWould) {
    WriteStore("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position]\n"
               "\"Short\"=\"123\"\n" // 4 bytes with the NUL: wrong type
               "\"Long\"=\"1234\"\n" // 5 bytes: the query itself fails
               "\"Bytes\"=hex:01,02,03,04\n"
               "\"Cut\"=hex(4):01,02\n" // a DWORD that is not 4 bytes
               "\"Wide\"=hex(b):01,00,00,00,00,00,00,00\n"
               "\"Number\"=dword:00000005\n");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Position", false));
    EXPECT_EQ(ErrorOf([&] { registry.ReadInteger("Short"); }), "Invalid data type for 'Short'");
    EXPECT_EQ(ErrorOf([&] { registry.ReadInteger("Bytes"); }), "Invalid data type for 'Bytes'");
    EXPECT_EQ(ErrorOf([&] { registry.ReadInteger("Long"); }), "Could not get data for 'Long'");
    EXPECT_EQ(ErrorOf([&] { registry.ReadInteger("Wide"); }), "Could not get data for 'Wide'");
    EXPECT_EQ(ErrorOf([&] { registry.ReadInteger("Cut"); }), "Could not get data for 'Cut'");
    EXPECT_EQ(ErrorOf([&] { registry.ReadInteger("None"); }), "Could not get data for 'None'");
    EXPECT_EQ(ErrorOf([&] { registry.ReadString("Number"); }), "Invalid data type for 'Number'");
    EXPECT_TRUE(registry.ValueExists("Wide"));
    EXPECT_EQ(registry.GetDataType("Wide"), TRegDataType::kQWord);
    EXPECT_EQ(registry.ReadString("Short"), "123");
}

TEST_F(RegistryTest, ValuesOfOtherTypesSurviveLaterWrites) {
    const std::string multi = "\"Multi\"=hex(7):61,00,62,00,00\n";
    const std::string expand = "\"Path\"=hex(2):25,48,4f,4d,45,25,00\n";
    const std::string none = "\"Nothing\"=hex(0):\n";
    WriteStore("REGEDIT4\n\n[HKEY_CURRENT_USER\\Other]\n" + multi + expand + none);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Other", true));
    registry.WriteInteger("StartPos", 2);
    ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane", true));
    registry.WriteString("x", "y");
    const std::string file = ReadFile(store_);
    EXPECT_THAT(file, HasSubstr(multi + expand + none + "\"StartPos\"=dword:00000002\n"));
    ASSERT_TRUE(registry.OpenKey("Other", false));
    EXPECT_EQ(registry.ReadString("Path"), "%HOME%");
}

TEST_F(RegistryTest, EveryCallSeesTheFileAsItIsNow) {
    TRegistry reader;
    ASSERT_TRUE(TRegistry().OpenKey("Software\\QD\\Lumivane\\Position", true));
    ASSERT_TRUE(reader.OpenKey("Software\\QD\\Lumivane\\Position", false));
    EXPECT_FALSE(reader.ValueExists("StartPos"));
    {
        TRegistry writer;
        writer.OpenKey("Software\\QD\\Lumivane\\Position", true);
        writer.WriteInteger("StartPos", 1);
    }
    EXPECT_EQ(reader.ReadInteger("StartPos"), 1);
    // An edit by hand is seen too.
    WriteStore("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position]\n"
               "\"StartPos\"=dword:00000002\n");
    EXPECT_EQ(reader.ReadInteger("StartPos"), 2);
    // And a key deleted meanwhile makes the next write fail instead of reviving it.
    WriteStore("REGEDIT4\n\n");
    EXPECT_THAT(ErrorOf([&] { reader.WriteInteger("StartPos", 3); }),
                StartsWith("Could not set data for 'StartPos'"));
    EXPECT_FALSE(TRegistry().KeyExists("Software"));
}

TEST_F(RegistryTest, ACorruptFileFailsEveryCallAndIsNeverReplaced) {
    const std::string corrupt = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\"A\"=dword:1\n"
                                "\"B\"=oops\n[HKEY_CURRENT_USER\\Software\\QD\\Lumivane]\n";
    WriteStore(corrupt);
    TRegistry registry;
    const std::string where = store_.string() + ", line 5";
    EXPECT_THAT(ErrorOf([&] { registry.KeyExists("Software"); }), HasSubstr(where));
    EXPECT_THAT(ErrorOf([&] { registry.OpenKey("Software", false); }), HasSubstr(where));
    EXPECT_THAT(ErrorOf([&] { registry.OpenKey("Software\\New", true); }), HasSubstr(where));
    EXPECT_THAT(ErrorOf([&] { registry.DeleteKey("Software"); }), HasSubstr(where));
    EXPECT_FALSE(registry.HasCurrentKey());
    EXPECT_EQ(ReadFile(store_), corrupt);

    // A key opened before the file broke: reads and writes fail alike.
    std::filesystem::remove(store_);
    ASSERT_TRUE(registry.OpenKey("Software", true));
    WriteStore(corrupt);
    EXPECT_THAT(ErrorOf([&] { registry.ValueExists("A"); }), HasSubstr(where));
    EXPECT_THAT(ErrorOf([&] { registry.ReadInteger("A"); }), HasSubstr(where));
    const std::string writeError = ErrorOf([&] { registry.WriteInteger("A", 1); });
    EXPECT_THAT(writeError, StartsWith("Could not set data for 'A'"));
    EXPECT_THAT(writeError, HasSubstr(where));
    EXPECT_THAT(ErrorOf([&] { registry.WriteString("C", "x"); }), HasSubstr(where));
    EXPECT_THAT(ErrorOf([&] { registry.DeleteValue("A"); }), HasSubstr(where));
    EXPECT_EQ(ReadFile(store_), corrupt);
}

TEST_F(RegistryTest, AFolderThatIsAFileIsAnErrorForReadsAndWritesAlike) {
    // A regular file where the store's folder should be: not writable even for
    // root, and no store can ever be read from there either.
    WriteFile(dir_ / "config", "not a folder");
    TRegistry registry;
    const std::string readError = ErrorOf([&] { registry.KeyExists("Software"); });
    EXPECT_THAT(readError, HasSubstr(store_.string()));
    EXPECT_THAT(readError, HasSubstr("Not a directory"));
    EXPECT_THAT(ErrorOf([&] { registry.OpenKey("Software\\QD\\Lumivane\\Position", false); }),
                HasSubstr("Not a directory"));
    EXPECT_THAT(ErrorOf([&] { registry.OpenKey("Software\\QD\\Lumivane\\Position", true); }),
                HasSubstr("Not a directory"));
    EXPECT_FALSE(registry.HasCurrentKey());
    const std::string error = ErrorOf([&] { registry.WriteInteger("StartPos", 2); });
    EXPECT_THAT(error, StartsWith("Could not set data for 'StartPos': "));
    EXPECT_EQ(ReadFile(dir_ / "config"), "not a folder");
}

TEST_F(RegistryTest, ALockThatCannotBeTakenLeavesTheStoreAsItWas) {
    ASSERT_TRUE(TRegistry().OpenKey("Software\\QD\\Lumivane", true));
    const std::string before = ReadFile(store_);
    std::filesystem::remove(store_.string() + ".lock");
    std::filesystem::create_directory(store_.string() + ".lock");
    TRegistry registry;
    EXPECT_TRUE(registry.OpenKey("Software\\QD\\Lumivane", true)); // exists: nothing to write
    EXPECT_THAT(ErrorOf([&] { registry.WriteString("clNavy", "x"); }),
                StartsWith("Could not set data for 'clNavy': "));
    EXPECT_FALSE(registry.OpenKey("Software\\QD\\Lumivane\\Position", true));
    EXPECT_EQ(ReadFile(store_), before);
}

TEST_F(RegistryTest, AStoreThatIsNotAFileIsAReadError) {
    std::filesystem::create_directories(store_);
    EXPECT_THAT(ErrorOf([] { TRegistry().KeyExists("Software"); }),
                HasSubstr(store_.string() + ": not a regular file"));
    std::filesystem::remove(store_);
    ASSERT_EQ(::mkfifo(store_.c_str(), 0600), 0); // must not wait for a writer
    EXPECT_THAT(ErrorOf([] { TRegistry().KeyExists("Software"); }),
                HasSubstr(store_.string() + ": not a regular file"));
}

TEST_F(RegistryTest, NamesBeyondTheRegistryLimitsAreRefused) {
    TRegistry registry;
    const std::string longKey(256, 'k');
    EXPECT_THAT(ErrorOf([&] { registry.OpenKey("Software\\" + longKey, true); }),
                HasSubstr("Key name too long (256 characters, at most 255)"));
    EXPECT_THAT(ErrorOf([&] { registry.KeyExists("Software\\\\QD"); }), HasSubstr("empty"));
    ASSERT_TRUE(registry.OpenKey("Software\\" + longKey.substr(1), true));
    const std::string longValue(16384, 'v');
    EXPECT_THAT(ErrorOf([&] { registry.WriteString(longValue, "x"); }),
                HasSubstr("Value name too long (16384 characters, at most 16383)"));
    EXPECT_THAT(ErrorOf([&] { registry.WriteInteger("new\nline", 1); }),
                HasSubstr("control characters"));
    registry.WriteString(longValue.substr(1), "fits");
    EXPECT_EQ(registry.ReadString(longValue.substr(1)), "fits");
    EXPECT_EQ(registry.GetValueNames().size(), 1u);
}

TEST_F(RegistryTest, AnyBytesInAStringComeBackUnchanged) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Pascal", true));
    const std::string awkward = "line\nbreak\r\n\t\"quoted\" \\ \xe9\xff";
    registry.WriteString("Awkward", awkward);
    registry.WriteString("After", "still here");
    EXPECT_EQ(registry.ReadString("Awkward"), awkward);
    EXPECT_EQ(registry.ReadString("After"), "still here");
    EXPECT_EQ(registry.GetValueNames(), (std::vector<std::string>{"Awkward", "After"}));
}

TEST_F(RegistryTest, DeletingValuesAndKeys) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Position", true));
    registry.WriteInteger("X1", 1);
    EXPECT_TRUE(registry.DeleteValue("x1"));
    EXPECT_FALSE(registry.DeleteValue("x1"));
    EXPECT_FALSE(registry.ValueExists("X1"));
    EXPECT_TRUE(registry.DeleteKey("SOFTWARE\\qd"));
    EXPECT_FALSE(registry.DeleteKey("Software\\QD"));
    EXPECT_TRUE(registry.KeyExists("Software"));
    EXPECT_THROW(registry.DeleteKey(""), ERegistryException);
}

TEST_F(RegistryTest, WithoutAnOpenKeyReadsFindNothingAndWritesFail) {
    TRegistry registry;
    EXPECT_FALSE(registry.ValueExists("X1"));
    EXPECT_TRUE(registry.GetValueNames().empty());
    EXPECT_EQ(ErrorOf([&] { registry.ReadInteger("X1"); }), "Could not get data for 'X1'");
    EXPECT_THAT(ErrorOf([&] { registry.WriteInteger("X1", 1); }),
                StartsWith("Could not set data for 'X1'"));
    EXPECT_FALSE(std::filesystem::exists(store_));
}

TEST_F(RegistryTest, WritingThroughASymbolicLinkUpdatesItsTarget) {
    const auto real = dir_ / "real.reg";
    WriteFile(real, "REGEDIT4\n\n");
    std::filesystem::create_directories(store_.parent_path());
    std::filesystem::create_symlink(real, store_);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software", true));
    registry.WriteInteger("V", 7);
    EXPECT_TRUE(std::filesystem::is_symlink(store_));
    EXPECT_THAT(ReadFile(real), HasSubstr("\"V\"=dword:00000007"));
}

TEST_F(RegistryTest, ALinkToAStoreThatDoesNotExistYetIsWrittenThrough) {
    std::filesystem::create_directories(store_.parent_path());
    // Relative: the target is beside the link, in a folder not made yet.
    std::filesystem::create_symlink("real/user.reg", store_);
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Software", true));
        registry.WriteInteger("V", 7);
    }
    EXPECT_TRUE(std::filesystem::is_symlink(store_));
    EXPECT_THAT(ReadFile(store_.parent_path() / "real" / "user.reg"),
                HasSubstr("\"V\"=dword:00000007"));
    struct stat info {};
    ASSERT_EQ(::stat((store_.parent_path() / "real" / "user.reg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    // Absolute, and the store already has content through the link.
    const auto absolute = dir_ / "elsewhere" / "settings.reg";
    std::filesystem::remove(store_);
    std::filesystem::create_symlink(absolute, store_);
    {
        TRegistry registry;
        EXPECT_FALSE(registry.KeyExists("Software"));
        ASSERT_TRUE(registry.OpenKey("Software\\QD", true));
        registry.WriteString("Name", "through");
    }
    EXPECT_TRUE(std::filesystem::is_symlink(store_));
    EXPECT_THAT(ReadFile(absolute), HasSubstr("\"Name\"=\"through\""));
    EXPECT_EQ(TRegistry().KeyExists("Software\\QD"), true);
}

// A store path that is another user's link in a sticky, world-writable folder
// is read, but never written through.
TEST_F(RegistryTest, AnotherUsersLinkInASharedFolderIsNotWrittenThrough) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || nobody == nullptr) {
        GTEST_SKIP() << "giving a link another owner needs root and the user \"nobody\"";
    }
    const auto victim = dir_ / "victim.reg";
    const std::string original = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n";
    WriteFile(victim, original);
    std::filesystem::create_directories(store_.parent_path());
    ASSERT_EQ(::chmod(store_.parent_path().c_str(), 01777), 0);
    std::filesystem::create_symlink(victim, store_);
    ASSERT_EQ(::lchown(store_.c_str(), nobody->pw_uid, nobody->pw_gid), 0);

    TRegistry registry;
    EXPECT_TRUE(registry.KeyExists("Software"));
    ASSERT_TRUE(registry.OpenKey("Software", false));
    EXPECT_THAT(ErrorOf([&] { registry.WriteInteger("V", 7); }),
                HasSubstr("belongs to another user in a shared folder"));
    EXPECT_EQ(ReadFile(victim), original);
    EXPECT_TRUE(std::filesystem::is_symlink(store_));
}

// The lock file is never opened through a link, which would create the file
// it names.
TEST_F(RegistryTest, ALockFileThatIsALinkIsRefused) {
    std::filesystem::create_directories(store_.parent_path());
    const auto elsewhere = dir_ / "created-through-the-lock";
    std::filesystem::create_symlink(elsewhere, store_.string() + ".lock");
    EXPECT_THAT(ErrorOf([&] { TRegistry().DeleteKey("Software"); }),
                HasSubstr("cannot open the lock file"));
    EXPECT_FALSE(std::filesystem::exists(elsewhere));
}

TEST_F(RegistryTest, ANulInsideAQuotedStringIsRefusedWithTheLineAndNeverReplaced) {
    const std::string damaged = std::string("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n") +
                                "\"A\"=\"before" + std::string(1, '\0') + "after\"\n";
    WriteStore(damaged);
    TRegistry registry;
    const std::string where = store_.string() + ", line 4";
    EXPECT_THAT(ErrorOf([&] { registry.KeyExists("Software"); }), HasSubstr(where));
    EXPECT_THAT(ErrorOf([&] { registry.KeyExists("Software"); }), HasSubstr("NUL"));
    EXPECT_THAT(ErrorOf([&] { registry.OpenKey("Software\\New", true); }), HasSubstr(where));
    EXPECT_EQ(ReadFile(store_), damaged);
}

TEST_F(RegistryTest, AWriteKeepsTheFileModeAndClearsLeftoversOfKilledWriters) {
    ASSERT_TRUE(TRegistry().OpenKey("Software", true));
    ::chmod(store_.c_str(), 0640);
    const auto leftover = store_.parent_path() / ".user.reg.tmp.Ab12Cd";
    const auto otherFile = store_.parent_path() / ".other.reg.tmp.Ab12Cd";
    const auto unrelated = store_.parent_path() / ".user.reg.tmp.keep-me";
    WriteFile(leftover, "half a file");
    WriteFile(otherFile, "someone else's");
    WriteFile(unrelated, "mine");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software", false));
    registry.WriteInteger("V", 1);
    EXPECT_FALSE(std::filesystem::exists(leftover));
    EXPECT_TRUE(std::filesystem::exists(otherFile));
    EXPECT_TRUE(std::filesystem::exists(unrelated));
    struct stat info {};
    ASSERT_EQ(::stat(store_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(RegistryTest, TheStoreFileComesFromTheEnvironment) {
    EXPECT_EQ(DefaultRegistryFile(), store_);
    ::unsetenv("LUMIVANE_REGISTRY");
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedConfig = oldConfig ? oldConfig : "";
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    ::setenv("XDG_CONFIG_HOME", "/xdg/config", 1);
    EXPECT_EQ(DefaultRegistryFile(), "/xdg/config/lumivane/user.reg");
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1); // must be absolute to count
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(DefaultRegistryFile(), "/home/someone/.config/lumivane/user.reg");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(DefaultRegistryFile(), "/home/someone/.config/lumivane/user.reg");
    ::setenv("LUMIVANE_REGISTRY", "", 1); // empty counts as unset
    EXPECT_EQ(DefaultRegistryFile(), "/home/someone/.config/lumivane/user.reg");
    oldConfig ? ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    oldHome ? ::setenv("HOME", savedHome.c_str(), 1) : ::unsetenv("HOME");
}
