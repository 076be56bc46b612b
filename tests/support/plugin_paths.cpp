#include "tests/support/plugin_paths.h"

#include <stdexcept>

namespace test_support {

std::string pluginPath(const std::string& name) { return std::string(VORSA_PLUGIN_DIR) + "/" + name + ".so"; }

LoadedPlugin loadPlugin(const std::string& name, void (*configure)(vst_host::ScriptedHost&)) {
    LoadedPlugin loaded;
    std::string error;
    loaded.module = vst_host::PluginModule::load(pluginPath(name), &error);
    if (!loaded.module) throw std::runtime_error(error);
    loaded.host = std::make_unique<vst_host::ScriptedHost>();
    if (configure) configure(*loaded.host);
    loaded.instance = vst_host::PluginInstance::create(*loaded.module, *loaded.host, &error);
    if (!loaded.instance) throw std::runtime_error(error);
    return loaded;
}

}  // namespace test_support
