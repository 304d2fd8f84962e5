#pragma once
// The converter run in-process on a fresh colour store, with its standard
// output and error kept for the test to read.

#include "tests/engine/EngineTestSupport.h"
#include "tests/support/Files.h"
#include "tools/pas2rtf/Pas2Rtf.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

class TPas2RtfFixture : public ::testing::Test {
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
