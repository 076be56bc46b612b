// Where the tests find the built plug-ins, and a loaded instance bundle.
#pragma once

#include <memory>
#include <string>

#include "host/vst_host.h"

namespace test_support {

// Full path of a built deliverable, e.g. pluginPath("Vorsa_Glintor").
std::string pluginPath(const std::string& name);

// A module, a host and one instance created through the module's entry point,
// as a DAW would hold them.
struct LoadedPlugin {
    std::unique_ptr<vst_host::PluginModule> module;
    std::unique_ptr<vst_host::ScriptedHost> host;
    std::unique_ptr<vst_host::PluginInstance> instance;

    vst_host::PluginInstance* operator->() const { return instance.get(); }
};

// Loads the named deliverable and creates one instance; `configure` may set
// the host's answers before the entry point runs. Fails the test on error.
LoadedPlugin loadPlugin(const std::string& name,
                        void (*configure)(vst_host::ScriptedHost&) = nullptr);

}  // namespace test_support
