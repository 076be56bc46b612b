#include "host/plugin_locator.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace vst_host {

namespace {

namespace fs = std::filesystem;

// Deep enough for vendor/product/ layouts, shallow enough to stay quick.
constexpr int kSearchDepth = 3;

bool isRegularFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// `folder` and its subfolders (sorted, breadth first, so that a plug-in at
// the top wins over one of the same name further down).
std::vector<std::string> foldersUnder(const std::string& folder) {
    std::vector<std::string> all{folder};
    for (size_t next = 0, level = 0, levelEnd = 1; next < all.size() && level < kSearchDepth; ++level) {
        for (; next < levelEnd; ++next) {
            std::vector<std::string> children;
            std::error_code ec;
            for (fs::directory_iterator it(all[next], fs::directory_options::skip_permission_denied, ec), end;
                 !ec && it != end; it.increment(ec))
                if (it->is_directory(ec) && !it->is_symlink(ec)) children.push_back(it->path().string());
            std::sort(children.begin(), children.end());
            all.insert(all.end(), children.begin(), children.end());
        }
        levelEnd = all.size();
    }
    return all;
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

std::string locatePlugin(const std::string& name, std::string* error, bool folders) {
    if (name.find('/') != std::string::npos) return name;
    std::vector<std::string> candidates{name};
    if (!endsWith(name, ".so")) candidates.push_back(name + ".so");
    for (const std::string& candidate : candidates)
        if (isRegularFile(candidate)) return "./" + candidate;
    if (folders && isFolder(name)) return name;  // its files get paths with a slash
    std::string searched;
    std::vector<std::string> everywhere{"."};
    for (const std::string& folder : pluginSearchFolders()) {
        for (const std::string& sub : foldersUnder(folder)) {
            everywhere.push_back(sub);
            for (const std::string& candidate : candidates) {
                const std::string path = sub + "/" + candidate;
                if (isRegularFile(path)) return path;
            }
        }
        searched += (searched.empty() ? "" : ", ") + folder;
    }
    if (!error) return "";
    *error = "plug-in " + name + " not found in the current folder or in " + searched + " (and their subfolders)";
    // The likeliest slip: the letter case of a file name (Vorsa_Rumblor for Vorsa_RUMBLOR.so).
    const std::string wanted = lower(endsWith(name, ".so") ? name : name + ".so");
    for (const std::string& folder : everywhere) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
             !ec && it != end; it.increment(ec)) {
            const std::string file = it->path().filename().string();
            if (lower(file) == wanted && it->is_regular_file(ec)) {
                *error += "; did you mean " + file.substr(0, file.size() - 3) + " (" +
                          (folder == "." ? file : it->path().string()) + ")?";
                return "";
            }
        }
    }
    return "";
}

}  // namespace vst_host
