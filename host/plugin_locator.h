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
// looked up in the current folder, then in pluginSearchFolders(), also with
// ".so" added. Empty with a reason in *error when nothing is found; the
// dynamic loader's own search path is never used, so a bare name cannot pick
// up an unrelated system library.
std::string locatePlugin(const std::string& name, std::string* error);

}  // namespace vst_host
