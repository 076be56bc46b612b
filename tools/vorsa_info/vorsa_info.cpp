// vorsa-info PLUGIN...: loads each plug-in as a host would and lists its
// identity, parameters and programs.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "host/hosted_plugin.h"
#include "host/plugin_locator.h"
#include "host/plugin_report.h"

namespace {

const char kUsage[] =
    "usage: vorsa-info [--identity] [--parameters] [--programs] PLUGIN|FOLDER...\n"
    "\n"
    "Loads each Linux VST 2 plug-in as a host would and lists its identity, parameters (name, display text,\n"
    "label) and programs. A FOLDER lists every .so file in it. PLUGIN is a path, or a file name looked up in\n"
    "VST_PATH, ~/.vst, /usr/lib/vst and /usr/local/lib/vst.\n"
    "\n"
    "  --identity     only the identity (name, vendor, id, channels, delay)\n"
    "  --parameters   only the parameters\n"
    "  --programs     only the programs\n"
    "                 (these combine; without any, everything is listed)\n"
    "  --version, --help\n";

// The .so files of a folder, sorted; the folder's own name when it is not one.
std::vector<std::string> expand(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {path};
    std::vector<std::string> files;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > 3 && name.compare(name.size() - 3, 3, ".so") == 0) files.push_back(path + "/" + name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    vst_host::ReportSections sections{false, false, false};
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--version") {
            std::cout << "vorsa-info " << VORSA_VERSION << "\n";
            return 0;
        } else if (arg == "--identity") {
            sections.identity = true;
        } else if (arg == "--parameters") {
            sections.parameters = true;
        } else if (arg == "--programs") {
            sections.programs = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::cerr << "vorsa-info: unknown option " << arg << "\n" << kUsage;
            return 2;
        } else {
            names.push_back(arg);
        }
    }
    if (names.empty()) {
        std::cerr << "vorsa-info: no plug-in given\n" << kUsage;
        return 2;
    }
    if (!sections.identity && !sections.parameters && !sections.programs) sections = {};

    int status = 0;
    for (const std::string& name : names) {
        std::string error;
        const std::string located = vst_host::locatePlugin(name, &error);
        std::vector<std::string> paths = located.empty() ? std::vector<std::string>{} : expand(located);
        if (located.empty() || paths.empty()) {
            std::cerr << "vorsa-info: " << (located.empty() ? error : "no plug-ins (.so files) in " + located) << "\n";
            status = 1;
            continue;
        }
        for (const std::string& path : paths) {
            vst_host::HostedPlugin plugin = vst_host::loadHostedPlugin(path, &error);
            if (!plugin) {
                std::cerr << "vorsa-info: " << error << "\n";
                status = 1;
                continue;
            }
            std::cout << "== " << path << "\n";
            plugin->startUp(44100.0f, 512);
            vst_host::printPluginReport(*plugin.instance, std::cout, sections);
            std::cout << "\n";
        }
    }
    return status;
}
