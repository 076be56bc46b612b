// A plug-in as a host holds it: the loaded module, the host side of the
// callback and one instance, released in that reverse order.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/vst_host.h"

namespace vst_host {

struct HostedPlugin {
    std::unique_ptr<PluginModule> module;
    std::unique_ptr<ScriptedHost> host;
    std::unique_ptr<PluginInstance> instance;  // declared last: closed before the module unloads

    HostedPlugin() = default;
    HostedPlugin(HostedPlugin&&) = default;
    // Member-wise assignment would replace the module first and unload the
    // code the old instance still has to be closed with.
    HostedPlugin& operator=(HostedPlugin&& other) noexcept {
        if (this != &other) {
            instance.reset();
            host.reset();
            module = std::move(other.module);
            host = std::move(other.host);
            instance = std::move(other.instance);
        }
        return *this;
    }

    PluginInstance* operator->() const { return instance.get(); }
    explicit operator bool() const { return instance != nullptr; }
};

// Loads the module at `path` and creates one instance through its entry
// point; `configure` may set the host's answers first. On failure the result
// holds no instance and *error says why.
HostedPlugin loadHostedPlugin(const std::string& path, std::string* error,
                              const std::function<void(ScriptedHost&)>& configure = nullptr);

}  // namespace vst_host
