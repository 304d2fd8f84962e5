// libFuzzer target for the settings store's text: any text parses or is
// refused with the store's error; what parses writes back to a text that parses
// to the same tree; and an import of a text that is refused leaves the store
// file byte for byte as it was.

#include "platform/Registry.h"
#include "platform/RegistryText.h"
#include "platform/RegistryTree.h"
#include "tools/lumivane-reg/RegTool.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

using platform::RegKey;
using platform::RegValue;

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

std::string gFolder;
std::string gStore;
std::string gImport;
std::string gStoreBytes; // the store as every run must find it

constexpr std::string_view kStore = "REGEDIT4\r\n\r\n"
                                    "[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Pascal]\r\n"
                                    "\"clKeyword\"=\"clNavy\"\r\n"
                                    "\r\n"
                                    "[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position]\r\n"
                                    "\"StartPos\"=dword:00000002\r\n"
                                    "\"X1\"=dword:ffffff9c\r\n\r\n";

std::string ReadFile(const std::string& file) {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

void WriteFile(const std::string& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Check(static_cast<bool>(out));
}

void RemoveScratchFolder() {
    for (const std::string& file : {gStore, gImport, gStore + ".lock"}) {
        ::unlink(file.c_str());
    }
    ::rmdir(gFolder.c_str());
}

bool SameValue(const RegValue& a, const RegValue& b) {
    return a.name == b.name && a.type == b.type && a.data == b.data;
}

bool SameTree(const RegKey& a, const RegKey& b) {
    if (a.Name() != b.Name() || a.Values().size() != b.Values().size() ||
        a.Subkeys().size() != b.Subkeys().size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.Values().size(); ++i) {
        if (!SameValue(a.Values()[i], b.Values()[i])) {
            return false;
        }
    }
    for (std::size_t i = 0; i < a.Subkeys().size(); ++i) {
        if (!SameTree(a.Subkeys()[i], b.Subkeys()[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // In memory where there is such a folder: a run writes a file every time.
    std::string pattern = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    pattern += "/lumivane-store-fuzz-XXXXXX";
    Check(::mkdtemp(pattern.data()) != nullptr);
    gFolder = pattern;
    gStore = gFolder + "/user.reg";
    gImport = gFolder + "/import.reg";
    WriteFile(gStore, kStore);
    gStoreBytes = ReadFile(gStore);
    std::atexit(RemoveScratchFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    bool parsed = false;
    try {
        const RegKey tree = platform::ParseRegText(text, "input");
        parsed = true;
        const std::string written = platform::FormatRegText(tree, std::string(platform::kRootName));
        const RegKey again = platform::ParseRegText(written, "written");
        Check(SameTree(tree, again));
        Check(platform::FormatRegText(again, std::string(platform::kRootName)) == written);
    } catch (const ERegistryException&) {
        Check(!parsed); // only the input may be refused, never what was written
    }
    if (!parsed) {
        WriteFile(gImport, text);
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        Check(RunRegTool({"import", gImport}, gStore, in, out, err) == 1);
        Check(!err.str().empty());
        Check(ReadFile(gStore) == gStoreBytes);
    }
    return 0;
}
