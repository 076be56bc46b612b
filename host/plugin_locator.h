// Finds a plug-in the way users name it: a path, or a bare file name that is
// looked up in the folders Linux VST 2 hosts scan.
#pragma once

#include <string>
#include <vector>

namespace vst_host {

// The folders a bare plug-in name is looked up in, in order: each entry of
// VST_PATH (colon-separated), ~/.vst, /usr/lib/vst, /usr/local/lib/vst.
std::vector<std::string> pluginSearchFolders();

// A name with a slash is a path and is returned as it is. A bare name is
// looked up in the current folder (where, with `folders`, it may also name a
// folder), then in pluginSearchFolders() and their subfolders, as hosts
// scan them, also with ".so" added. Empty with a reason in *error when
// nothing is found, naming a file that differs only in letter case; the
// dynamic loader's own search path is never used, so a bare name cannot pick
// up an unrelated system library.
std::string locatePlugin(const std::string& name, std::string* error, bool folders = false);

}  // namespace vst_host
