// Where the tests find the built plug-ins, and loading one as a host would.
#pragma once

#include <string>

#include "host/hosted_plugin.h"

namespace test_support {

// Full path of a built deliverable, e.g. pluginPath("Vorsa_Glintor").
std::string pluginPath(const std::string& name);

using LoadedPlugin = vst_host::HostedPlugin;

// Loads the named deliverable and creates one instance; `configure` may set
// the host's answers before the entry point runs. Throws on error, which
// fails the test with the reason.
LoadedPlugin loadPlugin(const std::string& name, void (*configure)(vst_host::ScriptedHost&) = nullptr);

}  // namespace test_support
