// libFuzzer target for the highlighting engine, against the plain reference
// converter of the tests: every input gives the same document from the
// in-memory conversion, the split conversion at any line and the file entry.

#include "engine/PascalParser.h"
#include "tests/engine/ReferenceConverter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

std::string gSourceFile; // the file entry's input, rewritten for every run

// A private store and scratch folder, so that the user's colours never count.
void MakeScratchFolder() {
    // In memory where there is such a folder: a run writes a file every time.
    std::string pattern = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    pattern += "/lumivane-engine-fuzz-XXXXXX";
    Check(::mkdtemp(pattern.data()) != nullptr);
    const std::string folder = pattern;
    ::setenv("LUMIVANE_REGISTRY", (folder + "/user.reg").c_str(), 1);
    gSourceFile = folder + "/input.pas";
}

void RemoveScratchFolder() {
    ::unlink(gSourceFile.c_str());
    ::rmdir(gSourceFile.substr(0, gSourceFile.rfind('/')).c_str());
}

// The second half runs on this thread when the first reaches it: the same
// joins, without a thread start per run (the engine's tests run it threaded).
std::string SplitDocument(std::string_view source, std::size_t splitAt) {
    TStringSink sink;
    TPascalParser().ConvertSourceSplit(source, sink, splitAt, std::launch::deferred);
    return sink.text;
}

std::string FileDocument(std::string_view source) {
    {
        std::ofstream file(gSourceFile, std::ios::binary | std::ios::trunc);
        file.write(source.data(), static_cast<std::streamsize>(source.size()));
        Check(static_cast<bool>(file));
    }
    TMemoryStream out;
    ConvertFile(gSourceFile, out);
    Check(out.Position() == 0);
    return std::string(out.View());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    MakeScratchFolder();
    std::atexit(RemoveScratchFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    const std::string expected =
        TPascalParser::BuildHeader() + ReferenceBody(source) + std::string(TPascalParser::kTrailer);

    TStringSink whole;
    TPascalParser().ConvertSource(source, whole);
    Check(whole.text == expected);

    // The split at a place the input's first bytes choose, so that the
    // fuzzer can steer it into any token.
    const std::size_t chosen = size >= 2 ? (data[0] | (data[1] << 8)) % size : 0;
    Check(SplitDocument(source, chosen) == expected);

    Check(FileDocument(source) == expected);
    return 0;
}
