// Telling whether two names reach the same file, so that one run never reads
// and writes (or writes twice) the same file under different names.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace render {

// An existing file is known by device and inode (symbolic and hard links
// included); a file still to be created by its folder's device and inode and
// its name.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    std::string name;  // only for a file still to be created

    bool operator==(const FileIdentity& other) const;
};

// False when neither the file nor its folder can be found.
bool identify(const std::string& path, FileIdentity& identity);

struct RoleFile {
    std::string role;  // "input", "output", "plot", "plug-in"
    std::string path;  // "-" (a standard stream) takes part in no comparison
};

// False with a reason naming both roles when two of the files are the same.
bool checkDistinctFiles(const std::vector<RoleFile>& files, std::string& error);

}  // namespace render
