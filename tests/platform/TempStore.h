#pragma once
// Each test gets a fresh folder, and LUMIVANE_REGISTRY names a store file in it
// that does not exist yet. The folder is removed afterwards.

#include "platform/Registry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>

class TempStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lumivane-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        store_ = dir_ / "config" / "user.reg";
        if (const char* old = std::getenv("LUMIVANE_REGISTRY")) {
            savedEnv_ = old;
        }
        ::setenv("LUMIVANE_REGISTRY", store_.c_str(), 1);
    }

    void TearDown() override {
        if (savedEnv_) {
            ::setenv("LUMIVANE_REGISTRY", savedEnv_->c_str(), 1);
        } else {
            ::unsetenv("LUMIVANE_REGISTRY");
        }
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    static std::string ReadFile(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static void WriteFile(const std::filesystem::path& file, const std::string& content) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }

    void WriteStore(const std::string& content) const { WriteFile(store_, content); }

    std::filesystem::path dir_;
    std::filesystem::path store_;

private:
    std::optional<std::string> savedEnv_;
};

// The message of the store error BODY raises ("" when none).
template <typename Body> std::string ErrorOf(Body body) {
    try {
        body();
    } catch (const ERegistryException& error) {
        return error.what();
    }
    return "";
}
