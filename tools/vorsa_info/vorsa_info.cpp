// vorsa-info PLUGIN.so...: loads each plug-in as a host would and lists its
// identity, parameters and programs.
#include <iostream>

#include "host/hosted_plugin.h"
#include "host/plugin_report.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: vorsa-info PLUGIN.so...\n";
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        std::string error;
        vst_host::HostedPlugin plugin = vst_host::loadHostedPlugin(argv[i], &error);
        if (!plugin) {
            std::cerr << "vorsa-info: " << error << "\n";
            status = 1;
            continue;
        }
        std::cout << "== " << argv[i] << "\n";
        plugin->startUp(44100.0f, 512);
        vst_host::printPluginReport(*plugin.instance, std::cout);
        std::cout << "\n";
    }
    return status;
}
