#include "host/hosted_plugin.h"

namespace vst_host {

HostedPlugin loadHostedPlugin(const std::string& path, std::string* error,
                              const std::function<void(ScriptedHost&)>& configure) {
    HostedPlugin plugin;
    plugin.module = PluginModule::load(path, error);
    if (!plugin.module) return plugin;
    plugin.host = std::make_unique<ScriptedHost>();
    if (configure) configure(*plugin.host);
    plugin.instance = PluginInstance::create(*plugin.module, *plugin.host, error);
    return plugin;
}

}  // namespace vst_host
