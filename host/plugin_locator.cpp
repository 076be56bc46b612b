#include "host/plugin_locator.h"

#include <sys/stat.h>

#include <cstdlib>

namespace vst_host {

namespace {

bool isRegularFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::vector<std::string> pluginSearchFolders() {
    std::vector<std::string> folders;
    if (const char* vstPath = std::getenv("VST_PATH")) {
        std::string list = vstPath;
        size_t start = 0;
        while (start <= list.size()) {
            size_t colon = list.find(':', start);
            if (colon == std::string::npos) colon = list.size();
            if (colon > start) folders.push_back(list.substr(start, colon - start));
            start = colon + 1;
        }
    }
    if (const char* home = std::getenv("HOME"); home && *home) folders.push_back(std::string(home) + "/.vst");
    folders.push_back("/usr/lib/vst");
    folders.push_back("/usr/local/lib/vst");
    return folders;
}

std::string locatePlugin(const std::string& name, std::string* error) {
    if (name.find('/') != std::string::npos) return name;
    std::vector<std::string> candidates{name};
    if (!endsWith(name, ".so")) candidates.push_back(name + ".so");
    for (const std::string& candidate : candidates)
        if (isRegularFile(candidate)) return "./" + candidate;
    std::string searched;
    for (const std::string& folder : pluginSearchFolders()) {
        for (const std::string& candidate : candidates) {
            const std::string path = folder + "/" + candidate;
            if (isRegularFile(path)) return path;
        }
        searched += (searched.empty() ? "" : ", ") + folder;
    }
    if (error) *error = "plug-in " + name + " not found in the current folder or in " + searched;
    return "";
}

}  // namespace vst_host
