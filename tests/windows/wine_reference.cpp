// Writes what the Windows DLLs must reproduce under Wine, made from the Linux
// .so through the host library: <name>.txt (every text) and <name>.f32 (the
// test signal through every program, raw native floats).
#include <cstdio>
#include <string>

#include "host/hosted_plugin.h"
#include "tests/windows/plugin_probe.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <plug-in folder> <output folder> <name>...\n", argv[0]);
        return 2;
    }
    const std::string pluginDir = argv[1], outDir = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::string name = argv[i];
        std::string error;
        vst_host::HostedPlugin plugin = vst_host::loadHostedPlugin(pluginDir + "/" + name + ".so", &error);
        if (!plugin) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        plugin->startUp(44100.0f, plugin_probe::kBlockSize);
        std::string text = plugin_probe::describe(*plugin.instance);
        std::vector<float> audio = plugin_probe::processAllPrograms(*plugin.instance);
        if (!plugin_probe::writeFile(outDir + "/" + name + ".txt", text.data(), text.size()) ||
            !plugin_probe::writeFile(outDir + "/" + name + ".f32", audio.data(), audio.size() * sizeof(float))) {
            std::fprintf(stderr, "cannot write the reference of %s into %s\n", name.c_str(), outDir.c_str());
            return 1;
        }
    }
    return 0;
}
