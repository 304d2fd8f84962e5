// Every Pascal file of the Free Pascal sources, when they are installed:
// engine and reference agree and every document is well formed.

#include "engine/PascalParser.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/engine/ReferenceConverter.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

const fs::path kFpcSources = "/usr/share/fpcsrc";

TEST(FpcSourceTest, EverySourceFileConverts) {
    if (!fs::is_directory(kFpcSources)) {
        GTEST_SKIP() << kFpcSources << " is not installed (scripts/setup.sh --bench)";
    }
    ResetColorsAndStore();
    const std::string header = TPascalParser::BuildHeader();
    std::size_t files = 0;
    std::size_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kFpcSources)) {
        const std::string name = entry.path().string();
        if (!entry.is_regular_file() || !IsSourceFileName(name)) {
            continue;
        }
        TMemoryStream source;
        source.LoadFromFile(name);
        TMemoryStream document;
        ASSERT_NO_THROW(ConvertFile(name, document)) << name;
        const std::string expected =
            header + ReferenceBody(source.View()) + std::string(TPascalParser::kTrailer);
        ASSERT_TRUE(document.View() == expected) << name;
        ASSERT_EQ(WellFormedness(document.View()), "") << name;
        ++files;
        bytes += source.Size();
    }
    EXPECT_GT(files, 1000u);
    RecordProperty("files", static_cast<int>(files));
    RecordProperty("bytes", static_cast<int>(bytes));
}

} // namespace
