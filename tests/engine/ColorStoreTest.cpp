// Loading and saving the colour scheme through the real settings store (a
// private file, see EngineTestSupport).

#include "engine/PascalParser.h"
#include "platform/Registry.h"
#include "tests/engine/EngineTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>

namespace {

namespace fs = std::filesystem;

const std::string kPascalKey = "Software\\QD\\Lumivane\\Pascal";

class ColorStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ResetColorsAndStore(); }
    void TearDown() override {
        setenv("LUMIVANE_REGISTRY", TestStoreFile().c_str(), 1);
        ResetColorsAndStore();
    }

    static void StoreString(const std::string& name, const std::string& text) {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kPascalKey, true));
        registry.WriteString(name, text);
    }

    static std::string StoredString(const std::string& name) {
        TRegistry registry;
        if (!registry.OpenKey(kPascalKey, false) || !registry.ValueExists(name)) {
            return "<missing>";
        }
        return registry.ReadString(name);
    }

    static std::array<TColor, 7> Colors() {
        std::array<TColor, 7> colors{};
        for (std::size_t i = 0; i < colors.size(); ++i) {
            colors[i] = ColorSlots[i].Color;
        }
        return colors;
    }

    // The message LoadColors fails with; empty when it succeeds.
    static std::string LoadFailure() {
        try {
            TPascalParser().LoadColors();
        } catch (const std::exception& e) {
            return e.what();
        }
        return {};
    }
};

TEST_F(ColorStoreTest, WithoutTheKeyTheColoursStayAndNothingIsCreated) {
    ColorSlots[ciNumber].Color = 0x123456; // a change made in memory survives
    EXPECT_EQ(LoadFailure(), "");
    auto expected = kDefaultSlotColors;
    expected[ciNumber] = 0x123456;
    EXPECT_EQ(Colors(), expected);
    EXPECT_FALSE(fs::exists(TestStoreFile()));
}

TEST_F(ColorStoreTest, LoadsNamesAndIntegersInAnyCase) {
    StoreString("clFGround", "clNavy");
    StoreString("clbground", "CLNAVY"); // value names ignore case
    StoreString("clString", "$00FF0000");
    StoreString("clComment", "16711680");
    StoreString("clNumber", ""); // empty: slot unchanged
    StoreString("clKeyword", "clWindowText");
    ColorSlots[ciNumber].Color = 0x010203;
    EXPECT_EQ(LoadFailure(), "");
    EXPECT_EQ(Colors(), (std::array<TColor, 7>{0x800000, 0x800000, 0xFF0000, 0xFF0000, 0x010203,
                                               0x008000, 0x80000008}));
}

TEST_F(ColorStoreTest, StoredValueWinsOverAChangeInMemory) {
    StoreString("clString", "clLime");
    ColorSlots[ciString].Color = 0x111111;
    ColorSlots[ciComment].Color = 0x222222;
    EXPECT_EQ(LoadFailure(), "");
    EXPECT_EQ(ColorSlots[ciString].Color, 0x00FF00u);
    EXPECT_EQ(ColorSlots[ciComment].Color, 0x222222u);
}

TEST_F(ColorStoreTest, ValueOfAnotherTypeFailsAfterTheSlotsBeforeIt) {
    StoreString("clFGround", "clRed");
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kPascalKey, true));
        registry.WriteInteger("clString", 255);
        registry.WriteString("clComment", "clLime");
    }
    EXPECT_EQ(LoadFailure(), "Invalid data type for 'clString'");
    EXPECT_EQ(ColorSlots[ciForeground].Color, 0x0000FFu); // read before the failure
    EXPECT_EQ(ColorSlots[ciComment].Color, kDefaultSlotColors[ciComment]); // never read
}

TEST_F(ColorStoreTest, TextThatIsNoColourFailsNamingIt) {
    StoreString("clBGround", "clSilver");
    StoreString("clNumber", "violet");
    StoreString("clAssembler", "clLime");
    const std::string failure = LoadFailure();
    EXPECT_NE(failure.find("value clNumber: 'violet' is not a valid integer value"),
              std::string::npos)
        << failure;
    EXPECT_EQ(ColorSlots[ciBackground].Color, 0xC0C0C0u);
    EXPECT_EQ(ColorSlots[ciAssembler].Color, kDefaultSlotColors[ciAssembler]);
}

TEST_F(ColorStoreTest, UnparsableStoreLoadsAsNoKeyButEveryWriteIsRefusedAndLeavesIt) {
    const std::string garbage = "this is no store\n";
    std::ofstream(TestStoreFile()) << garbage;
    ColorSlots[ciKeyword].Color = 0xFF0000; // a colour changed in memory
    auto expected = kDefaultSlotColors;
    expected[ciKeyword] = 0xFF0000;

    // Loading goes on with the current colours, and so does a conversion.
    EXPECT_EQ(LoadFailure(), "");
    EXPECT_EQ(Colors(), expected);
    TTempDir dir;
    TMemoryStream out;
    ConvertFile(dir.WriteFile("u.pas", "end"), out);
    EXPECT_NE(out.View().find("\\red0\\green0\\blue255;}"), std::string::npos);

    // Every write names the file and the line, and leaves the file as it is.
    auto expectRefused = [&](const char* what, const std::function<void()>& write) {
        try {
            write();
            ADD_FAILURE() << what << " reported success";
        } catch (const ERegistryException& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(TestStoreFile().filename().string() + ", line 1"),
                      std::string::npos)
                << what << ": " << message;
        }
    };
    expectRefused("SaveColors", [] { TPascalParser().SaveColors(); });
    expectRefused("creating the key", [] { TRegistry().OpenKey(kPascalKey, true); });
    expectRefused("deleting a key", [] { TRegistry().DeleteKey("Software"); });
    std::ifstream in(TestStoreFile());
    const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after, garbage);
}

TEST_F(ColorStoreTest, SavesAllSevenValuesEveryTime) {
    ColorSlots[ciComment].Color = 0x800000;
    ColorSlots[ciNumber].Color = 0x80000008;
    ColorSlots[ciAssembler].Color = 0x80FFFF;
    TPascalParser().SaveColors();
    const std::array<std::string, 7> expected = {"clBlack",      "clWhite",   "clRed",  "clNavy",
                                                 "clWindowText", "$0080FFFF", "clBlack"};
    for (std::size_t i = 0; i < ColorSlots.size(); ++i) {
        EXPECT_EQ(StoredString(std::string(ColorSlots[i].ValueName)), expected[i]);
    }
    // and they load back as they were
    const auto saved = Colors();
    for (TColorSlot& slot : ColorSlots) {
        slot.Color = 0x1;
    }
    EXPECT_EQ(LoadFailure(), "");
    EXPECT_EQ(Colors(), saved);
}

TEST_F(ColorStoreTest, SaveWithoutAWritableStoreDoesNothingSilently) {
    TTempDir dir;
    const fs::path store = dir.Path() / "user.reg";
    fs::create_directory(dir.Path() / "user.reg.lock"); // the store can be read, not locked
    setenv("LUMIVANE_REGISTRY", store.c_str(), 1);
    EXPECT_NO_THROW(TPascalParser().SaveColors());
    EXPECT_FALSE(fs::exists(store));
}

TEST_F(ColorStoreTest, AStoreWhoseFolderIsAFileIsReportedNotTakenForEmpty) {
    TTempDir dir;
    const fs::path blocker = dir.WriteFile("not-a-folder", "x");
    const fs::path store = blocker / "user.reg";
    setenv("LUMIVANE_REGISTRY", store.c_str(), 1);
    for (const bool saving : {true, false}) {
        try {
            TPascalParser parser;
            saving ? parser.SaveColors() : parser.LoadColors();
            ADD_FAILURE() << (saving ? "save" : "load") << " reported success";
        } catch (const std::exception& error) {
            EXPECT_NE(std::string(error.what()).find(store.string()), std::string::npos)
                << error.what();
        }
    }
    std::ifstream in(blocker);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
              "x");
}

TEST_F(ColorStoreTest, SaveWhereNoStoreCanBeReadIsReported) {
    TTempDir dir;
    const fs::path blocker = dir.WriteFile("not-a-folder", "x");
    const fs::path store = blocker / "user.reg";
    setenv("LUMIVANE_REGISTRY", store.c_str(), 1);
    try {
        TPascalParser().SaveColors();
        FAIL() << "no error";
    } catch (const ERegistryException& error) {
        EXPECT_NE(std::string(error.what()).find(store.string()), std::string::npos);
    }
    EXPECT_TRUE(fs::is_regular_file(blocker));
}

TEST_F(ColorStoreTest, ConversionUsesTheStoredScheme) {
    StoreString("clKeyword", "clBlue");
    TTempDir dir;
    TMemoryStream out;
    ConvertFile(dir.WriteFile("u.pas", "end"), out);
    EXPECT_NE(out.View().find("\\red0\\green0\\blue255;}"), std::string::npos);
    EXPECT_TRUE(out.View().ends_with("{\\cf6\\b end}\\par }{\r\n"));
}

TEST_F(ColorStoreTest, ConversionFailsBeforeWritingWhenTheSchemeCannotLoad) {
    StoreString("clKeyword", "nonsense");
    TTempDir dir;
    TMemoryStream out;
    EXPECT_THROW(ConvertFile(dir.WriteFile("u.pas", "end"), out), std::invalid_argument);
    EXPECT_EQ(out.Size(), 0u);
}

TEST_F(ColorStoreTest, ABadValueIsNamedWithItsFileKeyAndWhatWasExpected) {
    StoreString("clComment", "notacolour");
    const std::string message = LoadFailure();
    for (const std::string& part :
         {TestStoreFile().string(), std::string("HKCU\\") + kPascalKey, std::string("clComment"),
          std::string("'notacolour'"), std::string("expected a colour name")}) {
        EXPECT_NE(message.find(part), std::string::npos) << part << " not in: " << message;
    }
}

} // namespace
