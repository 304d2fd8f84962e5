// The REGEDIT4 text: parsing, writing back, and errors that name the line.
#include "platform/RegistryText.h"

#include "platform/Registry.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace platform;

namespace {

const RegKey& KeyAt(const RegKey& root, const std::string& path) {
    const RegKey* key = FindKey(root, SplitKeyPath(path));
    if (!key) {
        throw std::runtime_error("no key " + path);
    }
    return *key;
}

const RegValue& ValueAt(const RegKey& root, const std::string& path, const std::string& name) {
    const RegValue* value = KeyAt(root, path).FindValue(name);
    if (!value) {
        throw std::runtime_error("no value " + name);
    }
    return *value;
}

// The message of the error parsing text raises ("" when none).
std::string ParseError(const std::string& text) {
    try {
        ParseRegText(text, "store.reg");
    } catch (const ERegistryException& error) {
        return error.what();
    }
    return "";
}

const char* const kSample = R"(REGEDIT4

[HKEY_CURRENT_USER\Software\QD\Lumivane]

[HKEY_CURRENT_USER\Software\QD\Lumivane\Position]
"StartPos"=dword:00000002
"X1"=dword:ffffff9c

[HKEY_CURRENT_USER\Software\QD\Lumivane\Pascal]
"clComment"="clNavy"
"Quoted"="say \"hi\" to C:\\dir\\"
@="default"
"Multi"=hex(7):61,00,62,00,\
  00
"Blob"=hex:de,ad,be,ef,01
"Wide"=hex(b):01,02,03,04,05,06,07,08
"Expand"=hex(2):25,50,41,54,48,25,00
)";

} // namespace

TEST(RegistryText, ReadsEveryKindOfValue) {
    const RegKey root = ParseRegText(kSample, "store.reg");
    EXPECT_TRUE(KeyAt(root, "Software\\QD\\Lumivane").Values().empty());
    EXPECT_EQ(DwordOf(ValueAt(root, "Software\\QD\\Lumivane\\Position", "StartPos")), 2);
    EXPECT_EQ(DwordOf(ValueAt(root, "Software\\QD\\Lumivane\\Position", "X1")), -100);
    const std::string pascal = "Software\\QD\\Lumivane\\Pascal";
    EXPECT_EQ(TextOf(ValueAt(root, pascal, "clComment")), "clNavy");
    EXPECT_EQ(TextOf(ValueAt(root, pascal, "Quoted")), "say \"hi\" to C:\\dir\\");
    EXPECT_EQ(TextOf(ValueAt(root, pascal, "")), "default");
    EXPECT_EQ(ValueAt(root, pascal, "Multi").type, kRegMultiSz);
    EXPECT_EQ(ValueAt(root, pascal, "Multi").data, std::string("a\0b\0\0", 5));
    EXPECT_EQ(ValueAt(root, pascal, "Blob").type, kRegBinary);
    EXPECT_EQ(ValueAt(root, pascal, "Blob").data, "\xde\xad\xbe\xef\x01");
    EXPECT_EQ(ValueAt(root, pascal, "Wide").type, kRegQword);
    EXPECT_EQ(ValueAt(root, pascal, "Wide").data.size(), 8u);
    EXPECT_EQ(ValueAt(root, pascal, "Expand").type, kRegExpandSz);
}

TEST(RegistryText, WritingAndReadingBackKeepsEverything) {
    const RegKey first = ParseRegText(kSample, "store.reg");
    const std::string written = FormatRegText(first, "HKEY_CURRENT_USER");
    const RegKey second = ParseRegText(written, "again.reg");
    EXPECT_EQ(FormatRegText(second, "HKEY_CURRENT_USER"), written);
    const std::string pascal = "Software\\QD\\Lumivane\\Pascal";
    for (const RegValue& value : KeyAt(first, pascal).Values()) {
        const RegValue& back = ValueAt(second, pascal, value.name);
        EXPECT_EQ(back.type, value.type) << value.name;
        EXPECT_EQ(back.data, value.data) << value.name;
    }
    // The familiar forms stay familiar; a key without values is still written.
    EXPECT_NE(written.find("\"StartPos\"=dword:00000002\n"), std::string::npos);
    EXPECT_NE(written.find("\"clComment\"=\"clNavy\"\n"), std::string::npos);
    EXPECT_NE(written.find("[HKEY_CURRENT_USER\\Software\\QD\\Lumivane]\n\n"), std::string::npos);
    EXPECT_EQ(written.rfind("REGEDIT4\n\n", 0), 0u);
}

TEST(RegistryText, StringsThatCannotBeOneQuotedLineComeBackByteForByte) {
    RegKey root;
    RegKey& key = CreateKey(root, {"K"});
    const std::vector<std::string> texts = {
        "two\nlines",
        "cr\rhere",
        "tab\there",
        std::string("inner\0nul", 9),
        "\x7f",
        "",
        "high bytes \xe9\xff\x80",
        "ends with backslash \\",
    };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        key.SetValue(StringValue("v" + std::to_string(i), texts[i]));
    }
    const std::string written = FormatRegText(root, "HKEY_CURRENT_USER");
    // Every line is a header, a section, a value or a continuation: nothing leaked.
    std::istringstream lines(written);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        EXPECT_TRUE(count <= 2 || line.empty() || line[0] == '[' || line[0] == '"' ||
                    line.rfind("  ", 0) == 0)
            << "line " << count << ": " << line;
        EXPECT_EQ(line.find('\r'), std::string::npos);
    }
    const RegKey back = ParseRegText(written, "store.reg");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const RegValue& value = ValueAt(back, "K", "v" + std::to_string(i));
        EXPECT_EQ(value.type, kRegSz);
        EXPECT_EQ(value.data, texts[i] + '\0') << i;
    }
}

TEST(RegistryText, LongHexValuesAreWrappedAndReadBack) {
    RegKey root;
    std::string bytes;
    for (int i = 0; i < 300; ++i) {
        bytes.push_back(static_cast<char>(i));
    }
    CreateKey(root, {"K"}).SetValue(RegValue{"Big", kRegBinary, bytes});
    const std::string written = FormatRegText(root, "HKEY_CURRENT_USER");
    std::istringstream lines(written);
    std::string line;
    while (std::getline(lines, line)) {
        EXPECT_LE(line.size(), 80u) << line;
    }
    EXPECT_EQ(ValueAt(ParseRegText(written, "x"), "K", "Big").data, bytes);
}

TEST(RegistryText, NamesMatchWhateverTheirCaseAndKeepTheFirstCase) {
    const RegKey root = ParseRegText("REGEDIT4\r\n\r\n"
                                     "[HKEY_CURRENT_USER\\Software\\Mixed]\r\n"
                                     "\"Value\"=\"one\"\r\n"
                                     "; a comment\r\n"
                                     "[hkcu\\SOFTWARE\\mixed\\Child]\r\n"
                                     "[HKEY_CURRENT_USER\\software\\MIXED]\r\n"
                                     "\"VALUE\"=\"two\"\r\n",
                                     "crlf.reg");
    const RegKey& mixed = KeyAt(root, "SOFTWARE\\MIXED");
    EXPECT_EQ(root.Subkeys().size(), 1u);
    EXPECT_EQ(mixed.Name(), "Mixed");
    ASSERT_EQ(mixed.Values().size(), 1u);
    EXPECT_EQ(mixed.Values()[0].name, "Value");
    EXPECT_EQ(TextOf(mixed.Values()[0]), "two");
    EXPECT_EQ(mixed.Subkeys().at(0).Name(), "Child");
    // Non-ASCII bytes are compared exactly.
    EXPECT_FALSE(NamesEqual("\xc9", "\xe9"));
}

TEST(RegistryText, DeletionEntriesOfAnImportRemoveKeysAndValues) {
    RegKey root = ParseRegText(kSample, "store.reg");
    ApplyRegText(root,
                 "REGEDIT4\n\n[-HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Pascal]\n\n"
                 "[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position]\n\"X1\"=-\n",
                 "import.reg");
    EXPECT_EQ(FindKey(root, SplitKeyPath("Software\\QD\\Lumivane\\Pascal")), nullptr);
    const RegKey& position = KeyAt(root, "Software\\QD\\Lumivane\\Position");
    EXPECT_EQ(position.FindValue("X1"), nullptr);
    EXPECT_NE(position.FindValue("StartPos"), nullptr);
}

TEST(RegistryText, AnEmptyFileIsAnEmptyStore) {
    const RegKey root = ParseRegText("", "empty.reg");
    EXPECT_TRUE(root.Subkeys().empty());
    EXPECT_EQ(FormatRegText(root, "HKEY_CURRENT_USER"), "REGEDIT4\n\n");
}

TEST(RegistryText, ErrorsNameTheSourceAndTheLine) {
    struct Case {
        std::string text;
        std::string where;
        std::string what;
    };
    const std::string head = "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n";
    const std::vector<Case> cases = {
        {"Windows Registry Editor Version 5.00\n", "line 1", "REGEDIT4"},
        {"REGEDIT4\n\n\"v\"=\"x\"\n", "line 3", "before the first key"},
        {"REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n", "line 3", "HKEY_CURRENT_USER"},
        {"REGEDIT4\n\n[HKEY_CURRENT_USERS\\Software]\n", "line 3", "HKEY_CURRENT_USER"},
        {"REGEDIT4\n\n[HKEY_CURRENT_USER\\A\n", "line 3", "]"},
        {"REGEDIT4\n\n[HKEY_CURRENT_USER\\A\\\\B]\n", "line 3", "empty key name"},
        {"REGEDIT4\n\n[HKEY_CURRENT_USER\\" + std::string(256, 'k') + "]\n", "line 3", "too long"},
        {head + "\"v\"=\"unterminated\n", "line 4", "closing quote"},
        {head + "\"v\"=\"bad \\n escape\"\n", "line 4", "escape"},
        {head + "\"v\"=\"x\" trailing\n", "line 4", "after the closing quote"},
        {head + "\"v\"\"x\"\n", "line 4", "\"=\""},
        {head + "\"v\"=dword:123456789\n", "line 4", "dword"},
        {head + "\"v\"=dword:\n", "line 4", "dword"},
        {head + "\"v\"=dword:12zz\n", "line 4", "dword"},
        {head + "\"v\"=hex:01,zz\n", "line 4", "zz"},
        {head + "\"v\"=hex:01,,02\n", "line 4", "hex byte"},
        {head + "\"v\"=hex:100\n", "line 4", "hex byte"},
        {head + "\"v\"=hex(q):01\n", "line 4", "hex(N)"},
        {head + "\"v\"=hex:01,\\\n  02,\\\n", "line 5", "ends inside"},
        {head + "\"v\"=\n", "line 4", "unrecognised value"},
        {head + "\"" + std::string(16384, 'n') + "\"=\"x\"\n", "line 4", "too long"},
        {head + "garbage\n", "line 4", "unrecognised line"},
        {head + "\n\n[-HKEY_CURRENT_USER\\K]\n\"v\"=\"x\"\n", "line 7", "deleted key"},
        {"REGEDIT4\n\n[-HKEY_CURRENT_USER]\n", "line 3", "root"},
        {head + "\"v\"=\"cut" + std::string(1, '\0') + "here\"\n", "line 4", "NUL"},
        {head + "\"v\"=\"" + std::string(1, '\0') + "\"\n", "line 4", "NUL"},
        {head + "\"v" + std::string(1, '\0') + "\"=\"x\"\n", "line 4", "NUL"},
    };
    for (const Case& c : cases) {
        const std::string message = ParseError(c.text);
        EXPECT_EQ(message.rfind("store.reg, " + c.where + ": ", 0), 0u)
            << c.text << " -> " << message;
        EXPECT_EQ(message.find("store.reg", 1), std::string::npos) << message;
        EXPECT_NE(message.find(c.what), std::string::npos) << c.text << " -> " << message;
    }
}

TEST(RegistryText, NamesUpToTheRegistryLimitsAreAccepted) {
    const std::string key(kMaxKeyNameLength, 'k');
    const std::string value(kMaxValueNameLength, 'v');
    const RegKey root = ParseRegText("REGEDIT4\n\n[HKEY_CURRENT_USER\\" + key + "]\n\"" + value +
                                         "\"=dword:00000001\n",
                                     "limits.reg");
    EXPECT_EQ(DwordOf(ValueAt(root, key, value)), 1);
    EXPECT_THROW(CheckKeyName(key + "k"), ERegistryException);
    EXPECT_THROW(CheckValueName(value + "v"), ERegistryException);
    EXPECT_THROW(CheckValueName("line\nbreak"), ERegistryException);
    EXPECT_THROW(SplitKeyPath("a\\\x01"), ERegistryException);
    std::string deep;
    for (std::size_t i = 0; i <= kMaxKeyDepth; ++i) {
        deep += "k\\";
    }
    EXPECT_THROW(SplitKeyPath(deep), ERegistryException);
}

TEST(RegistryTree, ManyNamesStayFindableInAnyCaseThroughChangesAndDeletions) {
    RegKey key("K");
    constexpr int kCount = 1000;
    for (int i = 0; i < kCount; ++i) {
        EXPECT_TRUE(key.SetValue(StringValue("Value" + std::to_string(i), std::to_string(i))));
    }
    EXPECT_FALSE(key.SetValue(StringValue("VALUE7", "7"))); // the same again: no change
    EXPECT_TRUE(key.SetValue(StringValue("value7", "seven")));
    EXPECT_EQ(key.FindValue("Value7")->name, "Value7"); // the first case stays
    EXPECT_EQ(TextOf(*key.FindValue("VALUE7")), "seven");

    // Deleting the first, one in the middle and the last moves the rest up in order.
    EXPECT_TRUE(key.DeleteValue("value0"));
    EXPECT_TRUE(key.DeleteValue("VALUE500"));
    EXPECT_TRUE(key.DeleteValue("Value999"));
    EXPECT_FALSE(key.DeleteValue("Value500"));
    ASSERT_EQ(key.Values().size(), static_cast<std::size_t>(kCount - 3));
    EXPECT_EQ(key.Values().front().name, "Value1");
    EXPECT_EQ(key.Values()[498].name, "Value499");
    EXPECT_EQ(key.Values()[499].name, "Value501");
    EXPECT_EQ(key.Values().back().name, "Value998");
    for (int i : {1, 499, 501, 998}) {
        const RegValue* value = key.FindValue("vALUE" + std::to_string(i));
        ASSERT_NE(value, nullptr) << i;
        EXPECT_EQ(TextOf(*value), std::to_string(i));
    }
    EXPECT_EQ(key.FindValue("Value0"), nullptr);
    EXPECT_EQ(key.FindValue("Value999"), nullptr);

    // A deleted name comes back at the end; clearing forgets every name.
    EXPECT_TRUE(key.SetValue(StringValue("VALUE500", "back")));
    EXPECT_EQ(key.Values().back().name, "VALUE500");
    EXPECT_TRUE(key.DeleteAllValues());
    EXPECT_FALSE(key.DeleteAllValues());
    EXPECT_EQ(key.FindValue("Value1"), nullptr);
    EXPECT_TRUE(key.SetValue(StringValue("Value1", "again")));
    EXPECT_EQ(key.Values().size(), 1u);
}

TEST(RegistryTree, SubkeysAreCreatedOnceAndDeletedWithoutLosingTheirSiblings) {
    RegKey root;
    bool created = false;
    RegKey& software = CreateKey(root, SplitKeyPath("Software\\QD\\Lumivane"), &created);
    EXPECT_TRUE(created);
    software.SetValue(DwordValue("X1", 5));
    CreateKey(root, SplitKeyPath("SOFTWARE\\qd\\Other"), &created);
    EXPECT_TRUE(created);
    CreateKey(root, SplitKeyPath("software\\QD\\LUMIVANE"), &created);
    EXPECT_FALSE(created);
    RegKey* qd = FindKey(root, SplitKeyPath("Software\\QD"));
    ASSERT_NE(qd, nullptr);
    ASSERT_EQ(qd->Subkeys().size(), 2u);
    EXPECT_TRUE(qd->DeleteSubkey("lumivane"));
    EXPECT_FALSE(qd->DeleteSubkey("Lumivane"));
    ASSERT_NE(qd->FindSubkey("OTHER"), nullptr);
    EXPECT_EQ(qd->FindSubkey("OTHER")->Name(), "Other");
    EXPECT_EQ(qd->Subkeys().size(), 1u);
}
