// Each deliverable exports its two entry points and nothing else.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "tests/support/plugin_paths.h"

namespace {

std::set<std::string> definedDynamicSymbols(const std::string& path) {
    std::set<std::string> symbols;
    std::string command = "nm -D --defined-only '" + path + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return symbols;
    char line[1024];
    while (fgets(line, sizeof(line), pipe)) {
        // "<address> <type> <name>"
        char type = 0;
        char name[900] = {};
        if (sscanf(line, "%*s %c %899s", &type, name) == 2) symbols.insert(name);
    }
    pclose(pipe);
    return symbols;
}

std::string neededLibraries(const std::string& path) {
    std::string command = "objdump -p '" + path + "' | grep NEEDED";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    char line[512];
    while (pipe && fgets(line, sizeof(line), pipe)) out += line;
    if (pipe) pclose(pipe);
    return out;
}

class PluginExports : public ::testing::TestWithParam<const char*> {};

TEST_P(PluginExports, OnlyMainAndVSTPluginMain) {
    std::string path = test_support::pluginPath(GetParam());
    EXPECT_EQ(definedDynamicSymbols(path), (std::set<std::string>{"main", "VSTPluginMain"})) << path;
}

TEST_P(PluginExports, LinksNoProjectLibraries) {
    std::string needed = neededLibraries(test_support::pluginPath(GetParam()));
    EXPECT_NE(needed.find("libc.so"), std::string::npos) << needed;
    EXPECT_EQ(needed.find("vorsa"), std::string::npos) << needed;
}

INSTANTIATE_TEST_SUITE_P(Deliverables, PluginExports, ::testing::Values("Vorsa_Glintor", "Vorsa_Glintor_Mono"));

}  // namespace
