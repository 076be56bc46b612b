// The Windows DLL files as a Windows host's loader sees them, read from their
// headers with MinGW's objdump: exactly `main` exported, only system DLLs
// imported, and every bitmap of the product's resource folder linked in as a
// BITMAP resource of the right size.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/plugin_paths.h"

namespace {

struct PeFacts {
    std::set<std::string> exports;
    std::set<std::string> imports;              // lower case
    std::map<int, unsigned long> bitmapSizes;   // resource number -> data size
};

std::string objdumpOutput(const std::string& path) {
    std::string command = "x86_64-w64-mingw32-objdump -p '" + path + "' 2>&1";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    char line[1024];
    while (pipe && fgets(line, sizeof(line), pipe)) out += line;
    if (pipe) pclose(pipe);
    return out;
}

PeFacts readPe(const std::string& path) {
    PeFacts facts;
    std::istringstream lines(objdumpOutput(path));
    const std::regex exportLine(R"(^\s*\[\s*\d+\]\s+(\S+)\s*$)");
    const std::regex importLine(R"(^\s*DLL Name:\s+(\S+))");
    // Resource tree: the indentation after the offset gives the level (type, name, language).
    const std::regex entryLine(R"(^[0-9a-f]+( +)Entry: ID: 0x([0-9a-f]+))");
    const std::regex leafLine(R"(Leaf: Addr: 0x[0-9a-f]+, Size: 0x([0-9a-f]+))");
    bool inExportNames = false;
    int type = -1, name = -1;
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (line.find("[Ordinal/Name Pointer] Table") != std::string::npos) {
            inExportNames = true;
            continue;
        }
        if (inExportNames) {
            if (std::regex_match(line, m, exportLine)) {
                facts.exports.insert(m[1]);
                continue;
            }
            inExportNames = false;
        }
        if (std::regex_search(line, m, importLine)) {
            std::string dll = m[1];
            for (char& c : dll) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            facts.imports.insert(dll);
        } else if (std::regex_search(line, m, entryLine)) {
            int level = static_cast<int>(m[1].length());
            int id = std::stoi(m[2], nullptr, 16);
            if (level == 3) type = id;
            if (level == 5) name = id;
        } else if (std::regex_search(line, m, leafLine) && type == 2 /* RT_BITMAP */) {
            facts.bitmapSizes[name] = std::stoul(m[1], nullptr, 16);
        }
    }
    return facts;
}

struct Deliverable {
    const char* name;
    const char* resources;  // the product's folder under resources/
};

void PrintTo(const Deliverable& d, std::ostream* out) { *out << d.name; }

class WindowsDll : public ::testing::TestWithParam<Deliverable> {
protected:
    void SetUp() override {
        path = std::string(VORSA_WINDOWS_BUILD_DIR) + "/" + GetParam().name + ".dll";
        if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is not built (scripts/build-windows.sh)";
        facts = readPe(path);
    }
    std::string path;
    PeFacts facts;
};

TEST_P(WindowsDll, ExportsExactlyMain) { EXPECT_EQ(facts.exports, std::set<std::string>{"main"}) << path; }

TEST_P(WindowsDll, ImportsOnlySystemLibraries) {
    // The C++ runtime, libgcc and winpthreads are linked in statically.
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll", "ole32.dll",
                                          "shell32.dll",  "msvcrt.dll", "ucrtbase.dll"};
    EXPECT_FALSE(facts.imports.empty());
    for (const std::string& dll : facts.imports)
        EXPECT_TRUE(system.count(dll) || dll.rfind("api-ms-win-crt-", 0) == 0) << path << " imports " << dll;
}

// With an editor (as its Linux build has), every bitmap of the product; without, none.
TEST_P(WindowsDll, CarriesEveryBitmapOfItsProduct) {
    test_support::LoadedPlugin linuxBuild = test_support::loadPlugin(GetParam().name);
    std::filesystem::path folder = std::filesystem::path(VORSA_RESOURCES_DIR) / GetParam().resources;
    std::map<int, unsigned long> expected;
    if ((linuxBuild->flags() & effFlagsHasEditor) && std::filesystem::is_directory(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() != ".bmp") continue;
            // A BITMAP resource is the file without its 14-byte file header.
            expected[std::stoi(entry.path().stem().string())] =
                static_cast<unsigned long>(entry.file_size()) - 14;
        }
    }
    EXPECT_EQ(facts.bitmapSizes, expected) << path;
}

INSTANTIATE_TEST_SUITE_P(Deliverables, WindowsDll,
                         ::testing::Values(Deliverable{"Vorsa_Glintor", "glintor"},
                                           Deliverable{"Vorsa_Glintor_Mono", "glintor"},
                                           Deliverable{"Vorsa_RUMBLOR", "rumblor"},
                                           Deliverable{"Vorsa_RUMBLOR_Mono", "rumblor"}),
                         [](const ::testing::TestParamInfo<Deliverable>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
