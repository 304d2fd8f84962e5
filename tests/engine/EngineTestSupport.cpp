#include "tests/engine/EngineTestSupport.h"

#include "engine/PascalParser.h"

#include <array>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace fs = std::filesystem;

TTempDir::TTempDir() {
    std::string pattern = (fs::temp_directory_path() / "lumivane-engine-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    path_ = pattern;
}

TTempDir::~TTempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TTempDir::WriteFile(const std::string& name, std::string_view content) const {
    const fs::path file = path_ / name;
    std::ofstream(file, std::ios::binary)
        .write(content.data(), static_cast<std::streamsize>(content.size()));
    return file.string();
}

namespace {

// Keeps every test away from the user's own settings.
class TIsolatedStore : public ::testing::Environment {
public:
    void SetUp() override {
        dir_ = std::make_unique<TTempDir>();
        store_ = dir_->Path() / "user.reg";
        setenv("LUMIVANE_REGISTRY", store_.c_str(), 1);
    }
    void TearDown() override { dir_.reset(); }

    static inline fs::path store_;

private:
    std::unique_ptr<TTempDir> dir_;
};

[[maybe_unused]] ::testing::Environment* const IsolatedStore =
    ::testing::AddGlobalTestEnvironment(new TIsolatedStore);

} // namespace

fs::path TestStoreFile() {
    return TIsolatedStore::store_;
}

void ResetColorsAndStore() {
    for (std::size_t i = 0; i < ColorSlots.size(); ++i) {
        ColorSlots[i].Color = kDefaultSlotColors[i];
    }
    std::error_code ignored;
    fs::remove(TestStoreFile(), ignored);
}

std::string Document(std::string_view source) {
    TMemoryStream out;
    TPascalParser().ConvertSource(source, out);
    return std::string(out.View());
}

std::string Body(std::string_view source) {
    const std::string document = Document(source);
    const std::string header = TPascalParser::BuildHeader();
    const std::string_view trailer = TPascalParser::kTrailer;
    if (document.size() < header.size() + trailer.size() || !document.starts_with(header) ||
        !document.ends_with(trailer)) {
        ADD_FAILURE() << "document without header or trailer: " << document;
        return {};
    }
    return document.substr(header.size(), document.size() - header.size() - trailer.size());
}

std::string WellFormedness(std::string_view document) {
    const std::string header = TPascalParser::BuildHeader();
    const std::string_view trailer = TPascalParser::kTrailer;
    if (!document.starts_with(header)) {
        return "no header";
    }
    if (!document.ends_with(trailer)) {
        return "no trailer";
    }
    // The body and the trailer's "\par }", which closes the document group.
    const std::string_view body =
        document.substr(header.size(), document.size() - header.size() - trailer.size() + 6);
    static constexpr std::array<std::string_view, 6> kOpeners = {"{\\cf6\\b ", "{\\cf4 ", "{\\cf2 ",
                                                                 "{\\cf3\\i ", "{\\cf5 ", "{\\b "};
    int depth = 1;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\\') {
            ++i; // an escaped byte or the first letter of a control word
            if (i == body.size()) {
                return "backslash at the end of the body";
            }
        } else if (c == '{') {
            const std::string_view rest = body.substr(i);
            bool opener = false;
            for (std::string_view candidate : kOpeners) {
                opener = opener || rest.starts_with(candidate);
            }
            if (!opener) {
                return "unescaped { at body offset " + std::to_string(i);
            }
            ++depth;
        } else if (c == '}') {
            if (--depth == 0 && i + 1 != body.size()) {
                return "document group closed early at body offset " + std::to_string(i);
            }
        }
    }
    return depth == 0 ? std::string() : "groups unbalanced, depth " + std::to_string(depth);
}
