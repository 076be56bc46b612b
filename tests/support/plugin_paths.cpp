#include "tests/support/plugin_paths.h"

#include <stdexcept>

namespace test_support {

std::string pluginPath(const std::string& name) { return std::string(VORSA_PLUGIN_DIR) + "/" + name + ".so"; }

LoadedPlugin loadPlugin(const std::string& name, void (*configure)(vst_host::ScriptedHost&)) {
    std::string error;
    LoadedPlugin loaded = vst_host::loadHostedPlugin(pluginPath(name), &error, configure);
    if (!loaded) throw std::runtime_error(error);
    return loaded;
}

}  // namespace test_support
