// Start-up placement, start mode and install check over a real store file;
// only the main window is stood in for, by a window that records its calls.
#include "settings/Placement.h"

#include "platform/Registry.h"
#include "tests/platform/TempStore.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

namespace {

// Starts with the main window's designed bounds.
struct RecordingWindow : TPlacementWindow {
    std::vector<std::string> calls;
    int left = 173, top = 119, width = 611, height = 421;

    void SetPosition(Position position) override {
        calls.push_back(position == Position::poDesigned  ? "position designed"
                        : position == Position::poDefault ? "position default"
                                                          : "position centred");
    }
    void SetWindowState(State state) override {
        calls.push_back(state == State::wsNormal      ? "state normal"
                        : state == State::wsMaximized ? "state maximised"
                                                      : "state minimised");
    }
    void SetLeft(int value) override { Record("left", left = value); }
    void SetTop(int value) override { Record("top", top = value); }
    void SetWidth(int value) override { Record("width", width = value); }
    void SetHeight(int value) override { Record("height", height = value); }
    int Left() const override { return left; }
    int Top() const override { return top; }
    int Width() const override { return width; }
    int Height() const override { return height; }

    void Record(const std::string& what, int value) {
        calls.push_back(what + " " + std::to_string(value));
    }
};

class PlacementTest : public TempStoreTest {
protected:
    void StorePosition(const std::string& values) {
        WriteStore("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position]\n" + values);
    }
    static void Install() { ASSERT_TRUE(TRegistry().OpenKey(kProductKey, true)); }
    static std::int32_t Stored(const std::string& name) {
        TRegistry registry;
        EXPECT_TRUE(registry.OpenKey(kPositionKey, false));
        return registry.ReadInteger(name);
    }
};

} // namespace

TEST_F(PlacementTest, AFirstStartKeepsTheDesignedPlacementSilently) {
    RecordingWindow window;
    ApplyStartupPlacement(window);
    EXPECT_THAT(window.calls, IsEmpty());
    EXPECT_EQ(ReadStartMode(), TStartMode::kDefault);
    EXPECT_FALSE(std::filesystem::exists(store_));
}

TEST_F(PlacementTest, SavedModeWithoutBoundsUsesTheDesignedBoundsNotCentred) {
    StorePosition("\"StartPos\"=dword:00000002\n");
    RecordingWindow window;
    ApplyStartupPlacement(window);
    EXPECT_THAT(window.calls, ElementsAre("position designed", "state normal"));
    EXPECT_EQ(window.left, 173);
    EXPECT_EQ(window.height, 421);
}

TEST_F(PlacementTest, SavedModeAppliesTheStoredBoundsInOrder) {
    StorePosition("\"Y2\"=dword:00000190\n\"X2\"=dword:000001f4\n\"Y1\"=dword:00000032\n"
                  "\"X1\"=dword:00000064\n\"StartPos\"=dword:00000002\n");
    RecordingWindow window;
    ApplyStartupPlacement(window);
    EXPECT_THAT(window.calls, ElementsAre("position designed", "state normal", "left 100", "top 50",
                                          "width 500", "height 400"));
    EXPECT_EQ(ReadStartMode(), TStartMode::kSaved);
}

TEST_F(PlacementTest, SavedModeAppliesOnlyTheBoundsThatExistNegativesIncluded) {
    StorePosition("\"StartPos\"=dword:00000002\n\"Y1\"=dword:fffffff6\n\"Y2\"=dword:00000100\n");
    RecordingWindow window;
    ApplyStartupPlacement(window);
    EXPECT_THAT(window.calls,
                ElementsAre("position designed", "state normal", "top -10", "height 256"));
}

TEST_F(PlacementTest, FullModeLetsTheSystemPlaceTheWindowThenMaximises) {
    StorePosition("\"StartPos\"=dword:00000001\n\"X1\"=dword:00000064\n");
    RecordingWindow window;
    ApplyStartupPlacement(window);
    EXPECT_THAT(window.calls, ElementsAre("position default", "state maximised"));
    EXPECT_EQ(ReadStartMode(), TStartMode::kFull);
}

TEST_F(PlacementTest, UnknownOrMissingModesBehaveAsDefault) {
    for (const std::string values :
         {"\"StartPos\"=dword:00000005\n", "\"startpos\"=dword:ffffffff\n",
          "\"X1\"=dword:00000064\n", ""}) {
        StorePosition(values);
        RecordingWindow window;
        ApplyStartupPlacement(window);
        EXPECT_THAT(window.calls, IsEmpty()) << values;
        EXPECT_EQ(ReadStartMode(), TStartMode::kDefault) << values;
    }
    // Save from the dialog then writes 0.
    Install();
    ASSERT_TRUE(WriteStartMode(ReadStartMode()));
    EXPECT_EQ(Stored("StartPos"), 0);
}

TEST_F(PlacementTest, AModeStoredAsTextIsAStoreErrorEveryTime) {
    StorePosition("\"StartPos\"=\"2\"\n");
    for (int start = 0; start < 2; ++start) {
        RecordingWindow window;
        EXPECT_EQ(ErrorOf([&] { ApplyStartupPlacement(window); }),
                  "Invalid data type for 'StartPos'");
        EXPECT_THAT(window.calls, IsEmpty());
        EXPECT_EQ(ErrorOf([] { ReadStartMode(); }), "Invalid data type for 'StartPos'");
    }
    StorePosition("\"StartPos\"=\"1234\"\n"); // longer than 4 bytes: the read itself fails
    RecordingWindow window;
    EXPECT_EQ(ErrorOf([&] { ApplyStartupPlacement(window); }), "Could not get data for 'StartPos'");
}

TEST_F(PlacementTest, AFailingBoundKeepsWhatWasAppliedBeforeIt) {
    StorePosition("\"StartPos\"=dword:00000002\n\"X1\"=dword:00000064\n\"Y1\"=\"50\"\n"
                  "\"X2\"=dword:000001f4\n");
    RecordingWindow window;
    EXPECT_EQ(ErrorOf([&] { ApplyStartupPlacement(window); }), "Invalid data type for 'Y1'");
    EXPECT_THAT(window.calls, ElementsAre("position designed", "state normal", "left 100"));
}

TEST_F(PlacementTest, WithoutTheProductKeyNothingIsEverWritten) {
    RecordingWindow window;
    for (int press = 0; press < 3; ++press) {
        EXPECT_FALSE(InstallCheck());
        EXPECT_FALSE(WriteStartMode(TStartMode::kSaved));
        EXPECT_FALSE(SavePosition(window));
    }
    EXPECT_FALSE(std::filesystem::exists(store_));
    // Keys beside the product key do not count.
    WriteStore("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\QD\\Lumivane98]\n");
    const std::string before = ReadFile(store_);
    EXPECT_FALSE(WriteStartMode(TStartMode::kSaved));
    EXPECT_FALSE(SavePosition(window));
    EXPECT_EQ(ReadFile(store_), before);
}

TEST_F(PlacementTest, InstalledWritesTheModeAndThePositionSeparately) {
    Install();
    ASSERT_TRUE(WriteStartMode(TStartMode::kFull));
    EXPECT_EQ(Stored("StartPos"), 1);

    RecordingWindow maximised;
    maximised.left = -4;
    maximised.top = -4;
    maximised.width = 1288;
    maximised.height = 1032;
    ASSERT_TRUE(SavePosition(maximised));
    EXPECT_EQ(Stored("X1"), -4);
    EXPECT_EQ(Stored("Y1"), -4);
    EXPECT_EQ(Stored("X2"), 1288);
    EXPECT_EQ(Stored("Y2"), 1032);
    EXPECT_EQ(Stored("StartPos"), 1); // untouched by saving the position

    ASSERT_TRUE(WriteStartMode(TStartMode::kSaved));
    RecordingWindow window;
    ApplyStartupPlacement(window);
    EXPECT_THAT(window.calls, ElementsAre("position designed", "state normal", "left -4", "top -4",
                                          "width 1288", "height 1032"));
}

TEST_F(PlacementTest, SavingTheColourSchemeInstallsAsASideEffect) {
    EXPECT_FALSE(InstallCheck());
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Pascal", true));
        registry.WriteString("clComment", "clNavy");
    }
    EXPECT_TRUE(InstallCheck());
    EXPECT_TRUE(WriteStartMode(TStartMode::kSaved));
}

TEST_F(PlacementTest, AStoreThatRefusesTheWriteReportsItNamingTheValue) {
    Install();
    const std::string before = ReadFile(store_);
    std::filesystem::remove(store_.string() + ".lock");
    std::filesystem::create_directory(store_.string() + ".lock"); // the lock cannot be taken
    EXPECT_THAT(ErrorOf([] { WriteStartMode(TStartMode::kFull); }),
                StartsWith("Could not set data for 'StartPos'"));
    RecordingWindow window;
    EXPECT_THAT(ErrorOf([&] { SavePosition(window); }), StartsWith("Could not set data for 'X1'"));
    EXPECT_EQ(ReadFile(store_), before);
}

TEST(Placement, TheInstallMessageIsTwoLinesJoinedByOneLineFeed) {
    EXPECT_STREQ(kInstallMessage, "Lumivane 98 not installed.\nPlease run install first.");
    EXPECT_STREQ(kProductKey, "Software\\QD\\Lumivane");
    EXPECT_STREQ(kPositionKey, "Software\\QD\\Lumivane\\Position");
}
