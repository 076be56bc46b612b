#include "tools/vorsa_render/file_identity.h"

#include <sys/stat.h>

namespace render {

bool FileIdentity::operator==(const FileIdentity& other) const {
    return exists == other.exists && device == other.device && inode == other.inode && name == other.name;
}

bool identify(const std::string& path, FileIdentity& identity) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        identity = {true, st.st_dev, st.st_ino, ""};
        return true;
    }
    size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (stat(folder.c_str(), &st) != 0) return false;
    identity = {false, st.st_dev, st.st_ino, path.substr(slash == std::string::npos ? 0 : slash + 1)};
    return true;
}

bool checkDistinctFiles(const std::vector<RoleFile>& files, std::string& error) {
    std::vector<FileIdentity> identities(files.size());
    std::vector<bool> known(files.size(), false);
    for (size_t i = 0; i < files.size(); ++i)
        known[i] = files[i].path != "-" && identify(files[i].path, identities[i]);
    for (size_t i = 0; i < files.size(); ++i)
        for (size_t j = i + 1; j < files.size(); ++j)
            if (known[i] && known[j] && identities[i] == identities[j]) {
                error = "the " + files[j].role + " " + files[j].path + " is the same file as the " + files[i].role +
                        (files[i].path == files[j].path ? "" : " " + files[i].path) + "; nothing was written";
                return false;
            }
    return true;
}

}  // namespace render
